#include "report/rellog.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <algorithm>

#include "data/recordset.h"

namespace tcese::report {

namespace {

constexpr double kBodyHeight = kBodyBottom - kBodyTop;
constexpr double kBandWidth = kPageWidth - 2 * kMargin;
constexpr double kRight = kPageWidth - kMargin;
constexpr double kFooterTop = kBodyBottom;
constexpr double kTextX = kMargin + 5.027;
constexpr double kTextWidth = 164.836;
constexpr double kPad = 0.5;
constexpr double kEps = 1e-6;

// Windows' inactive-border colour.
const QColor kShade(0xD4, 0xD0, 0xC8);

QFont arial(double points, bool bold = false) {
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

double pxPerMmX(const QPaintDevice& d) { return d.logicalDpiX() / 25.4; }
double pxPerMmY(const QPaintDevice& d) { return d.logicalDpiY() / 25.4; }

QString qs(const std::string& s) { return QString::fromStdString(s); }

QTextOption paragraphOption() {
    QTextOption o(Qt::AlignJustify);
    // A word longer than the column is cut at any character.
    o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return o;
}

// Lays `text` out in a column of `widthPx`; `tl` keeps the lines for drawing.
void wrapText(QTextLayout& tl, double widthPx) {
    tl.setTextOption(paragraphOption());
    tl.setCacheEnabled(true);
    tl.beginLayout();
    double y = 0;
    for (;;) {
        QTextLine line = tl.createLine();
        if (!line.isValid()) break;
        line.setLineWidth(widthPx);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    tl.endLayout();
}

// The lines of a wrapped text, heights in mm.
struct Wrapped {
    QString text;
    std::vector<double> lines;
};

Wrapped measureParagraph(const QString& raw, const QFont& font, double widthMm, QPaintDevice& dev) {
    Wrapped w{reportText(raw), {}};
    QTextLayout tl(w.text, font, &dev);
    wrapText(tl, widthMm * pxPerMmX(dev));
    for (int i = 0; i < tl.lineCount(); ++i) w.lines.push_back(tl.lineAt(i).height() / pxPerMmY(dev));
    if (w.lines.empty()) w.lines.push_back(QFontMetricsF(font, &dev).height() / pxPerMmY(dev));
    return w;
}

double sum(const std::vector<double>& v) {
    double s = 0;
    for (double x : v) s += x;
    return s;
}

struct Problem {
    Wrapped descricao;
    Wrapped resolver;
    double height() const { return kPad + sum(descricao.lines) + kPad + sum(resolver.lines) + 2 * kPad + kProblemFooterHeight; }
    double minStart() const { return kPad + descricao.lines.front(); }
};

// The room a group needs to start: all of it when it is kept together, else its start.
template <class G>
double need(const G& g) {
    const double h = g.height();
    return h <= kBodyHeight + kEps ? h : g.minStart();
}

struct LineGroup {
    long linha = 0;
    std::vector<Problem> problems;
    double height() const {
        double h = kLineHeaderHeight;
        for (const auto& p : problems) h += p.height();
        return h;
    }
    double minStart() const { return kLineHeaderHeight + need(problems.front()); }
};

struct FileGroup {
    QString arquivo;
    std::vector<LineGroup> lines;
    double height() const {
        double h = kFileHeaderHeight + kFileFooterHeight;
        for (const auto& l : lines) h += l.height();
        return h;
    }
    double minStart() const { return kFileHeaderHeight + need(lines.front()); }
};

class Paginator {
public:
    Paginator(QPaintDevice& dev) : dev_(dev) { newPage(); }

    std::vector<Page> pages;

    void file(const FileGroup& g) {
        keepTogether(g.height(), g.minStart());
        fileHeader(g.arquivo);
        file_ = &g.arquivo;
        for (const auto& l : g.lines) line(l);
        file_ = nullptr;
        // An empty footer: never worth a page of its own.
        y_ = std::min(y_ + kFileFooterHeight, kBodyBottom);
    }

private:
    void fileHeader(const QString& arquivo) {
        const QFont bold = arial(10, true);
        const QString label = QStringLiteral("Arquivo: ");
        text(Band::FileHeader, kMargin + 1.0, y_ + 1.0, label, bold);
        text(Band::FileHeader, kMargin + 1.0 + width(label, bold), y_ + 1.0, arquivo, bold);
        y_ += kFileHeaderHeight;
    }

    void line(const LineGroup& g) {
        keepTogether(g.height(), g.minStart());
        const QFont bold = arial(10, true);
        Item box;
        box.kind = ItemKind::Box;
        box.band = Band::LineHeader;
        box.rect = QRectF(kMargin, y_, 197.38, 15.61);
        box.color = kShade;
        add(box);
        const QString label = QStringLiteral("Linha:");
        text(Band::LineHeader, kMargin + 1.0, y_ + 0.4, label, bold);
        text(Band::LineHeader, kMargin + 2.0 + width(label, bold), y_ + 0.4, QString::number(g.linha), bold);
        text(Band::LineHeader, kMargin + 1.0, y_ + 5.556, QStringLiteral("Problema"), bold, Qt::red);
        text(Band::LineHeader, kMargin + 1.0, y_ + 10.848, QStringLiteral("Resolução"), bold);
        rule(Band::LineHeader, y_ + 15.61, kMargin, kBandWidth, 0.75, Qt::SolidLine);
        y_ += kLineHeaderHeight;
        for (const auto& p : g.problems) problem(p);
    }

    void problem(const Problem& p) {
        keepTogether(p.height(), p.minStart());
        y_ += kPad;
        paragraph(p.descricao, Qt::red);
        y_ += kPad;
        paragraph(p.resolver, Qt::black);
        if (room() < 2 * kPad) newPage();
        y_ += 2 * kPad;
        rule(Band::ProblemHeader, y_ - kPad, kMargin, kBandWidth, 0.5, Qt::DotLine);
        if (room() < kProblemFooterHeight - kEps) newPage();
        rule(Band::ProblemFooter, y_ + kProblemFooterHeight / 2, kMargin, kBandWidth, 0.75, Qt::SolidLine);
        y_ += kProblemFooterHeight;
    }

    // A text taller than the room left goes on over the next pages, whole lines each.
    void paragraph(const Wrapped& w, const QColor& color) {
        const QFont font = arial(10);
        std::size_t first = 0;
        while (first < w.lines.size()) {
            std::size_t end = first;
            double h = 0;
            while (end < w.lines.size() && h + w.lines[end] <= room() + kEps) h += w.lines[end++];
            if (end == first) {
                if (atTop()) {  // a line taller than a page: place it anyway
                    h = w.lines[end++];
                } else {
                    newPage();
                    continue;
                }
            }
            Item it;
            it.kind = ItemKind::Paragraph;
            it.band = Band::ProblemHeader;
            it.rect = QRectF(kTextX, y_, kTextWidth, h);
            it.text = w.text;
            it.font = font;
            it.color = color;
            it.align = Qt::AlignJustify;
            it.firstLine = static_cast<int>(first);
            it.lineCount = static_cast<int>(end - first);
            add(it);
            y_ += h;
            first = end;
            if (first < w.lines.size()) newPage();
        }
    }

    // A group that fits on a page is not split: it starts a page when it does not fit
    // in what is left. A longer one starts here if its first line fits.
    void keepTogether(double height, double minStart) {
        if (atTop() || height <= room() + kEps) return;
        if (height <= kBodyHeight + kEps || minStart > room() + kEps) newPage();
    }

    // A file that goes on over a page names itself again at the top.
    void newPage() {
        pages.emplace_back();
        y_ = kBodyTop;
        if (file_) fileHeader(*file_);
        pageTop_ = y_;
    }
    bool atTop() const { return y_ <= pageTop_ + kEps; }
    double room() const { return kBodyBottom - y_; }
    void add(Item it) { pages.back().items.push_back(std::move(it)); }

    double width(const QString& s, const QFont& f) const {
        return QFontMetricsF(f, &dev_).horizontalAdvance(s) / pxPerMmX(dev_);
    }
    void text(Band band, double x, double y, const QString& s, const QFont& f, const QColor& c = Qt::black) {
        Item it;
        it.band = band;
        it.rect = QRectF(x, y, kRight - x, QFontMetricsF(f, &dev_).height() / pxPerMmY(dev_));
        it.text = s;
        it.font = f;
        it.color = c;
        add(it);
    }
    void rule(Band band, double y, double x, double w, double pen, Qt::PenStyle style) {
        Item it;
        it.kind = ItemKind::Line;
        it.band = band;
        it.rect = QRectF(x, y, w, 0);
        it.penWidth = pen;
        it.penStyle = style;
        add(it);
    }

    QPaintDevice& dev_;
    double y_ = kBodyTop;
    double pageTop_ = kBodyTop;      // where this page's groups start
    const QString* file_ = nullptr;  // the file group being laid out
};

Item textItem(Band band, QRectF rect, const QString& s, const QFont& f, int align = Qt::AlignLeft | Qt::AlignTop) {
    Item it;
    it.band = band;
    it.rect = rect;
    it.text = s;
    it.font = f;
    it.align = align;
    return it;
}

void addHeader(Page& page, const ReportHeader& h, int number, int count, QPaintDevice& dev) {
    const double top = kMargin;
    const double x = kMargin + 30.692;
    auto height = [&](const QFont& f) { return QFontMetricsF(f, &dev).height() / pxPerMmY(dev); };
    auto add = [&](Item it) { page.items.push_back(std::move(it)); };

    if (!h.logo.isNull()) {
        Item logo;
        logo.kind = ItemKind::Image;
        logo.rect = QRectF(kMargin + 14.552, top + 3.175, 14.288, 17.992);
        logo.image = h.logo;
        add(logo);
    }
    const QFont small = arial(8);
    const QString pageText = QStringLiteral("Página: %1 de %2").arg(number).arg(count);
    add(textItem(Band::PageHeader, QRectF(kRight - 40, top + 1.0, 40, height(small)), pageText, small,
                 Qt::AlignRight | Qt::AlignTop));
    const QFont nameFont = arial(14, true);
    add(textItem(Band::PageHeader, QRectF(x, top + 4.763, kRight - 40 - x, height(nameFont)), h.name, nameFont));
    add(textItem(Band::PageHeader, QRectF(x, top + 11.377, kRight - x, height(small)), h.address, small));
    const QString cnpjLabel = QStringLiteral("CNPJ:");
    const double labelWidth = QFontMetricsF(small, &dev).horizontalAdvance(cnpjLabel + QLatin1Char(' ')) / pxPerMmX(dev);
    add(textItem(Band::PageHeader, QRectF(x, top + 15.61, labelWidth, height(small)), cnpjLabel, small));
    add(textItem(Band::PageHeader, QRectF(x + labelWidth, top + 15.61, kRight - x - labelWidth, height(small)), h.cnpj,
                 small));
    const QFont titleFont = arial(12, true);
    add(textItem(Band::PageHeader, QRectF(x, top + 21.696, kRight - x, height(titleFont)),
                 QStringLiteral("ARQUIVO DE LOG DA GERAÇÃO DOS ARQUIVOS"), titleFont));
    add(textItem(Band::PageHeader, QRectF(x, top + 27.517, kRight - x, height(titleFont)), h.title, titleFont));
    Item rule;
    rule.kind = ItemKind::Line;
    rule.rect = QRectF(kMargin + 0.5, top + 33.338, 196.321, 0);
    rule.penWidth = 0.75;
    add(rule);
}

void addFooter(Page& page, const ReportHeader& h, QPaintDevice& dev) {
    const QFont small = arial(8);
    const double lh = QFontMetricsF(small, &dev).height() / pxPerMmY(dev);
    const double y = kFooterTop + 4.0;
    auto add = [&](Item it) {
        it.band = Band::PageFooter;
        page.items.push_back(std::move(it));
    };
    add(textItem(Band::PageFooter, QRectF(kMargin + 1.0, y, 10, lh), QStringLiteral("Data:"), small));
    add(textItem(Band::PageFooter, QRectF(kMargin + 10.0, y, 25, lh), h.printDate.toString(QStringLiteral("dd/MM/yyyy")),
                 small));
    add(textItem(Band::PageFooter, QRectF(kMargin + 40.0, y, 10, lh), QStringLiteral("Hora:"), small));
    add(textItem(Band::PageFooter, QRectF(kMargin + 49.0, y, 25, lh), h.printTime.toString(QStringLiteral("HH:mm:ss")),
                 small));
    const double makerWidth = 36.0;
    const double makerX = kRight - makerWidth;
    Item mark;
    mark.kind = ItemKind::MakerMark;
    mark.rect = QRectF(makerX + makerWidth / 2 - 3.0, kFooterTop + 1.0, 6.0, 5.5);
    add(mark);
    const QFont tiny = arial(6);
    add(textItem(Band::PageFooter, QRectF(makerX, kFooterTop + 7.0, makerWidth, QFontMetricsF(tiny, &dev).height() / pxPerMmY(dev)),
                 QStringLiteral("Tavrel SC Ltda - Software "), tiny, Qt::AlignHCenter | Qt::AlignTop));
}

void drawMakerMark(QPainter& p, const QRectF& r) {
    // A plain mark of our own: a dark rounded square with a light bar and stem.
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x55, 0x5A, 0x60));
    const double side = std::min(r.width(), r.height());
    const QRectF sq(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
    p.drawRoundedRect(sq, side * 0.18, side * 0.18);
    p.setBrush(QColor(0xF0, 0xF0, 0xF0));
    p.drawRect(QRectF(sq.left() + side * 0.2, sq.top() + side * 0.22, side * 0.6, side * 0.16));
    p.drawRect(QRectF(sq.center().x() - side * 0.08, sq.top() + side * 0.22, side * 0.16, side * 0.58));
    p.restore();
}

}  // namespace

QString reportText(const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    t.replace(QLatin1Char('\r'), QChar::LineSeparator);
    t.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return t;
}

std::vector<LogRow> logRows(RecordSet& rs) {
    std::vector<LogRow> rows;
    if (!rs.active()) return rows;
    rows.reserve(static_cast<std::size_t>(rs.recordCount()));
    for (rs.first(); !rs.eof(); rs.next()) {
        rows.push_back({qs(rs.field("ARQUIVO").asString()), static_cast<long>(rs.field("LINHA").asInteger()),
                        qs(rs.field("DESCRICAO").asString()), qs(rs.field("RESOLVER").asString())});
    }
    rs.first();
    return rows;
}

QString periodTitle(const QString& monthCode, const QString& fiscalYear) {
    if (monthCode == QLatin1String("14")) return QStringLiteral("REFERENTE AO ORÇAMENTO ANUAL");
    return QStringLiteral("REFERENTE AO INFORME DO MÊS ") + monthCode + QLatin1Char('/') + fiscalYear;
}

ReportLayout layoutRelLog(const std::vector<LogRow>& rows, const ReportHeader& header, QPaintDevice& device) {
    // Groups: a new file breaks the line and the problem, a new line breaks the problem.
    std::vector<FileGroup> files;
    const QFont font = arial(10);
    const LogRow* prev = nullptr;
    for (const LogRow& r : rows) {
        const bool newFile = !prev || r.arquivo != prev->arquivo;
        const bool newLine = newFile || r.linha != prev->linha;
        const bool newProblem = newLine || r.descricao != prev->descricao;
        if (newFile) files.push_back({r.arquivo, {}});
        if (newLine) files.back().lines.push_back({r.linha, {}});
        if (newProblem) {
            files.back().lines.back().problems.push_back({measureParagraph(r.descricao, font, kTextWidth, device),
                                                          measureParagraph(r.resolver, font, kTextWidth, device)});
        }
        prev = &r;
    }

    Paginator pager(device);
    for (const FileGroup& f : files) pager.file(f);

    ReportLayout layout;
    layout.pages = std::move(pager.pages);
    const int count = static_cast<int>(layout.pages.size());
    for (int i = 0; i < count; ++i) {
        Page& page = layout.pages[static_cast<std::size_t>(i)];
        addHeader(page, header, i + 1, count, device);
        addFooter(page, header, device);
    }
    return layout;
}

void paintPage(QPainter& p, const Page& page) {
    QPaintDevice& dev = *p.device();
    const double sx = pxPerMmX(dev);
    const double sy = pxPerMmY(dev);
    auto px = [&](const QRectF& r) { return QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy); };
    const double pointPx = dev.logicalDpiY() / 72.0;

    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const Item& it : page.items) {
        const QRectF r = px(it.rect);
        switch (it.kind) {
            case ItemKind::Text:
                p.setFont(it.font);
                p.setPen(it.color);
                p.drawText(r, it.align | Qt::TextSingleLine, it.text);
                break;
            case ItemKind::Paragraph: {
                QTextLayout tl(it.text, it.font, &dev);
                wrapText(tl, r.width());
                p.setPen(it.color);
                const int last = std::min(it.firstLine + it.lineCount, tl.lineCount());
                if (it.firstLine >= last) break;
                const double offset = tl.lineAt(it.firstLine).y();
                for (int i = it.firstLine; i < last; ++i) tl.lineAt(i).draw(&p, QPointF(r.x(), r.y() - offset));
                break;
            }
            case ItemKind::Line: {
                QPen pen(it.color, std::max(it.penWidth * pointPx, 1.0), it.penStyle);
                p.setPen(pen);
                p.drawLine(r.topLeft(), r.topRight());
                break;
            }
            case ItemKind::Box:
                p.fillRect(r, it.color);
                break;
            case ItemKind::Image: {
                const QSizeF fit = QSizeF(it.image.size()).scaled(r.size(), Qt::KeepAspectRatio);
                const QRectF target(r.center().x() - fit.width() / 2, r.center().y() - fit.height() / 2, fit.width(),
                                    fit.height());
                p.drawImage(target, it.image);
                break;
            }
            case ItemKind::MakerMark:
                drawMakerMark(p, r);
                break;
        }
    }
    p.restore();
}

bool printRelLog(const std::vector<LogRow>& rows, const ReportHeader& header, QPagedPaintDevice& device) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    const ReportLayout layout = layoutRelLog(rows, header, device);
    QPainter p;
    if (!p.begin(&device)) return false;
    for (std::size_t i = 0; i < layout.pages.size(); ++i) {
        if (i > 0 && !device.newPage()) return false;
        paintPage(p, layout.pages[i]);
    }
    return p.end();
}

}  // namespace tcese::report

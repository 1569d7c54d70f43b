#pragma once
// The log report RelLog: the saved generation log grouped by export file, by line
// and by problem. Laying out (pages of positioned items, in millimetres) is kept
// apart from painting, so pagination can be checked without pixels.
#include <QColor>
#include <QDate>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QTime>

#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace tcese {
class RecordSet;
}

namespace tcese::report {

// One row of CdsRelLog, the fields the report prints.
struct LogRow {
    QString arquivo;
    long linha = 0;
    QString descricao;
    QString resolver;
};

// The rows of a loaded log, in file order.
std::vector<LogRow> logRows(RecordSet& cdsRelLog);

// What the header and footer bands show.
struct ReportHeader {
    QImage logo;         // LOGO of CdsLogo; null: no logo
    QString name;        // CLNT1
    QString address;     // ENDERE
    QString cnpj;        // CGC
    QString title;       // TIT
    QDate printDate;
    QTime printTime;
};

// ppHeaderBand1BeforePrint: the period label TIT.
QString periodTitle(const QString& monthCode, const QString& fiscalYear);

// Page geometry (mm).
inline constexpr double kPageWidth = 210.0;
inline constexpr double kPageHeight = 297.0;
inline constexpr double kMargin = 6.35;
inline constexpr double kHeaderHeight = 37.306;
inline constexpr double kFooterHeight = 10.583;
inline constexpr double kFileHeaderHeight = 5.821;
inline constexpr double kFileFooterHeight = 2.646;
inline constexpr double kLineHeaderHeight = 16.933;
inline constexpr double kProblemFooterHeight = 1.852;
inline constexpr double kBodyTop = kMargin + kHeaderHeight;
inline constexpr double kBodyBottom = kPageHeight - kMargin - kFooterHeight;

enum class ItemKind {
    Text,        // one line of text in `rect`, aligned by `align`
    Paragraph,   // lines [firstLine, firstLine + lineCount) of a wrapped, justified text
    Line,        // from rect.topLeft() to rect.topRight()
    Box,         // filled rectangle
    Image,       // `image` fitted and centred in `rect`
    MakerMark,   // the maker's small logo
};

// Which band an item belongs to, so tests can find them.
enum class Band { PageHeader, FileHeader, LineHeader, ProblemHeader, ProblemFooter, PageFooter };

struct Item {
    ItemKind kind = ItemKind::Text;
    Band band = Band::PageHeader;
    QRectF rect;  // page coordinates, mm
    QString text;
    QFont font;
    QColor color = Qt::black;
    int align = Qt::AlignLeft | Qt::AlignTop;
    double penWidth = 0.0;  // points
    Qt::PenStyle penStyle = Qt::SolidLine;
    int firstLine = 0;
    int lineCount = 0;
    QImage image;
};

struct Page {
    std::vector<Item> items;
};

struct ReportLayout {
    std::vector<Page> pages;
};

// Lays the rows out on A4 pages. Text is measured with the fonts as they come out on
// `device` (the printer, PDF writer or image that the pages will be painted on).
ReportLayout layoutRelLog(const std::vector<LogRow>& rows, const ReportHeader& header, QPaintDevice& device);

// Paints one page with the painter's origin at the paper's top-left corner, at the
// device's resolution.
void paintPage(QPainter& painter, const Page& page);

// Lays out and paints every page on a printer or PDF writer (set to A4, no margins).
// Returns false when the device could not be painted on.
bool printRelLog(const std::vector<LogRow>& rows, const ReportHeader& header, QPagedPaintDevice& device);

// The report's text for wrapping: line breaks of the log become line separators.
QString reportText(const QString& text);

}  // namespace tcese::report

// The log report: pagination on an image device (no pixels compared), and
// "&Visualizar Log " through the window with the preview replaced.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPrintPreviewWidget>
#include <QTimer>
#include <QToolBar>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "app/principal.h"
#include "app/translations.h"
#include "config/pegacaminho.h"
#include "data/datapacket.h"
#include "engine/exporter.h"
#include "report/btnlog.h"
#include "report/rellog.h"
#include "testdb.h"

namespace fs = std::filesystem;
using namespace tcese;
using namespace tcese::report;
using tcese::app::MessageSink;
using tcese::app::StartOptions;
using tcese::app::TFrmPrincipalSE;

namespace {

// 300 dpi: the layout measures text on the device it will be painted on.
QImage device() {
    QImage img(8, 8, QImage::Format_RGB32);
    img.setDotsPerMeterX(11811);
    img.setDotsPerMeterY(11811);
    return img;
}

ReportHeader header() {
    ReportHeader h;
    h.name = QStringLiteral("PREFEITURA MUNICIPAL DE TESTE");
    h.address = QStringLiteral("PRAÇA CENTRAL, 1");
    h.cnpj = QStringLiteral("13.000.000/0001-00");
    h.title = periodTitle(QStringLiteral("03"), QStringLiteral("2007"));
    h.printDate = QDate(2007, 4, 2);
    h.printTime = QTime(9, 30, 0);
    return h;
}

ReportLayout layout(const std::vector<LogRow>& rows) {
    QImage img = device();
    return layoutRelLog(rows, header(), img);
}

std::vector<const Item*> items(const Page& page, Band band, std::optional<ItemKind> kind = std::nullopt) {
    std::vector<const Item*> out;
    for (const Item& it : page.items)
        if (it.band == band && (!kind || it.kind == *kind)) out.push_back(&it);
    return out;
}

bool hasText(const Page& page, const QString& text) {
    return std::any_of(page.items.begin(), page.items.end(), [&](const Item& it) { return it.text == text; });
}

QString repeated(const QString& word, int times) {
    QString s;
    for (int i = 0; i < times; ++i) s += word + QLatin1Char(' ');
    return s.trimmed();
}

}  // namespace

TEST(RelLogTitle, AnnualBudgetOrMonthAndYear) {
    const struct {
        const char* month;
        const char* title;
    } cases[] = {
        {"14", "REFERENTE AO ORÇAMENTO ANUAL"},
        {"03", "REFERENTE AO INFORME DO MÊS 03/2007"},
        {"12", "REFERENTE AO INFORME DO MÊS 12/2007"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(periodTitle(QString::fromUtf8(c.month), QStringLiteral("2007")), QString::fromUtf8(c.title)) << c.month;
}

TEST(RelLogLayout, EmptyLogIsOnePageWithHeaderAndFooterOnly) {
    const ReportLayout l = layout({});
    ASSERT_EQ(l.pages.size(), 1u);
    for (const Item& it : l.pages[0].items)
        EXPECT_TRUE(it.band == Band::PageHeader || it.band == Band::PageFooter) << it.text.toStdString();
    const Page& p = l.pages[0];
    for (const char* t : {"PREFEITURA MUNICIPAL DE TESTE", "PRAÇA CENTRAL, 1", "CNPJ:", "13.000.000/0001-00",
                          "ARQUIVO DE LOG DA GERAÇÃO DOS ARQUIVOS", "REFERENTE AO INFORME DO MÊS 03/2007",
                          "Página: 1 de 1", "Data:", "02/04/2007", "Hora:", "09:30:00", "Tavrel SC Ltda - Software "})
        EXPECT_TRUE(hasText(p, QString::fromUtf8(t))) << t;
}

TEST(RelLogLayout, GroupsByFileLineAndDescriptionWithTheFirstResolution) {
    const std::vector<LogRow> rows = {
        {"EMPENHO.TXT", 2, "ELEMENTO EM BRANCO", "PRIMEIRA"},
        {"EMPENHO.TXT", 2, "ELEMENTO EM BRANCO", "SEGUNDA"},   // same problem: not printed again
        {"EMPENHO.TXT", 2, "DATA INVÁLIDA", "CORRIJA A DATA"},  // new problem, same line
        {"EMPENHO.TXT", 3, "ELEMENTO EM BRANCO", "TERCEIRA"},  // new line, same text: printed
        {"LIQUIDAC.TXT", 3, "ELEMENTO EM BRANCO", "QUARTA"},   // new file
    };
    const ReportLayout l = layout(rows);
    ASSERT_EQ(l.pages.size(), 1u);
    const Page& p = l.pages[0];

    std::vector<QString> files;
    for (const Item* it : items(p, Band::FileHeader)) files.push_back(it->text);
    EXPECT_EQ(files, (std::vector<QString>{"Arquivo: ", "EMPENHO.TXT", "Arquivo: ", "LIQUIDAC.TXT"}));

    std::vector<QString> lines;
    for (const Item* it : items(p, Band::LineHeader, ItemKind::Text))
        if (it->text != "Linha:" && it->text != "Problema" && it->text != QStringLiteral("Resolução")) lines.push_back(it->text);
    EXPECT_EQ(lines, (std::vector<QString>{"2", "3", "3"}));

    std::vector<QString> texts;
    for (const Item* it : items(p, Band::ProblemHeader, ItemKind::Paragraph)) texts.push_back(it->text);
    EXPECT_EQ(texts, (std::vector<QString>{"ELEMENTO EM BRANCO", "PRIMEIRA", QStringLiteral("DATA INVÁLIDA"),
                                           "CORRIJA A DATA", "ELEMENTO EM BRANCO", "TERCEIRA", "ELEMENTO EM BRANCO",
                                           "QUARTA"}));
    // Description red, resolution black, in reading order down the page.
    const auto paras = items(p, Band::ProblemHeader, ItemKind::Paragraph);
    EXPECT_EQ(paras[0]->color, QColor(Qt::red));
    EXPECT_EQ(paras[1]->color, QColor(Qt::black));
    for (std::size_t i = 1; i < paras.size(); ++i) EXPECT_GE(paras[i]->rect.top(), paras[i - 1]->rect.bottom() - 1e-6);
}

TEST(RelLogLayout, LineBreaksInADescriptionAreKept) {
    const ReportLayout l = layout({{"A.TXT", 2, "PRIMEIRA\r\nSEGUNDA \"ASPAS\"", "R"}});
    const auto paras = items(l.pages[0], Band::ProblemHeader, ItemKind::Paragraph);
    ASSERT_FALSE(paras.empty());
    EXPECT_EQ(paras[0]->text, QStringLiteral("PRIMEIRA") + QChar(QChar::LineSeparator) + QStringLiteral("SEGUNDA \"ASPAS\""));
    EXPECT_EQ(paras[0]->lineCount, 2);
}

TEST(RelLogLayout, LongDescriptionWrapsAndAGroupThatFitsMovesWhole) {
    // Fills most of page 1.
    const QString filler = repeated(QStringLiteral("PROBLEMA"), 330);
    // Fits on a page, but not in what page 1 has left.
    const QString longer = repeated(QStringLiteral("DESCRICAO"), 300);
    const ReportLayout l = layout({{"A.TXT", 2, filler, "R1"}, {"B.TXT", 5, longer, "R2"}});
    ASSERT_EQ(l.pages.size(), 2u);

    const auto first = items(l.pages[0], Band::ProblemHeader, ItemKind::Paragraph);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_GT(first[0]->lineCount, 20);
    EXPECT_EQ(first[0]->text, filler);

    // The whole file group of B.TXT is on page 2, starting at the top of the body.
    EXPECT_FALSE(hasText(l.pages[0], "B.TXT"));
    const auto files = items(l.pages[1], Band::FileHeader);
    ASSERT_FALSE(files.empty());
    EXPECT_NEAR(files[0]->rect.top(), kBodyTop + 1.0, 1e-6);
    const auto second = items(l.pages[1], Band::ProblemHeader, ItemKind::Paragraph);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0]->text, longer);
    EXPECT_EQ(second[1]->text, "R2");
    EXPECT_TRUE(hasText(l.pages[0], QStringLiteral("Página: 1 de 2")));
    EXPECT_TRUE(hasText(l.pages[1], QStringLiteral("Página: 2 de 2")));
}

TEST(RelLogLayout, AFileLongerThanAPageLeavesNoHeaderAloneAndIsNamedOnEachPage) {
    // A first file of `before` text lines moves where the long file's first page break falls.
    for (int before = 1; before < 50; before += 2) {
        std::vector<LogRow> rows;
        rows.push_back({"P.TXT", 2, QStringList(before, QStringLiteral("CAMPO EM BRANCO")).join(QLatin1Char('\n')), "MENU"});
        for (int l = 2; l < 46; ++l) rows.push_back({"CTAPAG.TXT", l, "DIGITO EM BRANCO", "MÓDULO CONTAS"});
        rows.push_back({"FIM.TXT", 2, "X", "Y"});
        const ReportLayout l = layout(rows);
        ASSERT_GT(l.pages.size(), 1u);
        int boxes = 0;
        for (std::size_t n = 0; n < l.pages.size(); ++n) {
            const Page& p = l.pages[n];
            SCOPED_TRACE(::testing::Message() << before << " lines before, page " << n + 1);
            const auto files = items(p, Band::FileHeader);
            ASSERT_FALSE(files.empty());
            EXPECT_NEAR(files[0]->rect.top(), kBodyTop + 1.0, 1e-6);
            // Each file header has at least one line under it on the same page.
            for (const Item* f : files) {
                if (f->text != "Arquivo: ") continue;
                const auto boxesHere = items(p, Band::LineHeader, ItemKind::Box);
                EXPECT_TRUE(std::any_of(boxesHere.begin(), boxesHere.end(),
                                        [&](const Item* b) { return b->rect.top() > f->rect.top(); }));
            }
            // No problem split: one footer per description on every page.
            int descriptions = 0;
            for (const Item* it : items(p, Band::ProblemHeader, ItemKind::Paragraph))
                descriptions += it->color == QColor(Qt::red);
            EXPECT_EQ(descriptions, static_cast<int>(items(p, Band::ProblemFooter).size()));
            boxes += static_cast<int>(items(p, Band::LineHeader, ItemKind::Box).size());
        }
        EXPECT_EQ(boxes, 1 + 44 + 1);
    }
}

TEST(RelLogLayout, ProblemLongerThanAPageGoesOnOverThePagesLosingNoLine) {
    // Both texts at their full width of 5000: taller than one page.
    const QString d = repeated(QStringLiteral("ABCDEFGHI"), 500).left(5000);
    const QString r = repeated(QStringLiteral("RESOLVA"), 700).left(5000);
    const ReportLayout l = layout({{"A.TXT", 2, d, r}});
    ASSERT_GE(l.pages.size(), 2u);

    int dLines = 0, rLines = 0;
    int nextD = 0, nextR = 0;
    for (const Page& p : l.pages) {
        for (const Item* it : items(p, Band::ProblemHeader, ItemKind::Paragraph)) {
            EXPECT_GE(it->rect.top(), kBodyTop - 1e-6);
            EXPECT_LE(it->rect.bottom(), kBodyBottom + 1e-6);
            if (it->text == d) {
                EXPECT_EQ(it->firstLine, nextD);
                nextD += it->lineCount;
                dLines += it->lineCount;
            } else {
                EXPECT_EQ(it->firstLine, nextR);
                nextR += it->lineCount;
                rLines += it->lineCount;
            }
        }
    }
    EXPECT_GT(dLines, 30);
    EXPECT_GT(rLines, 30);
    // The footer rule of the problem comes after the last line, on the last page.
    const auto footer = items(l.pages.back(), Band::ProblemFooter);
    ASSERT_EQ(footer.size(), 1u);
}

TEST(RelLogLayout, PaintsEveryPageOnAPdf) {
    const fs::path file = fs::temp_directory_path() / "test_rellog.pdf";
    RelLogReport r{{{"A.TXT", 2, repeated(QStringLiteral("X"), 4000), "R"}, {"B.TXT", 3, "Y", "Z"}}, header(), {}};
    ASSERT_TRUE(exportPdf(r, QString::fromStdString(file.string())));
    QFile f(QString::fromStdString(file.string()));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_TRUE(bytes.contains("%%EOF"));
    f.close();
    fs::remove(file);

    // A folder that does not exist: false, and no file.
    const fs::path bad = fs::temp_directory_path() / "test_rellog_nao_existe" / "x.pdf";
    EXPECT_FALSE(exportPdf(r, QString::fromStdString(bad.string())));
    EXPECT_FALSE(fs::exists(bad));
}

TEST(RelLogPreview, OpensMaximisedAtEightyPercent) {
    RelLogReport r{{{"A.TXT", 2, "D", "R"}}, header(), QStringLiteral("LOG032007")};
    EXPECT_EQ(pdfFileName(r), "LOG032007.pdf");
    bool checked = false;
    QWidget* seen = nullptr;
    // Looks once the dialog has set itself up, then closes it.
    QTimer::singleShot(300, [&] {
        seen = QApplication::activeModalWidget();
        if (!seen) return;
        auto* view = seen->findChild<QPrintPreviewWidget*>();
        EXPECT_TRUE(seen->windowState() & Qt::WindowMaximized);
        ASSERT_TRUE(view);
        EXPECT_NEAR(view->zoomFactor(), 0.8, 1e-9);
        EXPECT_EQ(view->zoomMode(), QPrintPreviewWidget::CustomZoom);
        // The zoom box says what the page is drawn at.
        auto* bar = seen->findChild<QToolBar*>();
        ASSERT_TRUE(bar);
        auto* box = bar->findChild<QComboBox*>();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->currentText(), "80%");
        EXPECT_EQ(view->pageCount(), 1);
        checked = true;
        seen->close();
    });
    showPreview(nullptr, r);
    EXPECT_TRUE(checked);
}

// Qt's own texts (the preview's tooltips, the message box's details button) in Portuguese.
TEST(QtTranslations, StandardDialogsSpeakPortuguese) {
    ASSERT_TRUE(tcese::app::installQtTranslations());
    struct Case {
        const char* context;
        const char* english;
    };
    for (const Case& c : {Case{"QMessageBox", "Show Details..."}, Case{"QPrintPreviewDialog", "Next page"},
                          Case{"QPrintPreviewDialog", "Print"}, Case{"QFileDialog", "File &name:"},
                          Case{"QPrintDialog", "Print"}}) {
        const QString text = QCoreApplication::translate(c.context, c.english);
        EXPECT_FALSE(text.isEmpty()) << c.english;
        EXPECT_NE(text, QString::fromLatin1(c.english)) << c.context << " " << c.english;
    }
    EXPECT_EQ(QLocale().name(), "pt_BR");
}

// ---- "&Visualizar Log " through the window.

namespace {

struct Shown {
    tcese::MessageKind kind;
    QString text;
};

class RecordingSink : public MessageSink {
public:
    explicit RecordingSink(std::vector<Shown>* out) : out_(out) {}
    void show(QWidget*, tcese::MessageKind kind, const QString& text, const QString&) override {
        out_->push_back({kind, text});
    }

private:
    std::vector<Shown>* out_;
};

class BtnLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ini = db.installAsYear("2007");
        db.exec(
            "insert into CADCLI (MEXER, CLNT1, ENDERE, CGC) values ('2007', 'MUNICÍPIO DE TESTE', 'RUA DA MATRIZ, 10', "
            "'13.111.222/0001-33');"
            "commit;");
        w = std::make_unique<TFrmPrincipalSE>(StartOptions{ini, db.dir()});
        w->setMessageSink(std::make_unique<RecordingSink>(&shown));
        ASSERT_TRUE(w->FormCreate());
    }

    void selectMonth(const QString& code) {
        for (int i = 0; i < w->cbmes->count(); ++i)
            if (w->cbmes->itemText(i).startsWith(code)) w->cbmes->setCurrentIndex(i);
    }

    fs::path logFile(const std::string& month) {
        return fs::path(PegaCaminho("D", ini) + "LOG" + month + "2007.XML");
    }

    void writeLog(const std::string& month, const std::vector<LogRow>& rows) {
        RecordSet log("CdsLog");
        for (auto& d : logFieldDefs()) log.addField(std::move(d));
        log.createDataSet();
        for (const LogRow& r : rows) {
            log.append();
            log.field("ARQUIVO").setAsString(r.arquivo.toStdString());
            log.field("STATUS").setAsString("ERRO");
            log.field("LINHA").setAsInteger(r.linha);
            log.field("DESCRICAO").setAsString(r.descricao.toStdString());
            log.field("RESOLVER").setAsString(r.resolver.toStdString());
            log.field("DATA").setAsString("02/04/2007");
            log.field("HORA").setAsString("09:30:00");
            log.post();
        }
        saveDatapacket(log, logFile(month));
    }

    // Runs the click; the preview keeps what it was given.
    std::optional<RelLogReport> click() {
        std::optional<RelLogReport> seen;
        btnLogClick(*w, [&](QWidget*, const RelLogReport& r) { seen = r; });
        return seen;
    }

    tcese::testing::TestDatabase db;
    fs::path ini;
    std::unique_ptr<TFrmPrincipalSE> w;
    std::vector<Shown> shown;
};

}  // namespace

TEST_F(BtnLogTest, WarnsWithoutAMonthOrWithoutALogFile) {
    EXPECT_FALSE(click());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, tcese::MessageKind::Warning);
    EXPECT_EQ(shown[0].text, QStringLiteral("Selecione o Mês de Referência!"));
    w->cbmes->hidePopup();

    selectMonth("03");
    EXPECT_FALSE(click());
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].kind, tcese::MessageKind::Warning);
    EXPECT_EQ(shown[1].text, QStringLiteral("Arquivo de Log não encontrado!"));
    EXPECT_FALSE(w->dataModule().CdsAux.active());
}

TEST_F(BtnLogTest, ShowsTheMonthsLogUnderTheClientsHeader) {
    writeLog("03", {{"EMPENHO.TXT", 2, QStringLiteral("ELEMENTO DO EMPENHO NÃO PODE FICAR EM BRANCO"), "VERIFIQUE"},
                    {"EMPENHO.TXT", 2, QStringLiteral("ELEMENTO DO EMPENHO NÃO PODE FICAR EM BRANCO"), "OUTRA"}});
    writeLog("14", {});
    selectMonth("03");
    auto r = click();
    ASSERT_TRUE(r);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(r->header.name, QStringLiteral("MUNICÍPIO DE TESTE"));
    EXPECT_EQ(r->header.address, QStringLiteral("RUA DA MATRIZ, 10"));
    EXPECT_EQ(r->header.cnpj, QStringLiteral("13.111.222/0001-33"));
    EXPECT_EQ(r->header.title, QStringLiteral("REFERENTE AO INFORME DO MÊS 03/2007"));
    EXPECT_EQ(pdfFileName(*r), "LOG032007.pdf");
    ASSERT_EQ(r->rows.size(), 2u);
    EXPECT_EQ(r->rows[0].descricao, QStringLiteral("ELEMENTO DO EMPENHO NÃO PODE FICAR EM BRANCO"));
    EXPECT_EQ(r->rows[1].resolver, QStringLiteral("OUTRA"));
    EXPECT_EQ(w->exporter()->ctx.monthCode, "03");
    EXPECT_EQ(w->exporter()->ctx.fiscalYear, "2007");
    for (const RecordSet* rs : {&w->dataModule().CdsAux, &w->dataModule().CdsRelLog, &w->dataModule().CdsCliente,
                                &w->dataModule().CdsLogo})
        EXPECT_FALSE(rs->active()) << rs->name();

    selectMonth("14");
    r = click();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->header.title, QStringLiteral("REFERENTE AO ORÇAMENTO ANUAL"));
    EXPECT_EQ(pdfFileName(*r), "LOG142007.pdf");
    EXPECT_TRUE(r->rows.empty());
}

TEST_F(BtnLogTest, ALogThatDoesNotLoadIsAnErrorAndNoReport) {
    { std::ofstream(logFile("03")) << "<DATAPACKET Version=\"2.0\"><METADATA>"; }
    selectMonth("03");
    EXPECT_FALSE(click());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, tcese::MessageKind::Error);
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("LOG032007.XML"))) << shown[0].text.toStdString();
    EXPECT_FALSE(w->dataModule().CdsRelLog.active());
}

// The main window through its real widgets: start-up, the generation panel, a
// run, its cancel and its errors.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>
#include <vector>

#include "app/marquee.h"
#include "app/principal.h"
#include "data/datetime.h"
#include "engine_support.h"
#include "generators/vazios.h"
#include "testdb.h"

using namespace tcese;
using namespace tcese::app;
using namespace tcese::testing;

namespace {

struct Shown {
    MessageKind kind;
    QString text;
    QString detail;
};

// Records the boxes instead of showing them.
class RecordingSink : public MessageSink {
public:
    explicit RecordingSink(std::vector<Shown>* out) : out_(out) {}
    void show(QWidget*, MessageKind kind, const QString& text, const QString& detail) override {
        out_->push_back({kind, text, detail});
    }

private:
    std::vector<Shown>* out_;
};

// Called by the test generators after each record they write, with its number.
std::function<void(int)> gOnRecord;

// One detail record with a logged problem: the row ends "with errors".
void fileWithProblem(Exporter& ex, std::string_view name) {
    ex.ctx.recordCount = 1;
    ex.setFileProgressMax(1);
    ex.CRIAR_ARQ(name);
    ex.HEADER();
    ex.Log(std::string(name) + ".txt", "ERRO", "ELEMENTO DO EMPENHO NÃO PODE FICAR EM BRANCO", "Menu Empenhos", 2);
    ex.writeRecord("2ABC");
    ex.stepFileProgress();
    ex.TRAILER(1);
    ex.Fecha_arq();
}

// Ten records, each followed by pending events; stops at a cancel like a generator.
void tenRecords(Exporter& ex, std::string_view name) {
    ex.ctx.recordCount = 10;
    ex.setFileProgressMax(10);
    ex.CRIAR_ARQ(name);
    ex.HEADER();
    for (int i = 1; i <= 10; ++i) {
        if (ex.ctx.cancelRequested) return;
        ex.writeRecord("2" + std::to_string(i));
        ex.stepFileProgress();
        if (gOnRecord) gOnRecord(i);
        ex.processMessagesNow();
    }
    ex.TRAILER(10);
    ex.Fecha_arq();
}

void failsAfterHeader(Exporter& ex, std::string_view name) {
    ex.CRIAR_ARQ(name);
    ex.HEADER();
    throw GenerationError("Arquivo Quebra.txt, linha 2, campo VALOR: valor inválido \"x\"");
}

const CatalogueStep kMonth[] = {
    {1, "Erros", "Erros", fileWithProblem, nullptr},
    {2, "Dez", "Dez", tenRecords, nullptr},
    {3, "Vazio", "Vazio", emptyFile, nullptr},
};
const CatalogueStep kYear[] = {
    {1, "Orcmto", "Orcmto", emptyFile, nullptr},
};
const CatalogueStep kBroken[] = {
    {1, "Vazio", "Vazio", emptyFile, nullptr},
    {2, "Quebra", "Quebra", failsAfterHeader, nullptr},
    {3, "Depois", "Depois", emptyFile, nullptr},
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        gOnRecord = nullptr;
        ini = db.installAsYear("2007");
        db.exec(
            "insert into CADCLI (MEXER) values ('2007');"
            "insert into TABEMPRESA (EMPRESA, NOME) values (2, 'Câmara Municipal');"
            "insert into TABEMPRESA (EMPRESA, NOME) values (1, 'Prefeitura Municipal');"
            "commit;");
    }
    void TearDown() override { gOnRecord = nullptr; }

    // The window as the program starts it: created, connected, shown.
    std::unique_ptr<TFrmPrincipalSE> start() {
        auto w = std::make_unique<TFrmPrincipalSE>(StartOptions{ini, progDir.path()});
        w->setMessageSink(std::make_unique<RecordingSink>(&shown));
        w->setCatalogues(kYear, kMonth);
        if (!w->FormCreate()) return w;
        w->resize(1200, 800);
        w->show();
        return w;
    }
    // Panel shown, month and folder chosen.
    std::unique_ptr<TFrmPrincipalSE> ready(int monthIndex = 3) {
        auto w = start();
        QTest::mouseClick(w->sbgera, Qt::LeftButton);
        w->cbmes->setCurrentIndex(monthIndex);
        w->setFolderChooser([this](QWidget*, const QString&) { return QString::fromStdString(out.path().string()); });
        QTest::mouseClick(w->RzRapidFireButton1, Qt::LeftButton);
        return w;
    }
    static std::vector<int> states(const TFrmPrincipalSE& w) {
        std::vector<int> s;
        for (int i = 0; i < w.lstArqs->topLevelItemCount(); ++i)
            s.push_back(w.lstArqs->topLevelItem(i)->data(0, kStateRole).toInt());
        return s;
    }
    static QStringList column(const TFrmPrincipalSE& w, int col) {
        QStringList s;
        for (int i = 0; i < w.lstArqs->topLevelItemCount(); ++i) s << w.lstArqs->topLevelItem(i)->text(col);
        return s;
    }
    // Controls as while running (true) or idle (false), side bar included.
    static void expectRunControls(const TFrmPrincipalSE& w, bool running) {
        EXPECT_EQ(w.gerar->isEnabled(), !running);
        EXPECT_EQ(w.Fechar->text(), running ? "Cancela&r" : "Fecha&r");
        EXPECT_EQ(w.sbgera->isEnabled(), !running);
        EXPECT_EQ(w.cbmes->isEnabled(), !running);
        EXPECT_EQ(w.RzRapidFireButton1->isEnabled(), !running);
        EXPECT_EQ(w.runControlsActive(), running);
    }

    TestDatabase db;
    TempDir out;
    TempDir progDir;
    std::filesystem::path ini;
    std::vector<Shown> shown;
};

}  // namespace

TEST_F(WindowTest, EntityListFromTheDatabase) {
    db.exec(
        "insert into TABEMPRESA (EMPRESA, NOME) values (100, 'Fundo de Saúde');"
        "commit;");
    auto w = start();
    ASSERT_TRUE(shown.empty());
    const QStringList entries = {"01 - PREFEITURA MUNICIPAL", "02 - CÂMARA MUNICIPAL", "100 - FUNDO DE SAÚDE"};
    ASSERT_EQ(w->CbEnt->count(), entries.size());
    for (int i = 0; i < entries.size(); ++i) EXPECT_EQ(w->CbEnt->itemText(i), entries[i]);
    EXPECT_EQ(w->CbEnt->currentIndex(), 0);
    EXPECT_EQ(w->exporter()->ctx.entityCode, "01");
    EXPECT_EQ(w->Exerc->text(), "Ex: 2007");
    EXPECT_EQ(w->Vrs->text(), "Vrs: 8.0.0.3");
}

TEST_F(WindowTest, EmptyEntityTableLeavesTheBoxEmpty) {
    db.exec("delete from TABEMPRESA; commit;");
    auto w = start();
    EXPECT_EQ(w->CbEnt->count(), 0);
    EXPECT_EQ(w->exporter()->ctx.entityCode, "");
    EXPECT_TRUE(shown.empty());
}

TEST_F(WindowTest, ConnectionFailureShowsTheMessageAndEnds) {
    const auto noDb = out.path() / "Vora.ini";
    writeBytes(noDb, "[VORA]\nAno=2031\nCaminho_Base_Dados=" + out.str() + "\n");
    TFrmPrincipalSE w(StartOptions{noDb, progDir.path()});
    w.setMessageSink(std::make_unique<RecordingSink>(&shown));
    EXPECT_FALSE(w.FormCreate());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_EQ(shown[0].text, QString::fromUtf8("Erro ao Conectar com a Base de Dados!\rO Módulo será Finalizado!!"));
    EXPECT_TRUE(shown[0].detail.contains("VORA2031.FDB")) << shown[0].detail.toStdString();
    EXPECT_EQ(w.exporter(), nullptr);
    EXPECT_EQ(w.Exerc->text(), "Ex: 2031");
}

TEST_F(WindowTest, MissingSettingsFileNamesEveryPlaceLookedAt) {
    const tcese::SettingsPlaces places{out.path() / "bin", out.path() / "usuario", out.path() / "etc"};
    TFrmPrincipalSE w(StartOptions{{}, progDir.path(), places});
    w.setMessageSink(std::make_unique<RecordingSink>(&shown));
    EXPECT_FALSE(w.FormCreate());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    const QString text = shown[0].text;
    EXPECT_TRUE(text.contains(QString::fromUtf8("Vora.ini não encontrado"))) << text.toStdString();
    for (const auto& dir : places.folders())
        EXPECT_TRUE(text.contains(QString::fromStdString((dir / "Vora.ini").string()))) << text.toStdString();
    EXPECT_TRUE(text.contains("TCESE_INI")) << text.toStdString();
    EXPECT_FALSE(text.contains("FDB")) << text.toStdString();
    EXPECT_EQ(w.exporter(), nullptr);
}

TEST(MessageText, CarriageReturnsBreakLines) {
    EXPECT_EQ(messageText("a\rb"), "a\nb");
    EXPECT_EQ(messageText("a\r\nb\rc"), "a\nb\nc");
    EXPECT_EQ(messageText("sem quebra"), "sem quebra");
}

TEST_F(WindowTest, CaptionFollowsTheUpdaterFile) {
    struct Case {
        const char* file;  // nullptr: none
        QDateTime modified;
        QString caption;
    };
    const Case cases[] = {
        {nullptr, {}, "FrmPrincipalSE"},
        {"quenda8.exe", QDateTime(QDate(2007, 3, 5), QTime(14, 7, 9)),
         QString::fromUtf8("VORA 8.0 - MODULO TCE - SE - Atualizado dia 05/03/2007 14:07:09 - Versão: 8.0.0.3")},
        {"QUENDA8.EXE", QDateTime(QDate(2008, 12, 31), QTime(0, 0, 0)),
         QString::fromUtf8("VORA 8.0 - MODULO TCE - SE - Atualizado dia 31/12/2008 - Versão: 8.0.0.3")},
    };
    for (const Case& c : cases) {
        TempDir dir;
        if (c.file) {
            QFile f(QString::fromStdString((dir.path() / c.file).string()));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            ASSERT_TRUE(f.setFileTime(c.modified, QFileDevice::FileModificationTime));
        }
        EXPECT_EQ(windowCaption(dir.path()), c.caption) << (c.file ? c.file : "none");
    }
    auto w = start();
    EXPECT_EQ(w->windowTitle(), "FrmPrincipalSE");
}

TEST_F(WindowTest, StatusBarPanesLeftToRight) {
    auto w = start();
    EXPECT_EQ(w->marquee->text(), "Tribunal de Contas do Estado do Sergipe");
    EXPECT_EQ(w->marquee->scrollDelay(), 50);
    EXPECT_TRUE(QRegularExpression("^([0-9]|1[0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]$").match(w->clockPane->text()).hasMatch())
        << w->clockPane->text().toStdString();
    const QString today = QLocale(QLocale::Portuguese, QLocale::Brazil).toString(QDate::currentDate(), QLocale::LongFormat);
    EXPECT_EQ(w->datePane->text(), today);
    EXPECT_TRUE(today.contains(" de ")) << today.toStdString();
    EXPECT_EQ(w->makerPane->text(), "Tavrel SC Ltda. - Software");

    const QWidget* order[] = {w->marquee, w->Exerc, w->clockPane, w->datePane, w->Vrs, w->makerPane};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        EXPECT_LT(order[i - 1]->geometry().right(), order[i]->geometry().left()) << i;
        EXPECT_GE(order[i]->width(), order[i]->sizeHint().width()) << i << ": text clipped";
    }
    // The maker pane fills the rest of the bar.
    EXPECT_GE(w->makerPane->geometry().right(), w->statusBar()->width() - 12);
}

TEST_F(WindowTest, SideBarButtonsInOrderWithTheirHints) {
    auto w = start();
    struct Case {
        QPushButton* button;
        const char* caption;
        const char* hint;
    };
    const Case cases[] = {
        {w->sbgera, "Gerar Arquivos", "Gerador de Arquivos para Importação no SISAP"},
        {w->SbUnid, "&Unid. Gestora", "Cadastro da Unidade Gestora"},
        {w->SbOrc, "&Orçamento", "Parâmetros do Orçamento do TCE/SE"},
        {w->SbPlano, "&Plano de Contas", "Plano de Contas do TCE/SE"},
        {w->SbDesp, "Relac. &Despesas", "Relacionamento de Despesas"},
        {w->sbcomissao, "Comissão", "Cadastro de Dispensa/Inexigilidade"},
        {w->sbdispensa, "Dispensa/Inexig.", "Cadastro de Dispensa/Inexigilidade"},
    };
    int lastY = -1;
    for (const Case& c : cases) {
        const QString name = c.button->objectName();
        EXPECT_EQ(c.button->text(), QString::fromUtf8(c.caption)) << name.toStdString();
        EXPECT_TRUE(c.button->toolTip().startsWith(QString::fromUtf8(c.hint))) << name.toStdString();
        EXPECT_GT(c.button->y(), lastY) << name.toStdString();
        lastY = c.button->y();
        // Screens not built yet: visible, disabled, and the hint says so.
        const bool later = c.button != w->sbgera;
        EXPECT_TRUE(c.button->isVisible());
        EXPECT_EQ(c.button->isEnabled(), !later) << name.toStdString();
        EXPECT_EQ(c.button->toolTip().contains(QString::fromUtf8("próxima versão")), later) << name.toStdString();
    }

    int opened = 0;
    w->setScreen(w->SbOrc, [&opened](TFrmPrincipalSE&) { ++opened; });
    EXPECT_TRUE(w->SbOrc->isEnabled());
    EXPECT_EQ(w->SbOrc->toolTip(), QString::fromUtf8("Parâmetros do Orçamento do TCE/SE"));
    QTest::mouseClick(w->SbOrc, Qt::LeftButton);
    EXPECT_EQ(opened, 1);
}

TEST_F(WindowTest, LogosOpenTheirSites) {
    auto w = start();
    std::vector<QUrl> opened;
    w->setUrlOpener([&opened](const QUrl& u) { opened.push_back(u); });
    QTest::mouseClick(w->Image2, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl("https://www.tce.se.gov.br"));
    EXPECT_EQ(w->Image2->toolTip(), "https://www.tce.se.gov.br");
    EXPECT_EQ(w->Image2->cursor().shape(), Qt::PointingHandCursor);
    // No maker address yet: the maker's logo and labels open nothing and do not look like links.
    for (QLabel* l : {w->Image1, w->Label4}) {
        QTest::mouseClick(l, Qt::LeftButton);
        EXPECT_EQ(l->cursor().shape(), Qt::ArrowCursor) << l->objectName().toStdString();
    }
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_EQ(w->Label4->text(), "Tavrel S/C Software Ltda.");
}

TEST_F(WindowTest, PanelHiddenAtStartShownByGerarArquivos) {
    auto w = start();
    EXPECT_FALSE(w->pnPrinc->isVisible());
    EXPECT_FALSE(w->pnPrinc->isEnabled());
    QTest::mouseClick(w->sbgera, Qt::LeftButton);
    EXPECT_TRUE(w->pnPrinc->isVisible());
    EXPECT_TRUE(w->pnPrinc->isEnabled());

    ASSERT_EQ(w->cbmes->count(), 13);
    for (int i = 0; i < 13; ++i) EXPECT_EQ(w->cbmes->itemText(i), QString::fromUtf8(kMonthEntries[i]));
    EXPECT_EQ(w->cbmes->currentIndex(), -1);
    EXPECT_EQ(w->cbmes->maxVisibleItems(), 14);
    EXPECT_TRUE(w->edtLocal->isReadOnly());
    EXPECT_EQ(w->Fechar->text(), "&Fechar");
    EXPECT_EQ(w->gerar->text(), "&Gerar");
    EXPECT_EQ(w->btnLog->text(), "&Visualizar Log ");
    EXPECT_FALSE(w->btnLog->isEnabled());
    const char* headers[] = {"Arquivo Gerado", "Linhas", "Data", "Tamanho"};
    for (int c = 0; c < 4; ++c) EXPECT_EQ(w->lstArqs->headerItem()->text(c), headers[c]);
    EXPECT_EQ(w->lstArqs->columnWidth(0), 370);
    EXPECT_EQ(w->lstArqs->columnWidth(2), 80);
    EXPECT_EQ(w->lstArqs->columnWidth(3), 100);
    for (int s = 0; s < 4; ++s) {
        auto* legend = w->pnPrinc->findChild<QLabel*>(QStringLiteral("legenda%1").arg(s));
        ASSERT_NE(legend, nullptr);
        EXPECT_EQ(legend->text(), QString::fromUtf8(fileStateLegend(s)));
    }
    for (int s = 0; s < 4; ++s) {
        const QImage a = stateIcon(s).pixmap(16, 16).toImage();
        EXPECT_FALSE(a.isNull()) << s;
        for (int t = 0; t < s; ++t) EXPECT_NE(a, stateIcon(t).pixmap(16, 16).toImage()) << s << " looks like " << t;
    }

    // "&Fechar" while idle hides it; shown again, its controls are as they were.
    w->edtLocal->setText("/tmp/x/");
    QTest::mouseClick(w->Fechar, Qt::LeftButton);
    EXPECT_FALSE(w->pnPrinc->isVisible());
    EXPECT_FALSE(w->pnPrinc->isEnabled());
    QTest::mouseClick(w->sbgera, Qt::LeftButton);
    EXPECT_TRUE(w->pnPrinc->isVisible());
    EXPECT_EQ(w->edtLocal->text(), "/tmp/x/");
}

TEST_F(WindowTest, FolderButtonFillsTheFolderBox) {
    auto w = start();
    QTest::mouseClick(w->sbgera, Qt::LeftButton);
    struct Case {
        QString chosen;  // empty: the dialog was cancelled
        QString box;
    };
    const Case cases[] = {
        {"/dados/envio", "/dados/envio/"},
        {"", "/dados/envio/"},
        {"/", "/"},
    };
    QString title;
    for (const Case& c : cases) {
        w->setFolderChooser([&](QWidget*, const QString& t) {
            title = t;
            return c.chosen;
        });
        QTest::mouseClick(w->RzRapidFireButton1, Qt::LeftButton);
        EXPECT_EQ(w->edtLocal->text(), c.box) << c.chosen.toStdString();
    }
    EXPECT_EQ(title, QString::fromUtf8("Selecione a Pasta onde os Arquivos Serão Gerados"));
}

TEST_F(WindowTest, GerarWithoutMonthOrFolderWarnsAndFocuses) {
    auto w = start();
    QTest::mouseClick(w->sbgera, Qt::LeftButton);
    struct Case {
        int month;
        QString folder;
        const char* text;
        QWidget* focus;
    };
    const Case cases[] = {
        {-1, "/tmp/x/", "Selecione o Mês de Referência!", w->cbmes},
        {3, "", "Selecione o Local onde os Arquivos serão Gerados!", w->edtLocal},
        {3, "   ", "Selecione o Local onde os Arquivos serão Gerados!", w->edtLocal},
    };
    for (const Case& c : cases) {
        shown.clear();
        w->lstArqs->setFocus();
        w->cbmes->setCurrentIndex(c.month);
        w->edtLocal->setText(c.folder);
        QTest::mouseClick(w->gerar, Qt::LeftButton);
        ASSERT_EQ(shown.size(), 1u) << c.text;
        EXPECT_EQ(shown[0].kind, MessageKind::Warning);
        EXPECT_EQ(shown[0].text, QString::fromUtf8(c.text));
        EXPECT_EQ(w->focusWidget(), c.focus) << c.text;
        EXPECT_EQ(w->lstArqs->topLevelItemCount(), 0);
        EXPECT_TRUE(w->gerar->isEnabled());
        EXPECT_EQ(w->Fechar->text(), "&Fechar");  // no run has started
    }
}

TEST_F(WindowTest, MonthlyRunFillsTheListWithStateIcons) {
    auto w = ready();
    int opened = 0;
    w->setScreen(w->SbUnid, [&opened](TFrmPrincipalSE&) { ++opened; });
    // Seen from inside the run: the controls of a running run.
    bool checkedWhileRunning = false;
    gOnRecord = [&](int i) {
        if (i != 5) return;
        checkedWhileRunning = true;
        expectRunControls(*w, true);
        EXPECT_FALSE(w->SbUnid->isEnabled());
        EXPECT_EQ(states(*w), (std::vector<int>{kStateWithErrors, kStateFilling}));
        EXPECT_EQ(w->p1->maximum(), 10);
        EXPECT_EQ(w->p1->value(), 5);
        EXPECT_EQ(w->p2->maximum(), 3);
        EXPECT_EQ(w->p2->value(), 1);
    };
    QTest::mouseClick(w->gerar, Qt::LeftButton);
    EXPECT_TRUE(checkedWhileRunning);

    EXPECT_EQ(w->lastRun().outcome, RunOutcome::Completed);
    EXPECT_EQ(column(*w, 0), (QStringList{"Erros.txt", "Dez.txt", "Vazio.txt"}));
    EXPECT_EQ(states(*w), (std::vector<int>{kStateWithErrors, kStateSuccess, kStateNoRecords}));
    EXPECT_EQ(column(*w, 1), (QStringList{"3", "12", "2"}));
    const QString today = QString::fromStdString(dateToText(tcese::today()));
    EXPECT_EQ(column(*w, 2), (QStringList{today, today, today}));
    EXPECT_EQ(column(*w, 3).last(), "0,018 Kb");
    for (int i = 0; i < 3; ++i) {
        const QTreeWidgetItem* item = w->lstArqs->topLevelItem(i);
        EXPECT_EQ(item->icon(0).cacheKey(), stateIcon(states(*w)[static_cast<std::size_t>(i)]).cacheKey()) << i;
    }
    EXPECT_EQ(w->p2->value(), 3);
    EXPECT_TRUE(std::filesystem::exists(out.path() / "Mensal" / "Dez.txt"));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_EQ(shown[0].text, "Arquivos Gerados com Erro!");
    expectRunControls(*w, false);
    EXPECT_TRUE(w->SbUnid->isEnabled());
    EXPECT_TRUE(std::filesystem::exists(db.dir() / "ARQ2007" / "LOG032007.XML"));
}

TEST_F(WindowTest, AnnualRunUsesTheAnnualCatalogue) {
    auto w = ready(0);
    QTest::mouseClick(w->gerar, Qt::LeftButton);
    EXPECT_EQ(column(*w, 0), QStringList{"Orcmto.txt"});
    EXPECT_EQ(readBytes(out.path() / "Anual" / "Orcmto.txt"), "1200714\r\n3000000\r\n");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Info);
    EXPECT_EQ(shown[0].text, "Arquivos Gerados com Sucesso!");
}

TEST_F(WindowTest, CancelLeavesTheCurrentRowFillingAndBringsTheControlsBack) {
    auto w = ready();
    gOnRecord = [&](int i) {
        if (i == 3) QMetaObject::invokeMethod(w->Fechar, &QPushButton::click, Qt::QueuedConnection);
    };
    QTest::mouseClick(w->gerar, Qt::LeftButton);

    EXPECT_EQ(w->lastRun().outcome, RunOutcome::Cancelled);
    EXPECT_EQ(column(*w, 0), (QStringList{"Erros.txt", "Dez.txt"}));
    EXPECT_EQ(states(*w), (std::vector<int>{kStateWithErrors, kStateFilling}));
    EXPECT_EQ(w->lstArqs->topLevelItem(1)->text(1), "");
    EXPECT_EQ(w->lstArqs->topLevelItem(1)->text(3), "");
    // The file keeps what was written before the cancel and has no trailer.
    EXPECT_EQ(readBytes(out.path() / "Mensal" / "Dez.txt"), "1200703\r\n21\r\n22\r\n23\r\n");
    EXPECT_FALSE(std::filesystem::exists(out.path() / "Mensal" / "Vazio.txt"));
    EXPECT_FALSE(std::filesystem::exists(db.dir() / "ARQ2007" / "LOG032007.XML"));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(shown[0].text, QString::fromUtf8("Operação Cancelada!"));
    expectRunControls(*w, false);

    // A new run starts from an empty list.
    gOnRecord = nullptr;
    shown.clear();
    QTest::mouseClick(w->gerar, Qt::LeftButton);
    EXPECT_EQ(w->lastRun().outcome, RunOutcome::Completed);
    EXPECT_EQ(states(*w), (std::vector<int>{kStateWithErrors, kStateSuccess, kStateNoRecords}));
}

TEST_F(WindowTest, ErrorStopsTheRunUntilCancelar) {
    auto w = ready();
    w->setCatalogues(kYear, kBroken);
    QTest::mouseClick(w->gerar, Qt::LeftButton);

    EXPECT_EQ(w->lastRun().outcome, RunOutcome::Failed);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_TRUE(shown[0].text.contains("Quebra.txt")) << shown[0].text.toStdString();
    EXPECT_EQ(states(*w), (std::vector<int>{kStateNoRecords, kStateFilling}));
    expectRunControls(*w, true);
    ASSERT_TRUE(w->exporter()->fileOpen());

    shown.clear();
    QTest::mouseClick(w->Fechar, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QString::fromUtf8("Operação Cancelada!"));
    expectRunControls(*w, false);
    EXPECT_FALSE(w->exporter()->fileOpen());
    EXPECT_EQ(states(*w), (std::vector<int>{kStateNoRecords, kStateFilling}));
    EXPECT_EQ(readBytes(out.path() / "Mensal" / "Quebra.txt"), "1200703\r\n");
    // The panel stays: this click was the cancel, not a close.
    EXPECT_TRUE(w->pnPrinc->isVisible());
}

TEST_F(WindowTest, ClosingTheWindowDuringARunStopsItFirst) {
    auto w = ready();
    gOnRecord = [&](int i) {
        if (i == 2) QMetaObject::invokeMethod(w.get(), &QWidget::close, Qt::QueuedConnection);
    };
    QTest::mouseClick(w->gerar, Qt::LeftButton);
    EXPECT_EQ(w->lastRun().outcome, RunOutcome::Cancelled);
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(std::filesystem::exists(out.path() / "Mensal" / "Vazio.txt"));
    EXPECT_FALSE(w->exporter()->fileOpen());
}

TEST_F(WindowTest, AfterARunTheFirstFileWithErrorsIsSelectedAndTheStatesCounted) {
    // The file with errors comes first; forty files after it scroll it out of view.
    static std::vector<std::string> names;
    static std::vector<CatalogueStep> steps;
    if (steps.empty()) {
        names.push_back("Erros");
        for (int i = 1; i <= 40; ++i) names.push_back("Vazio" + std::to_string(i));
        names.push_back("Dez");
        for (std::size_t i = 0; i < names.size(); ++i) {
            GeneratorFn fn = i == 0 ? fileWithProblem : i + 1 == names.size() ? tenRecords : emptyFile;
            steps.push_back({static_cast<int>(i + 1), names[i], names[i], fn, nullptr});
        }
    }
    auto w = ready();
    w->setCatalogues(kYear, steps);
    QTest::mouseClick(w->gerar, Qt::LeftButton);
    ASSERT_EQ(w->lstArqs->topLevelItemCount(), 42);
    const QTreeWidgetItem* first = w->lstArqs->topLevelItem(0);
    EXPECT_EQ(w->lstArqs->currentItem(), first);
    EXPECT_TRUE(first->isSelected());
    EXPECT_TRUE(w->lstArqs->viewport()->rect().contains(w->lstArqs->visualItemRect(first).center()));
    EXPECT_EQ(w->lblResumo->text(), "Arquivos: 1 com erros, 1 gerado com sucesso, 40 sem registros");
    // The final message is the run's own.
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Arquivos Gerados com Erro!");
}

TEST_F(WindowTest, CancelledRunCountsTheIncompleteFile) {
    auto w = ready();
    gOnRecord = [&](int i) {
        if (i == 3) QTest::mouseClick(w->Fechar, Qt::LeftButton);
    };
    QTest::mouseClick(w->gerar, Qt::LeftButton);
    // The list stays on the file where the run stopped.
    const QTreeWidgetItem* stopped = w->lstArqs->topLevelItem(1);
    EXPECT_TRUE(w->lstArqs->viewport()->rect().contains(w->lstArqs->visualItemRect(stopped).center()));
    EXPECT_EQ(w->lblResumo->text(), "Arquivos: 1 com erros, 0 gerados com sucesso, 0 sem registros, 1 incompleto");
}

// A database held by another program: what to do in the box, the engine's words under the details.
TEST_F(WindowTest, DatabaseHeldByAnotherProgramSaysWhatToDo) {
    const QString isql = QStandardPaths::findExecutable(QStringLiteral("isql-fb"));
    if (isql.isEmpty()) GTEST_SKIP() << "isql-fb (firebird3.0-utils) not installed";
    QProcess holder;
    holder.setProcessChannelMode(QProcess::MergedChannels);
    holder.start(isql, {QString::fromStdString((db.dir() / "ARQ2007" / "VORA2007.FDB").string()), "-user", "SYSDBA"});
    ASSERT_TRUE(holder.waitForStarted(10000));
    holder.write("select 'ABERTA' from rdb$database;\n");
    QByteArray said;
    for (int i = 0; i < 100 && !said.contains("ABERTA"); ++i) {
        holder.waitForReadyRead(200);
        said += holder.readAll();
    }
    ASSERT_TRUE(said.contains("ABERTA")) << said.toStdString();

    TFrmPrincipalSE w(StartOptions{ini, progDir.path()});
    w.setMessageSink(std::make_unique<RecordingSink>(&shown));
    EXPECT_FALSE(w.FormCreate());
    holder.write("quit;\n");
    holder.closeWriteChannel();
    holder.waitForFinished(10000);

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.startsWith(QString::fromUtf8("Erro ao Conectar com a Base de Dados!\rO Módulo será Finalizado!!")));
    EXPECT_TRUE(shown[0].text.contains(QString::fromUtf8("já está aberta por outro programa"))) << shown[0].text.toStdString();
    EXPECT_FALSE(shown[0].text.contains("engine instance")) << shown[0].text.toStdString();
    EXPECT_TRUE(shown[0].detail.contains("engine instance")) << shown[0].detail.toStdString();
    EXPECT_FALSE(shown[0].detail.contains(QString::fromUtf8("outro programa"))) << shown[0].detail.toStdString();
}

// The chart-of-accounts mapping screen and its court-account lookup through their
// real widgets: listing and colours, search, mapping, save, cancel and failures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/messagesink.h"
#include "data/datapacket.h"
#include "screens/pesconta.h"
#include "screens/planocontas.h"
#include "testdb.h"

using namespace tcese;
using namespace tcese::screens;
using namespace tcese::testing;
namespace fs = std::filesystem;

namespace {

struct Shown {
    MessageKind kind;
    QString text;
    QString caption;
    QString detail;
};

class RecordingSink : public app::MessageSink {
public:
    explicit RecordingSink(std::vector<Shown>* out) : out_(out) {}
    void show(QWidget*, MessageKind kind, const QString& text, const QString& detail) override {
        out_->push_back({kind, text, QString::fromUtf8(messageCaption(kind)), detail});
    }
    void inform(QWidget*, const QString& caption, const QString& text) override {
        out_->push_back({MessageKind::Info, text, caption, {}});
    }

private:
    std::vector<Shown>* out_;
};

enum Col { Conta, Titulo, Superior, CodigoTce };

// While the lookup is open (modal), `act` drives it; whatever happens, it closes.
void whileLookupOpen(std::function<void(TFrmPesConta&)> act) {
    QTimer::singleShot(0, [act] {
        auto* d = qobject_cast<TFrmPesConta*>(QApplication::activeModalWidget());
        if (d == nullptr) {
            ADD_FAILURE() << "the lookup is not open";
            if (QWidget* w = QApplication::activeModalWidget()) w->close();
            return;
        }
        act(*d);
        if (d->isVisible()) d->reject();
    });
}

class PlanoContasTest : public ::testing::Test {
protected:
    void SetUp() override {
        ini = db.installAsYear("2007");
        db.exec(
            "insert into CONPLA (BALCO, TIP, TITCO, SEQ_TCE) values ('211', 'S', 'Fornecedores', NULL);"
            "insert into CONPLA (BALCO, TIP, TITCO, SEQ_TCE) values ('111', 'S', 'Caixa Geral', '  ');"
            "insert into CONPLA (BALCO, TIP, TITCO, SEQ_TCE) values ('112', 'A', 'Bancos', '7');"
            "commit;");
        writeCourtTable();
        db.connect(dm);
    }

    fs::path courtFile() const { return db.dir() / "TABDEF" / "PLANO_CONTAS_SE.XML"; }

    void writeCourtTable() const {
        RecordSet rs("PLANO");
        rs.addField({"nu_SequencialTC", FieldType::Int32});
        rs.addField({"cd_ContaTC", FieldType::String, 34});
        rs.addField({"de_ContaTC", FieldType::String, 100});
        rs.addField({"dt_AnoAtivacao", FieldType::String, 4});
        rs.addField({"dt_AnoDesativacao", FieldType::String, 4});
        rs.createDataSet();
        const std::vector<std::vector<std::string>> rows = {{"7", "1111", "BANCOS CONTA MOVIMENTO", "2000", ""},
                                                            {"12", "1112", "Caixa", "2000", "2005"},
                                                            {"25", "2111", "FORNECEDORES", "2000", " "}};
        for (const auto& r : rows) {
            rs.append();
            rs.field("nu_SequencialTC").setAsString(r[0]);
            rs.field("cd_ContaTC").setAsString(r[1]);
            rs.field("de_ContaTC").setAsString(r[2]);
            rs.field("dt_AnoAtivacao").setAsString(r[3]);
            rs.field("dt_AnoDesativacao").setAsString(r[4]);
            rs.post();
        }
        saveDatapacket(rs, courtFile());
    }

    std::unique_ptr<TFrmPlano> open() {
        auto f = std::make_unique<TFrmPlano>(dm, ini, sink);
        f->show();
        return f;
    }

    // SEQ_TCE and CODIGO_TCE of an account as the database holds them.
    std::string stored(const std::string& balco, const char* column = "SEQ_TCE") {
        RecordSet rs("check");
        dm.Conexao.open(rs, std::string("select ") + column + " from CONPLA where BALCO = '" + balco + "'");
        return rs.field(column).asString();
    }

    static QString cell(const TFrmPlano& f, int row, int col) { return f.gridModel()->index(row, col).data().toString(); }
    static int rowOf(const TFrmPlano& f, const QString& balco) {
        for (int r = 0; r < f.gridModel()->rowCount(); ++r)
            if (cell(f, r, Conta) == balco) return r;
        ADD_FAILURE() << "no account " << balco.toStdString();
        return 0;
    }
    static void goTo(TFrmPlano& f, const QString& balco) {
        f.DBGrid1->setCurrentIndex(f.gridModel()->index(rowOf(f, balco), Superior));
    }
    static CellStyle style(const TFrmPlano& f, int row) {
        return f.DBGrid1DrawColumnCell(f.gridModel()->index(row, Titulo), {});
    }

    // Opens the lookup with F1 from the grid and picks the court account found by
    // searching `text` in the sequence column.
    void pick(TFrmPlano& f, const QString& seq) {
        whileLookupOpen([seq](TFrmPesConta& d) {
            QTest::keyClicks(d.MaskEdit1, seq);
            QTest::keyClick(d.MaskEdit1, Qt::Key_Return);
            d.Confirmar->click();
        });
        QTest::keyClick(f.DBGrid1, Qt::Key_F1);
    }

    void expectBrowseMode(const TFrmPlano& f) {
        EXPECT_FALSE(f.editMode());
        EXPECT_TRUE(f.Alterar->isEnabled());
        EXPECT_FALSE(f.Confirmar->isEnabled());
        EXPECT_FALSE(f.Pesquisa->isEnabled());
        EXPECT_EQ(f.Fechar->text(), "Fecha&r");
        EXPECT_FALSE(f.gridModel()->flags(f.gridModel()->index(0, Superior)) & Qt::ItemIsEditable);
    }

    TestDatabase db;
    DataModule dm;
    fs::path ini;
    std::vector<Shown> shown;
    RecordingSink sink{&shown};
};

}  // namespace

TEST_F(PlanoContasTest, ListsTheChartInBrowseModeWithUnmappedAccountsInBoldRed) {
    auto f = open();
    EXPECT_EQ(f->windowTitle(), "Elenco do Plano de Contas");
    expectBrowseMode(*f);
    const QStringList titles = {"Conta", "Título", "Conta Superior", "Código TCE"};
    for (int c = 0; c < titles.size(); ++c) EXPECT_EQ(f->gridModel()->headerData(c, Qt::Horizontal).toString(), titles[c]);
    ASSERT_EQ(f->gridModel()->rowCount(), 3);

    struct Case {
        QString balco;
        bool unmapped;
    };
    // NULL and blanks are both unmapped.
    for (const Case& c : {Case{"211", true}, Case{"111", true}, Case{"112", false}}) {
        const CellStyle s = style(*f, rowOf(*f, c.balco));
        EXPECT_EQ(s.bold, c.unmapped) << c.balco.toStdString();
        EXPECT_EQ(s.text, c.unmapped ? QColor(255, 0, 0) : QColor(Qt::black)) << c.balco.toStdString();
    }
    EXPECT_TRUE(shown.empty());
}

TEST_F(PlanoContasTest, SearchMovesToTheFirstAccountBeginningWithTheText) {
    auto f = open();
    struct Case {
        bool byTitle;
        const char* typed;
        QString expected;
    };
    // Typed letters become upper case and the match ignores case; no match leaves the row.
    const Case cases[] = {{false, "11", "111"}, {true, "caixa", "111"}, {false, "2", "211"},
                          {true, "ban", "112"}, {false, "99", "112"}};
    for (const Case& c : cases) {
        (c.byTitle ? f->RadioButton2 : f->RadioButton1)->setChecked(true);
        f->MaskEdit1->clear();
        QTest::keyClicks(f->MaskEdit1, QString::fromLatin1(c.typed));
        EXPECT_EQ(f->MaskEdit1->text(), QString::fromLatin1(c.typed).toUpper());
        QTest::keyClick(f->MaskEdit1, Qt::Key_Return);
        EXPECT_EQ(f->displayed().field("BALCO").asString(), c.expected.toStdString()) << c.typed;
        EXPECT_EQ(f->DBGrid1->currentIndex().row(), rowOf(*f, c.expected)) << c.typed;
    }
}

TEST_F(PlanoContasTest, LookupOpensOnlyInEditModeByButtonOrF1) {
    auto f = open();
    // In browse mode F1 and the button do nothing (a lookup would block here).
    QTest::keyClick(f->DBGrid1, Qt::Key_F1);
    f->Pesquisa->click();
    EXPECT_FALSE(f->FormKeyDown(Qt::Key_F1));

    f->Alterar->click();
    EXPECT_TRUE(f->Pesquisa->isEnabled());
    bool opened = false;
    whileLookupOpen([&](TFrmPesConta& d) {
        opened = true;
        EXPECT_EQ(d.windowTitle(), "Pesquisa Elenco de Contas do TCE/SE");
        EXPECT_TRUE(d.RadioButton1->isChecked());
        EXPECT_EQ(d.gridModel()->rowCount(), 3);
        EXPECT_EQ(d.gridModel()->headerData(0, Qt::Horizontal).toString(), "Cód. Conta");
        // Deactivated (a year after trimming) in bold red, the others black.
        const bool deactivated[] = {false, true, false};
        for (int r = 0; r < 3; ++r) {
            const CellStyle s = d.DBGrid1DrawColumnCell(d.gridModel()->index(r, 2), {});
            EXPECT_EQ(s.bold, deactivated[r]) << r;
            EXPECT_EQ(s.text, deactivated[r] ? QColor(255, 0, 0) : QColor(Qt::black)) << r;
        }
        struct Case {
            QRadioButton* radio;
            const char* typed;
            int row;
        };
        for (const Case& c : {Case{d.RadioButton2, "2111", 2}, Case{d.RadioButton3, "caixa", 1},
                              Case{d.RadioButton1, "7", 0}, Case{d.RadioButton3, "ZZZ", 0}}) {
            c.radio->setChecked(true);
            d.MaskEdit1->clear();
            QTest::keyClicks(d.MaskEdit1, QString::fromLatin1(c.typed));
            d.Pesquisar->click();
            EXPECT_EQ(d.courtTable().recNo(), c.row + 1) << c.typed;
        }
        d.Fechar->click();  // "Cancela&r": nothing chosen
    });
    QTest::keyClick(f->DBGrid1, Qt::Key_F1);
    EXPECT_TRUE(opened);
    EXPECT_EQ(f->displayed().field("BALCO").asString(), "211");
    EXPECT_TRUE(f->displayed().field("SEQ_TCE").isNull());
}

TEST_F(PlanoContasTest, MappedAccountAndParentAreSavedToConpla) {
    auto f = open();
    f->Alterar->click();
    goTo(*f, "111");
    // A deactivated court account can still be chosen.
    pick(*f, "12");
    const int row = rowOf(*f, "111");
    EXPECT_EQ(cell(*f, row, CodigoTce), "12");
    EXPECT_FALSE(style(*f, row).bold);
    EXPECT_EQ(stored("111"), "  ");  // not before "&Confirmar"

    // The parent account is typed in the grid; the other columns are not editable.
    for (int c : {Conta, Titulo, CodigoTce})
        EXPECT_FALSE(f->gridModel()->flags(f->gridModel()->index(row, c)) & Qt::ItemIsEditable) << c;
    const QModelIndex idx = f->gridModel()->index(row, Superior);
    f->DBGrid1->setCurrentIndex(idx);
    f->DBGrid1->edit(idx);
    auto* editor = qobject_cast<QLineEdit*>(f->DBGrid1->indexWidget(idx));
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "1.1.1");

    f->Confirmar->click();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Alteração efetuada com Sucesso!");
    EXPECT_EQ(shown[0].kind, MessageKind::Info);
    EXPECT_EQ(shown[0].caption, "Atenção");
    expectBrowseMode(*f);
    EXPECT_FALSE(dm.Conexao.inTransaction());
    EXPECT_EQ(stored("111"), "12");
    EXPECT_EQ(stored("111", "CODIGO_TCE"), "1.1.1");
    EXPECT_EQ(stored("211"), "");
    EXPECT_EQ(cell(*f, rowOf(*f, "111"), CodigoTce), "12");
}

TEST_F(PlanoContasTest, CancelAfterChoosingLeavesConplaUnchanged) {
    auto f = open();
    f->Alterar->click();
    goTo(*f, "211");
    pick(*f, "25");
    EXPECT_EQ(cell(*f, rowOf(*f, "211"), CodigoTce), "25");
    EXPECT_EQ(f->Fechar->text(), "Cancela&r");
    f->Fechar->click();
    expectBrowseMode(*f);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(cell(*f, rowOf(*f, "211"), CodigoTce), "");
    EXPECT_EQ(stored("211"), "");
    EXPECT_TRUE(shown.empty());
    f->Fechar->click();  // browse mode: closes
    EXPECT_FALSE(f->isVisible());
}

TEST_F(PlanoContasTest, ConfirmWithoutChangesReportsSuccess) {
    auto f = open();
    f->Alterar->click();
    f->Confirmar->click();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Alteração efetuada com Sucesso!");
    expectBrowseMode(*f);
    EXPECT_EQ(stored("112"), "7");
}

TEST_F(PlanoContasTest, FailedSaveRollsBackAndKeepsTheChoiceForAnotherTry) {
    auto f = open();
    f->Alterar->click();
    goTo(*f, "211");
    pick(*f, "25");
    // The row changed in the database since it was read: its update finds nothing.
    dm.Conexao.execute("update CONPLA set TITCO = 'Outro' where BALCO = '211'");
    if (dm.Conexao.inTransaction()) dm.Conexao.commit();

    f->Confirmar->click();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Erro ao Alterar as Informações!");
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    // The reason goes under the details: another user, not a bad value.
    EXPECT_TRUE(shown[0].detail.contains("alterado por outro usuário")) << shown[0].detail.toStdString();
    EXPECT_TRUE(f->editMode());
    EXPECT_TRUE(f->Confirmar->isEnabled());
    EXPECT_FALSE(dm.Conexao.inTransaction());
    EXPECT_EQ(cell(*f, rowOf(*f, "211"), CodigoTce), "25");
    EXPECT_EQ(stored("211"), "");

    // "Cancela&r" reloads what the database holds.
    f->Fechar->click();
    EXPECT_EQ(cell(*f, rowOf(*f, "211"), Titulo), "Outro");
    EXPECT_EQ(cell(*f, rowOf(*f, "211"), CodigoTce), "");
}

// A save that throws (the connection is gone) is a failed save too.
TEST_F(PlanoContasTest, SaveThatThrowsKeepsEditModeAndTheChoice) {
    auto f = open();
    f->Alterar->click();
    goTo(*f, "211");
    pick(*f, "25");
    dm.Conexao.close();

    f->Confirmar->click();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Erro ao Alterar as Informações!");
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_TRUE(f->editMode());
    EXPECT_TRUE(f->Confirmar->isEnabled());
    EXPECT_EQ(cell(*f, rowOf(*f, "211"), CodigoTce), "25");
}

TEST_F(PlanoContasTest, MissingCourtTableNamesTheFileAndChangesNothing) {
    fs::remove(courtFile());
    auto f = open();
    f->Alterar->click();
    goTo(*f, "211");
    f->Pesquisa->click();  // the dialog reports and closes by itself
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_TRUE(shown[0].text.contains("PLANO_CONTAS_SE.XML")) << shown[0].text.toStdString();
    EXPECT_TRUE(f->editMode());
    EXPECT_EQ(cell(*f, rowOf(*f, "211"), CodigoTce), "");
}

TEST_F(PlanoContasTest, MovingPastTheLastRowAddsNoRow) {
    auto f = open();
    f->Alterar->click();
    f->DBGrid1->setCurrentIndex(f->gridModel()->index(2, Superior));
    f->DBGrid1->setFocus();
    QTest::keyClick(f->DBGrid1, Qt::Key_Down);
    QTest::keyClick(f->DBGrid1, Qt::Key_Down);
    EXPECT_EQ(f->gridModel()->rowCount(), 3);
    EXPECT_EQ(f->displayed().recordCount(), 3);
    f->Confirmar->click();
    RecordSet rs("count");
    dm.Conexao.open(rs, "select count(*) as N from CONPLA");
    EXPECT_EQ(rs.field("N").asInteger(), 3);
}

// A picture of the screen for the documentation: runs only when
// TCESE_SCREENSHOT_DIR names a folder (under xvfb-run with QT_QPA_PLATFORM=xcb).
TEST_F(PlanoContasTest, Screenshot) {
    const QString dir = qEnvironmentVariable("TCESE_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "TCESE_SCREENSHOT_DIR not set";
    for (const char* sql : {"insert into CONPLA (BALCO, TIP, TITCO, CODIGO_TCE, SEQ_TCE) values ('1', 'S', 'ATIVO', NULL, '1')",
                            "insert into CONPLA (BALCO, TIP, TITCO, CODIGO_TCE, SEQ_TCE) values ('11', 'S', 'ATIVO CIRCULANTE', '1', '2')",
                            "insert into CONPLA (BALCO, TIP, TITCO, CODIGO_TCE, SEQ_TCE) values ('1113', 'A', 'APLICACOES FINANCEIRAS', '11', NULL)"})
        dm.Conexao.execute(sql);
    if (dm.Conexao.inTransaction()) dm.Conexao.commit();
    auto f = open();
    f->Alterar->click();
    goTo(*f, "111");
    f->DBGrid1->setFocus();
    QApplication::processEvents();
    QDir().mkpath(dir);
    ASSERT_TRUE(f->grab().save(QDir(dir).filePath("planocontas.png"), "PNG"));
}

TEST_F(PlanoContasTest, ParentAccountTakesAtMostTwentyCharacters) {
    auto f = open();
    f->Alterar->click();
    const QModelIndex idx = f->gridModel()->index(rowOf(*f, "111"), Superior);
    // A value that does not come through the editor is refused, naming the column.
    EXPECT_FALSE(f->gridModel()->setData(idx, QString(27, QLatin1Char('1'))));
    QApplication::processEvents();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_EQ(shown[0].text, "O campo \"Conta Superior\" aceita no máximo 20 caracteres.");

    // The editor stops at the twentieth character; that much is saved.
    f->DBGrid1->setCurrentIndex(idx);
    f->DBGrid1->edit(idx);
    auto* editor = qobject_cast<QLineEdit*>(f->DBGrid1->indexWidget(idx));
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "1.1.1.1.1.1.1.1.1.1.1.1.1.1");
    EXPECT_EQ(editor->text(), "1.1.1.1.1.1.1.1.1.1.");
    f->Confirmar->click();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "Alteração efetuada com Sucesso!");
    EXPECT_EQ(stored("111", "CODIGO_TCE"), "1.1.1.1.1.1.1.1.1.1.");
}

// CONPLA.CODIGO_TCE holds 34 characters, the column takes 20.
TEST_F(PlanoContasTest, ParentAccountStoredWiderIsShownWholeAndNotSavedCut) {
    const std::string wide = "1.1.1.1.1.1.1.1.1.1.1.1.1";  // 25 characters
    dm.Conexao.execute("update CONPLA set CODIGO_TCE = '" + wide + "' where BALCO = '111'");
    if (dm.Conexao.inTransaction()) dm.Conexao.commit();
    auto f = open();
    f->Alterar->click();
    const QModelIndex idx = f->gridModel()->index(rowOf(*f, "111"), Superior);
    f->DBGrid1->setCurrentIndex(idx);
    f->DBGrid1->edit(idx);
    auto* editor = qobject_cast<QLineEdit*>(f->DBGrid1->indexWidget(idx));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text().toStdString(), wide);
    pick(*f, "12");  // a change to the same row

    f->Confirmar->click();
    QApplication::processEvents();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Erro ao Alterar as Informações!");
    EXPECT_EQ(shown[0].detail.toStdString(),
              "O campo \"Conta Superior\" aceita no máximo 20 caracteres e tem 25: \"" + wide + "\".");
    EXPECT_TRUE(f->editMode());
    EXPECT_EQ(stored("111", "CODIGO_TCE"), wide);
    EXPECT_EQ(stored("111"), "  ");
}

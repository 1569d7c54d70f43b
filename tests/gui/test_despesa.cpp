// The expense-element mapping screen and its court-expense lookup through their
// real widgets: listing and colours, search, the lookup's question, save, failed
// save and cancel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/messagesink.h"
#include "data/datapacket.h"
#include "screens/despesa.h"
#include "screens/pesdespesa.h"
#include "testdb.h"

using namespace tcese;
using namespace tcese::screens;
using namespace tcese::testing;
namespace fs = std::filesystem;

namespace {

struct Shown {
    QString caption;  // "Atenção" for inform and ask, else the kind's caption
    MessageKind kind;
    QString text;
    QString detail;
};

// Records every box; a question gets the answer queued for it (No when none is).
class RecordingSink : public app::MessageSink {
public:
    explicit RecordingSink(std::vector<Shown>* out) : out_(out) {}
    void show(QWidget*, MessageKind kind, const QString& text, const QString& detail) override {
        out_->push_back({QString::fromUtf8(messageCaption(kind)), kind, text, detail});
    }
    void inform(QWidget*, const QString& caption, const QString& text) override {
        out_->push_back({caption, MessageKind::Info, text, {}});
    }
    bool ask(QWidget*, const QString& caption, const QString& text) override {
        out_->push_back({caption, MessageKind::Warning, text, {}});
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    std::vector<bool> answers;

private:
    std::vector<Shown>* out_;
};

enum Col { Ficha, Catec, Nome, BalcoTce };

// While the lookup is open (modal), `act` drives it; whatever happens, it closes.
void whileLookupOpen(std::function<void(TFrmPesDespesa&)> act) {
    QTimer::singleShot(0, [act] {
        auto* d = qobject_cast<TFrmPesDespesa*>(QApplication::activeModalWidget());
        if (d == nullptr) {
            ADD_FAILURE() << "the lookup is not open";
            if (QWidget* w = QApplication::activeModalWidget()) w->close();
            return;
        }
        act(*d);
        if (d->isVisible()) d->reject();
    });
}

class DespesaTest : public ::testing::Test {
protected:
    void SetUp() override {
        ini = db.installAsYear("2007");
        // Listed in the order CATEC, FICHA: 3.1.90.11/12, 3.1.90.11/120, 3.3.90.30/7,
        // 3.3.90.30/121. Ficha 50 has no CATEC and ficha 60 a CATEC without a
        // TABCATEC row: neither is listed.
        db.exec(
            "insert into TABCATEC (CATEC, NOME) values ('3.1.90.11', 'Vencimentos e Vantagens Fixas');"
            "insert into TABCATEC (CATEC, NOME) values ('3.3.90.30', 'Material de Consumo');"
            "insert into DESDIS (FICHA, EMPRESA, CATEC, BALCO_TCE) values (120, 1, '3.1.90.11', '31901100');"
            "insert into DESDIS (FICHA, EMPRESA, CATEC, BALCO_TCE) values (12, 2, '3.1.90.11', NULL);"
            "insert into DESDIS (FICHA, EMPRESA, CATEC, BALCO_TCE) values (121, 1, '3.3.90.30', '  ');"
            "insert into DESDIS (FICHA, EMPRESA, CATEC, BALCO_TCE) values (7, 1, '3.3.90.30', '33903000');"
            "insert into DESDIS (FICHA, EMPRESA, CATEC, BALCO_TCE) values (50, 1, NULL, NULL);"
            "insert into DESDIS (FICHA, EMPRESA, CATEC, BALCO_TCE) values (60, 1, '4.4.90.51', NULL);"
            "commit;");
        writeCourtTable();
        db.connect(dm);
    }

    fs::path courtFile() const { return db.dir() / "TABDEF" / "DESPESA_TCESE.XML"; }

    void writeCourtTable(bool withRedutor = true) const {
        RecordSet rs("DESPESA");
        rs.addField({"CODRE", FieldType::String, 8});
        rs.addField({"NOMRE", FieldType::String, 50});
        rs.addField({"ANO_ATIVA", FieldType::String, 4});
        rs.addField({"ANO_DESATIVA", FieldType::String, 4});
        rs.addField({"SITUACAO_ITEM", FieldType::String, 1});
        if (withRedutor) rs.addField({"REDUTOR", FieldType::String, 1});
        rs.createDataSet();
        const std::vector<std::vector<std::string>> rows = {{"31901100", "VENCIMENTOS E VANTAGENS FIXAS", "2002", ""},
                                                            {"33903000", "MATERIAL DE CONSUMO", "2002", " "},
                                                            {"33903700", "LOCAÇÃO DE MÃO-DE-OBRA", "2002", "2006"}};
        for (const auto& r : rows) {
            rs.append();
            rs.field("CODRE").setAsString(r[0]);
            rs.field("NOMRE").setAsString(r[1]);
            rs.field("ANO_ATIVA").setAsString(r[2]);
            rs.field("ANO_DESATIVA").setAsString(r[3]);
            rs.post();
        }
        saveDatapacket(rs, courtFile());
    }

    std::unique_ptr<TFrmDespesa> open() {
        auto f = std::make_unique<TFrmDespesa>(dm, ini, sink);
        f->show();
        return f;
    }

    // BALCO_TCE of a ficha as the database holds it (NULL reads as empty).
    std::string stored(int ficha) {
        RecordSet rs("check");
        dm.Conexao.open(rs, "select BALCO_TCE from DESDIS where FICHA = " + std::to_string(ficha));
        return rs.field("BALCO_TCE").asString();
    }

    static QString cell(const TFrmDespesa& f, int row, int col) { return f.gridModel()->index(row, col).data().toString(); }
    static int rowOf(const TFrmDespesa& f, int ficha) {
        for (int r = 0; r < f.gridModel()->rowCount(); ++r)
            if (cell(f, r, Ficha) == QString::number(ficha)) return r;
        ADD_FAILURE() << "no ficha " << ficha;
        return 0;
    }
    static void goTo(TFrmDespesa& f, int ficha) {
        f.DBGrid1->setCurrentIndex(f.gridModel()->index(rowOf(f, ficha), BalcoTce));
    }

    // Opens the lookup with F1 from the grid, searches `code` and presses "&Confirmar".
    void pick(TFrmDespesa& f, const QString& code) {
        whileLookupOpen([code](TFrmPesDespesa& d) {
            QTest::keyClicks(d.MaskEdit1, code);
            QTest::keyClick(d.MaskEdit1, Qt::Key_Return);
            d.Confirmar->click();
        });
        QTest::keyClick(f.DBGrid1, Qt::Key_F1);
    }

    void expectBrowseMode(const TFrmDespesa& f) {
        EXPECT_FALSE(f.editMode());
        EXPECT_TRUE(f.Alterar->isEnabled());
        EXPECT_FALSE(f.Confirmar->isEnabled());
        EXPECT_FALSE(f.Pesquisa->isEnabled());
        EXPECT_EQ(f.Fechar->text(), "Fecha&r");
        EXPECT_FALSE(f.gridModel()->flags(f.gridModel()->index(0, BalcoTce)) & Qt::ItemIsEditable);
    }

    TestDatabase db;
    DataModule dm;
    fs::path ini;
    std::vector<Shown> shown;
    RecordingSink sink{&shown};
};

}  // namespace

TEST_F(DespesaTest, ListsMappedFichasByCatecAndFichaWithUnmappedOnesInRed) {
    auto f = open();
    EXPECT_EQ(f->windowTitle(), "Relação das Fichas de Despesa com o Código da Despesa do TCE/SE");
    EXPECT_EQ(f->pnTitulo->text(), "Relação das Fichas de Despesa com o Código da Despesa do TCE/SE");
    EXPECT_EQ(f->GroupBox1->title(), "Consulta Plano de Contas");
    EXPECT_TRUE(f->RadioButton4->isChecked());
    EXPECT_EQ(f->RadioButton4->text(), "Ficha");
    expectBrowseMode(*f);
    const QStringList titles = {"Ficha", "Catec", "Descrição", "Cód.Despesa TCE"};
    for (int c = 0; c < titles.size(); ++c) EXPECT_EQ(f->gridModel()->headerData(c, Qt::Horizontal).toString(), titles[c]);

    ASSERT_EQ(f->gridModel()->rowCount(), 4);
    const int order[] = {12, 120, 7, 121};
    for (int r = 0; r < 4; ++r) EXPECT_EQ(cell(*f, r, Ficha), QString::number(order[r])) << r;
    EXPECT_EQ(cell(*f, 2, Nome), "Material de Consumo");

    // NULL and blanks are unmapped: red, never bold.
    const bool unmapped[] = {true, false, false, true};
    for (int r = 0; r < 4; ++r) {
        const CellStyle s = f->DBGrid1DrawColumnCell(f->gridModel()->index(r, Nome), {});
        EXPECT_EQ(s.text, unmapped[r] ? QColor(255, 0, 0) : QColor(Qt::black)) << r;
        EXPECT_FALSE(s.bold) << r;
    }
    // Selected or focused: light orange (66CCFF as 00BBGGRR).
    EXPECT_EQ(f->DBGrid1DrawColumnCell(f->gridModel()->index(0, Ficha), {true, false}).background, QColor(255, 204, 102));
    EXPECT_EQ(f->DBGrid1DrawColumnCell(f->gridModel()->index(0, Ficha), {}).background, QColor(0xD7, 0xE8, 0xE3));
    EXPECT_TRUE(shown.empty());
}

TEST_F(DespesaTest, SearchMovesToTheFirstRowBeginningWithTheText) {
    auto f = open();
    struct Case {
        QRadioButton* radio;
        const char* typed;
        int ficha;
    };
    // In the query's order; case is ignored; no match leaves the row.
    const Case cases[] = {{f->RadioButton4, "12", 12},        {f->RadioButton4, "121", 121},
                          {f->RadioButton1, "3.3", 7},         {f->RadioButton2, "material", 7},
                          {f->RadioButton3, "319", 120},       {f->RadioButton2, "zzz", 120},
                          {f->RadioButton4, "7", 7}};
    for (const Case& c : cases) {
        c.radio->setChecked(true);
        f->MaskEdit1->clear();
        QTest::keyClicks(f->MaskEdit1, QString::fromLatin1(c.typed));
        EXPECT_EQ(f->MaskEdit1->text(), QString::fromLatin1(c.typed).toUpper());
        QTest::keyClick(f->MaskEdit1, Qt::Key_Return);
        EXPECT_EQ(f->displayed().field("FICHA").asInteger(), c.ficha) << c.typed;
        EXPECT_EQ(f->DBGrid1->currentIndex().row(), rowOf(*f, c.ficha)) << c.typed;
    }
}

TEST_F(DespesaTest, LookupListsTheCourtTableAndOpensOnlyInEditMode) {
    auto f = open();
    QTest::keyClick(f->DBGrid1, Qt::Key_F1);  // browse mode: nothing opens (it would block here)
    EXPECT_FALSE(f->FormKeyDown(Qt::Key_F1));

    f->Alterar->click();
    EXPECT_TRUE(f->Pesquisa->isEnabled());
    bool opened = false;
    whileLookupOpen([&](TFrmPesDespesa& d) {
        opened = true;
        EXPECT_EQ(d.windowTitle(), "Pesquisa Despesa TCE/SE");
        EXPECT_TRUE(d.RadioButton1->isChecked());
        EXPECT_EQ(d.RadioButton1->text(), "Cód. Despesa TCE/SE");
        const QStringList titles = {"Cód.Despesa", "Descrição Despesa", "Ano Ativa", "Ano Desativa", "Situação", "Redutor"};
        for (int c = 0; c < titles.size(); ++c)
            EXPECT_EQ(d.gridModel()->headerData(c, Qt::Horizontal).toString(), titles[c]);
        ASSERT_EQ(d.gridModel()->rowCount(), 3);
        EXPECT_FALSE(d.gridModel()->flags(d.gridModel()->index(0, 0)) & Qt::ItemIsEditable);
        // Deactivated (a year after trimming) in bold red, the others black.
        const bool deactivated[] = {false, false, true};
        for (int r = 0; r < 3; ++r) {
            const CellStyle s = d.DBGrid1DrawColumnCell(d.gridModel()->index(r, 1), {});
            EXPECT_EQ(s.bold, deactivated[r]) << r;
            EXPECT_EQ(s.text, deactivated[r] ? QColor(255, 0, 0) : QColor(Qt::black)) << r;
        }
        // Columns are sized for bold text where it is drawn bold.
        QStyleOptionViewItem opt;
        opt.initFrom(d.DBGrid1);
        QFont bold = d.DBGrid1->font();
        bold.setBold(true);
        const int margins = 2 * (d.DBGrid1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, d.DBGrid1) + 1);
        for (int c : {0, 1}) {
            const QModelIndex idx = d.gridModel()->index(2, c);
            EXPECT_GE(d.DBGrid1->itemDelegate()->sizeHint(opt, idx).width(),
                      QFontMetrics(bold).horizontalAdvance(idx.data().toString()) + margins) << c;
        }
        struct Case {
            QRadioButton* radio;
            const char* typed;
            int row;
        };
        for (const Case& c : {Case{d.RadioButton2, "loca", 2}, Case{d.RadioButton1, "339030", 1},
                              Case{d.RadioButton1, "9", 1}}) {
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
    EXPECT_EQ(f->displayed().field("FICHA").asInteger(), 12);
    EXPECT_TRUE(f->displayed().field("BALCO_TCE").isNull());
    EXPECT_TRUE(shown.empty());
}

TEST_F(DespesaTest, DeactivatedCodeAsksAndOnlyYesWritesIt) {
    auto f = open();
    f->Alterar->click();
    goTo(*f, 121);
    const QString question = "O Código da Despesa 33903700 foi desativada em 2006 !\rDeseja Continuar?";

    // No: the dialog stays open and nothing changes.
    bool stillOpen = false;
    whileLookupOpen([&](TFrmPesDespesa& d) {
        d.RadioButton2->setChecked(true);
        QTest::keyClicks(d.MaskEdit1, "LOCA");
        d.Pesquisar->click();
        d.Confirmar->click();
        stillOpen = d.isVisible();
    });
    f->Pesquisa->click();
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Atenção");
    EXPECT_EQ(shown[0].text, question);
    EXPECT_EQ(cell(*f, rowOf(*f, 121), BalcoTce).trimmed(), "");

    // Yes: the code goes into the row, which stays in edit mode until confirmed.
    sink.answers = {true};
    pick(*f, "33903700");
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, question);
    EXPECT_EQ(f->displayed().mode(), RecordSet::Mode::Edit);
    EXPECT_EQ(cell(*f, rowOf(*f, 121), BalcoTce), "33903700");
    EXPECT_EQ(stored(121), "  ");

    // An active code: no question.
    goTo(*f, 12);
    pick(*f, "319011");
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(cell(*f, rowOf(*f, 12), BalcoTce), "31901100");

    f->Confirmar->click();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].caption, "Atenção");
    EXPECT_EQ(shown[2].kind, MessageKind::Info);
    EXPECT_EQ(shown[2].text, "Alteração efetuada com Sucesso!");
    expectBrowseMode(*f);
    EXPECT_FALSE(dm.Conexao.inTransaction());
    EXPECT_EQ(stored(121), "33903700");
    EXPECT_EQ(stored(12), "31901100");
    EXPECT_EQ(stored(7), "33903000");
}

TEST_F(DespesaTest, TypedCodeIsSavedToDesdisOnlyAndLimitedToTheColumn) {
    auto f = open();
    f->Alterar->click();
    const int row = rowOf(*f, 7);
    for (int c : {Ficha, Catec, Nome})
        EXPECT_FALSE(f->gridModel()->flags(f->gridModel()->index(row, c)) & Qt::ItemIsEditable) << c;
    const QModelIndex idx = f->gridModel()->index(row, BalcoTce);
    f->DBGrid1->setCurrentIndex(idx);
    f->DBGrid1->edit(idx);
    auto* editor = qobject_cast<QLineEdit*>(f->DBGrid1->indexWidget(idx));
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    // BALCO_TCE is VARCHAR(10): the eleventh character is not taken.
    QTest::keyClicks(editor, "33903900123");
    EXPECT_EQ(editor->text(), "3390390012");
    editor->selectAll();
    QTest::keyClicks(editor, "33903900");

    f->Confirmar->click();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Alteração efetuada com Sucesso!");
    EXPECT_EQ(stored(7), "33903900");
    // The description came from TABCATEC and stays as it was there.
    RecordSet rs("check");
    dm.Conexao.open(rs, "select NOME from TABCATEC where CATEC = '3.3.90.30'");
    EXPECT_EQ(rs.field("NOME").asString(), "Material de Consumo");
}

TEST_F(DespesaTest, CancelAndConfirmWithoutChangesWriteNothing) {
    auto f = open();
    f->Alterar->click();
    goTo(*f, 12);
    pick(*f, "31901100");
    EXPECT_EQ(f->Fechar->text(), "Cancela&r");
    f->Fechar->click();
    expectBrowseMode(*f);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(cell(*f, rowOf(*f, 12), BalcoTce), "");
    EXPECT_EQ(stored(12), "");
    EXPECT_TRUE(shown.empty());

    f->Alterar->click();
    f->Confirmar->click();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Alteração efetuada com Sucesso!");
    expectBrowseMode(*f);
    EXPECT_EQ(stored(120), "31901100");

    f->Fechar->click();  // browse mode: closes, and the rows go with it
    EXPECT_FALSE(f->isVisible());
    EXPECT_FALSE(f->displayed().active());
}

TEST_F(DespesaTest, FailedSaveRollsBackAndStaysInEditMode) {
    auto f = open();
    f->Alterar->click();
    goTo(*f, 12);
    pick(*f, "31901100");
    goTo(*f, 7);
    pick(*f, "33903700");  // answered No: unchanged
    sink.answers = {true};
    goTo(*f, 121);
    pick(*f, "33903700");
    // Ficha 121 changed in the database since it was read: its update finds nothing,
    // and the whole save (ficha 12 too) is rolled back.
    dm.Conexao.execute("update DESDIS set BALCO_TCE = '33903600' where FICHA = 121");
    if (dm.Conexao.inTransaction()) dm.Conexao.commit();

    shown.clear();
    f->Confirmar->click();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_EQ(shown[0].text, "Erro ao Alterar as Informações!");
    EXPECT_FALSE(shown[0].detail.isEmpty());
    EXPECT_TRUE(f->editMode());
    EXPECT_TRUE(f->Confirmar->isEnabled());
    EXPECT_FALSE(dm.Conexao.inTransaction());
    EXPECT_EQ(stored(12), "");
    EXPECT_EQ(stored(121), "33903600");
    EXPECT_EQ(cell(*f, rowOf(*f, 12), BalcoTce), "31901100");

    // "Cancela&r" reloads what the database holds.
    f->Fechar->click();
    expectBrowseMode(*f);
    EXPECT_EQ(cell(*f, rowOf(*f, 121), BalcoTce), "33903600");
    EXPECT_EQ(cell(*f, rowOf(*f, 12), BalcoTce), "");
}

TEST_F(DespesaTest, CourtTableMissingOrWithoutAFieldIsAnErrorOnOpen) {
    struct Case {
        const char* what;
        std::function<void()> spoil;
        const char* mentions;
    };
    const Case cases[] = {{"missing", [&] { fs::remove(courtFile()); }, "DESPESA_TCESE.XML"},
                          {"no REDUTOR", [&] { writeCourtTable(false); }, "REDUTOR"}};
    for (const Case& c : cases) {
        c.spoil();
        shown.clear();
        auto f = open();
        f->Alterar->click();
        goTo(*f, 12);
        f->Pesquisa->click();  // the dialog reports and closes by itself
        ASSERT_EQ(shown.size(), 1u) << c.what;
        EXPECT_EQ(shown[0].kind, MessageKind::Error) << c.what;
        EXPECT_TRUE(shown[0].text.contains(c.mentions)) << shown[0].text.toStdString();
        EXPECT_TRUE(f->editMode()) << c.what;
        EXPECT_EQ(cell(*f, rowOf(*f, 12), BalcoTce), "") << c.what;
    }
}

TEST_F(DespesaTest, MovingPastTheLastRowAddsNoRow) {
    auto f = open();
    f->Alterar->click();
    f->DBGrid1->setCurrentIndex(f->gridModel()->index(3, BalcoTce));
    f->DBGrid1->setFocus();
    QTest::keyClick(f->DBGrid1, Qt::Key_Down);
    QTest::keyClick(f->DBGrid1, Qt::Key_Down);
    EXPECT_EQ(f->gridModel()->rowCount(), 4);
    f->Confirmar->click();
    RecordSet rs("count");
    dm.Conexao.open(rs, "select count(*) as N from DESDIS");
    EXPECT_EQ(rs.field("N").asInteger(), 6);
}

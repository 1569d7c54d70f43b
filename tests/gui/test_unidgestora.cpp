// The managing-unit screen through its real widgets and database, and the
// browse/edit switches of the register forms.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <string>
#include <vector>

#include "app/messagesink.h"
#include "screens/funcoes.h"
#include "screens/unidgestora.h"
#include "testdb.h"

using namespace tcese;
using namespace tcese::screens;
using namespace tcese::testing;

namespace {

struct Shown {
    MessageKind kind;
    QString text;
    QString detail;
    QString caption;
};

class RecordingSink : public app::MessageSink {
public:
    explicit RecordingSink(std::vector<Shown>* out) : out_(out) {}
    void show(QWidget*, MessageKind kind, const QString& text, const QString& detail) override {
        out_->push_back({kind, text, detail, QString::fromUtf8(messageCaption(kind))});
    }
    void inform(QWidget*, const QString& caption, const QString& text) override {
        out_->push_back({MessageKind::Info, text, {}, caption});
    }

private:
    std::vector<Shown>* out_;
};

enum Col { Empresa, Cgc, Nome, Endereco, Bairro, Cep, Fone, Fax, Tipo, Codaudesp };

class UnidGestoraTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.exec(
            "insert into TABEMPRESA (EMPRESA, NOME, CGC, ENDERECO, CEP, TIPO, CODAUDESP, BANCO)"
            " values (2, 'FUNDO MUNICIPAL DE SAUDE', '11.222.333/0001-81', 'RUA B', '49000-000', 3, 12, '001');"
            "insert into TABEMPRESA (EMPRESA, NOME, CGC, CODAUDESP) values (1, 'CAMARA MUNICIPAL', '', 123456);"
            "commit;");
        db.connect(dm);
    }

    std::unique_ptr<TFrmUnidGestora> open() {
        auto f = std::make_unique<TFrmUnidGestora>(dm, sink);
        f->show();
        return f;
    }

    static QString cell(const TFrmUnidGestora& f, int row, int col) {
        return f.gridModel()->index(row, col).data().toString();
    }

    // Types into a cell through its editor and leaves it open, as a user would before confirming.
    static void type(TFrmUnidGestora& f, int row, int col, const QString& text) {
        const QModelIndex idx = f.gridModel()->index(row, col);
        f.DBGrid1->setCurrentIndex(idx);
        f.DBGrid1->edit(idx);
        auto* editor = qobject_cast<QLineEdit*>(f.DBGrid1->indexWidget(idx));
        ASSERT_NE(editor, nullptr) << col;
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, text);
    }

    std::string column(int empresa, const std::string& name) {
        RecordSet rs;
        dm.Conexao.open(rs, "select " + name + " from TABEMPRESA where EMPRESA = " + std::to_string(empresa));
        return rs.field(name).asString();
    }

    static void expectMode(const TFrmUnidGestora& f, bool edit) {
        EXPECT_EQ(f.editMode(), edit);
        EXPECT_EQ(f.Alterar->isEnabled(), !edit);
        EXPECT_EQ(f.Confirmar->isEnabled(), edit);
        EXPECT_EQ(f.Fechar->text(), edit ? "Cancela&r" : "Fecha&r");
        EXPECT_EQ(f.DBGrid1->selectionBehavior(),
                  edit ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
        EXPECT_EQ(bool(f.gridModel()->flags(f.gridModel()->index(0, Cgc)) & Qt::ItemIsEditable), edit);
    }

    TestDatabase db;
    DataModule dm;
    std::vector<Shown> shown;
    RecordingSink sink{&shown};
};

}  // namespace

TEST_F(UnidGestoraTest, ShowsEveryEntityByNameReadOnly) {
    auto f = open();
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(f->windowTitle(), "Cadastro da Unidade Gestora");
    EXPECT_EQ(f->pnTitulo->text(), "Cadastro da Unidade Gestora");

    const auto* m = f->gridModel();
    const QStringList titles = {QString::fromUtf8("Cód. Entidade"), "CNPJ",     "Nome", QString::fromUtf8("Endereço"),
                                "Bairro",                           "CEP",      "Telefone", "Fax",
                                "SubTipo",                          QString::fromUtf8("Cód. TCE")};
    ASSERT_EQ(m->columnCount(), titles.size());
    for (int c = 0; c < m->columnCount(); ++c) EXPECT_EQ(m->headerData(c, Qt::Horizontal).toString(), titles[c]);
    EXPECT_EQ(m->headerData(Empresa, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    EXPECT_TRUE(m->headerData(Empresa, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());

    ASSERT_EQ(m->rowCount(), 2);
    EXPECT_EQ(cell(*f, 0, Nome), "CAMARA MUNICIPAL");
    EXPECT_EQ(cell(*f, 0, Codaudesp), "123456");
    EXPECT_EQ(cell(*f, 1, Empresa), "2");
    EXPECT_EQ(cell(*f, 1, Cep), "49000-000");
    EXPECT_EQ(cell(*f, 1, Codaudesp), "000012");
    expectMode(*f, false);
}

TEST_F(UnidGestoraTest, EditedFieldsAreSavedToTheirRowsAndCodeAndNameStayLocked) {
    auto f = open();
    QTest::mouseClick(f->Alterar, Qt::LeftButton);
    expectMode(*f, true);
    for (int col : {Empresa, Nome}) EXPECT_FALSE(f->gridModel()->flags(f->gridModel()->index(0, col)) & Qt::ItemIsEditable);

    type(*f, 1, Fone, "7932221111");
    type(*f, 0, Codaudesp, "77");  // moving rows posts the first edit
    QTest::mouseClick(f->Confirmar, Qt::LeftButton);

    ASSERT_EQ(shown.size(), 1u) << shown[0].text.toStdString();
    EXPECT_EQ(shown[0].kind, MessageKind::Info);
    EXPECT_EQ(shown[0].text, QString::fromUtf8("Alteração efetuada com Sucesso!"));
    EXPECT_EQ(shown[0].caption, QString::fromUtf8("Atenção"));
    expectMode(*f, false);
    EXPECT_FALSE(dm.Conexao.inTransaction());
    EXPECT_EQ(column(2, "FONE"), "7932221111");
    EXPECT_EQ(column(1, "CODAUDESP"), "77");
    // The columns the screen does not show are kept.
    EXPECT_EQ(column(2, "BANCO"), "001");
    EXPECT_EQ(cell(*f, 0, Codaudesp), "000077");

    // Confirming again without changes writes nothing and still succeeds.
    QTest::mouseClick(f->Alterar, Qt::LeftButton);
    QTest::mouseClick(f->Confirmar, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].kind, MessageKind::Info);
    EXPECT_EQ(f->entidades().changeCount(), 0);
}

TEST_F(UnidGestoraTest, CancelDropsTheCurrentEditAndClosingDropsPostedOnes) {
    auto f = open();
    QTest::mouseClick(f->Alterar, Qt::LeftButton);
    type(*f, 0, Bairro, "CENTRO");
    f->DBGrid1->setCurrentIndex(f->gridModel()->index(1, Bairro));  // posts row 0
    type(*f, 1, Bairro, "SIQUEIRA");
    QTest::mouseClick(f->Fechar, Qt::LeftButton);

    expectMode(*f, false);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(cell(*f, 1, Bairro), "");
    EXPECT_EQ(cell(*f, 0, Bairro), "CENTRO");  // posted: on screen until closed
    EXPECT_EQ(column(1, "BAIRRO"), "");

    QTest::mouseClick(f->Fechar, Qt::LeftButton);
    EXPECT_FALSE(f->isVisible());
    EXPECT_FALSE(f->entidades().active());
    EXPECT_EQ(column(1, "BAIRRO"), "");
}

TEST_F(UnidGestoraTest, RefusedSaveRollsBackKeepsTheEditAndCanBeCorrected) {
    auto f = open();
    QTest::mouseClick(f->Alterar, Qt::LeftButton);
    type(*f, 0, Endereco, "AV. NOVA");
    f->DBGrid1->setCurrentIndex(f->gridModel()->index(1, Fone));
    // Longer than the column (not typed in the grid): refused before anything is written.
    f->entidades().edit();
    f->entidades().field("FONE").setAsString("12345678901234567890");
    QTest::mouseClick(f->Confirmar, Qt::LeftButton);

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_EQ(shown[0].text, QString::fromUtf8("Erro ao Alterar as Informações!"));
    EXPECT_FALSE(shown[0].detail.isEmpty());
    expectMode(*f, true);
    EXPECT_FALSE(dm.Conexao.inTransaction());
    EXPECT_EQ(dm.lastApplyErrors, 1);
    EXPECT_EQ(column(1, "ENDERECO"), "");  // the good row went back with the bad one
    EXPECT_EQ(cell(*f, 0, Endereco), "AV. NOVA");

    type(*f, 1, Fone, "32221111");
    QTest::mouseClick(f->Confirmar, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].kind, MessageKind::Info);
    EXPECT_EQ(column(1, "ENDERECO"), "AV. NOVA");
    EXPECT_EQ(column(2, "FONE"), "32221111");
}

// A save that throws (the connection is gone) is a failed save too.
TEST_F(UnidGestoraTest, SaveThatThrowsKeepsEditModeAndTheTypedValue) {
    auto f = open();
    QTest::mouseClick(f->Alterar, Qt::LeftButton);
    type(*f, 0, Endereco, "AV. NOVA");
    dm.Conexao.close();
    QTest::mouseClick(f->Confirmar, Qt::LeftButton);

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_EQ(shown[0].text, QString::fromUtf8("Erro ao Alterar as Informações!"));
    expectMode(*f, true);
    EXPECT_EQ(cell(*f, 0, Endereco), "AV. NOVA");
}

TEST_F(UnidGestoraTest, CancelAfterAFailedSaveJustReturnsToBrowseMode) {
    auto f = open();
    QTest::mouseClick(f->Alterar, Qt::LeftButton);
    f->entidades().field("CEP").setAsString("123456789012");
    QTest::mouseClick(f->Confirmar, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 1u);
    QTest::mouseClick(f->Fechar, Qt::LeftButton);
    EXPECT_EQ(shown.size(), 1u);
    expectMode(*f, false);
    EXPECT_TRUE(f->isVisible());
}

TEST_F(UnidGestoraTest, NonNumericSubtypeIsRefusedBeforeSaving) {
    auto f = open();
    QTest::mouseClick(f->Alterar, Qt::LeftButton);
    type(*f, 0, Tipo, "abc");
    QTest::mouseClick(f->Confirmar, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    expectMode(*f, true);
    EXPECT_EQ(column(1, "TIPO"), "");
}

TEST_F(UnidGestoraTest, RowColours) {
    auto f = open();
    const QColor base = f->DBGrid1->palette().color(QPalette::Base);
    const auto idx0 = f->gridModel()->index(0, Nome);
    const auto idx1 = f->gridModel()->index(1, Nome);
    EXPECT_EQ(f->DBGrid1DrawColumnCell(idx0, {}).background, QColor(kOddRowColour));
    EXPECT_EQ(f->DBGrid1DrawColumnCell(idx1, {}).background, base);
    EXPECT_EQ(f->DBGrid1DrawColumnCell(idx1, {true, false}).background, QColor(kSelectedColour));
    EXPECT_EQ(f->DBGrid1DrawColumnCell(idx1, {false, true}).text, QColor(Qt::black));
}

// TCESE_SCREENSHOT_DIR names a folder (under xvfb-run with QT_QPA_PLATFORM=xcb).
TEST_F(UnidGestoraTest, Screenshot) {
    const QString dir = qEnvironmentVariable("TCESE_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "TCESE_SCREENSHOT_DIR not set";
    auto f = open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.get()));
    QApplication::processEvents();
    ASSERT_TRUE(f->grab().save(QDir(dir).filePath("unidgestora.png"), "PNG"));
}

// ---- BloqueiaCampos / LiberaCampos ---------------------------------------

namespace {

struct Form {
    QWidget w;
    QLineEdit* bound = new QLineEdit(&w);
    QLineEdit* plain = new QLineEdit(&w);
    QPlainTextEdit* memo = new QPlainTextEdit(&w);
    QPlainTextEdit* memo99 = new QPlainTextEdit(&w);
    QComboBox* combo = new QComboBox(&w);
    QCheckBox* check = new QCheckBox(&w);
    QDateEdit* date = new QDateEdit(&w);
    QToolButton* speed = new QToolButton(&w);
    QTableView* grid = new QTableView(&w);
    QTableView* grid2 = new QTableView(&w);
    QTableView* grid55 = new QTableView(&w);
    QWidget* nav = new QWidget(&w);
    QPushButton* action = new QPushButton(&w);
    QPushButton* action2 = new QPushButton(&w);
    QPushButton* ok = new QPushButton(&w);
    QPushButton* own = new QPushButton(&w);

    Form() {
        bound->setProperty(kDataFieldProperty, "NOME");
        memo99->setProperty(kTagProperty, 99);
        grid2->setProperty(kTagProperty, 2);
        grid55->setProperty(kTagProperty, 55);
        nav->setProperty(kNavigatorProperty, true);
        action2->setProperty(kTagProperty, 2);
        ok->setObjectName("btnOk");
        own->setProperty(kSelfManagedProperty, true);
        own->setEnabled(false);
        combo->addItems({"A", "B"});
        combo->setCurrentIndex(1);
        for (auto* e : {bound, plain}) e->setText("x");
        for (auto* m : {memo, memo99}) m->setPlainText("texto");
        memo99->setEnabled(false);
    }
};

QColor base(const QWidget* w) { return w->palette().color(QPalette::Base); }

}  // namespace

TEST(EditModeHelpers, SwitchEveryControlKind) {
    Form f;
    const QColor window = QPalette().color(QPalette::Base);
    const QColor face = QPalette().color(QPalette::Button);

    BloqueiaCampos(&f.w);
    struct Expect {
        QWidget* w;
        bool browseEnabled;
    };
    const std::vector<Expect> cases = {
        {f.bound, false}, {f.plain, false}, {f.memo, false},  {f.combo, false}, {f.check, false},
        {f.date, false},  {f.speed, false}, {f.grid, true},   {f.grid2, false}, {f.grid55, true},
        {f.nav, true},    {f.action, true}, {f.action2, false}, {f.ok, false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.w->isEnabled(), c.browseEnabled) << c.w->metaObject()->className();
    for (QWidget* w : {static_cast<QWidget*>(f.bound), static_cast<QWidget*>(f.plain), static_cast<QWidget*>(f.memo),
                       static_cast<QWidget*>(f.combo), static_cast<QWidget*>(f.date)})
        EXPECT_EQ(base(w), QColor(kLockedColour)) << w->metaObject()->className();
    EXPECT_EQ(f.bound->text(), "x");  // data-bound: its record's value
    EXPECT_EQ(f.plain->text(), "");
    EXPECT_EQ(f.memo->toPlainText(), "");
    EXPECT_EQ(f.combo->currentIndex(), -1);
    EXPECT_EQ(base(f.grid), QColor(kGridColour));
    EXPECT_EQ(base(f.grid2), face);
    EXPECT_EQ(base(f.grid55), face);
    // Left alone: the memo with tag 99 and the screen's own buttons.
    EXPECT_EQ(f.memo99->toPlainText(), "texto");
    EXPECT_FALSE(f.memo99->isEnabled());
    EXPECT_FALSE(f.own->isEnabled());

    f.plain->setText("y");
    LiberaCampos(&f.w);
    for (const auto& c : cases) EXPECT_EQ(c.w->isEnabled(), !c.browseEnabled) << c.w->metaObject()->className();
    EXPECT_EQ(base(f.bound), window);
    EXPECT_EQ(base(f.combo), window);
    EXPECT_EQ(f.plain->text(), "");
    EXPECT_EQ(base(f.grid), face);
    EXPECT_EQ(base(f.grid2), QColor(kGridColour));
    EXPECT_EQ(base(f.grid55), QColor(kGridColour));
    EXPECT_EQ(f.memo99->toPlainText(), "texto");
    EXPECT_FALSE(f.own->isEnabled());
}

TEST_F(UnidGestoraTest, FitsA1024By768DesktopWithTheCourtCodeInView) {
    // Names and addresses as long as their columns.
    dm.Conexao.execute("update TABEMPRESA set NOME = '" + std::string(80, 'N') + "', ENDERECO = '" +
                       std::string(60, 'E') + "', BAIRRO = '" + std::string(60, 'B') + "'");
    if (dm.Conexao.inTransaction()) dm.Conexao.commit();
    auto f = open();
    QApplication::processEvents();
    EXPECT_LE(f->frameGeometry().width(), 1024);
    EXPECT_LE(f->frameGeometry().height(), 768);
    const int right = f->DBGrid1->columnViewportPosition(Codaudesp) + f->DBGrid1->columnWidth(Codaudesp);
    EXPECT_LE(right, f->DBGrid1->viewport()->width());
    EXPECT_GE(f->DBGrid1->columnWidth(Codaudesp),
              f->DBGrid1->fontMetrics().horizontalAdvance(QString::fromUtf8("Cód. TCE")));
}

TEST_F(UnidGestoraTest, RefusedValuesAreNamedByTheirColumnTitle) {
    auto f = open();
    QTest::mouseClick(f->Alterar, Qt::LeftButton);
    struct Case {
        int col;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {Tipo, "abc", "'abc' não é um número inteiro válido para o campo \"SubTipo\""},
        {Codaudesp, "99999999999", "'99999999999' não é um número inteiro válido para o campo \"Cód. TCE\""},
        {Cep, "49000-0000", "O campo \"CEP\" aceita no máximo 9 caracteres."},
    };
    for (const Case& c : cases) {
        shown.clear();
        EXPECT_FALSE(f->gridModel()->setData(f->gridModel()->index(0, c.col), QString::fromLatin1(c.text)));
        QApplication::processEvents();
        ASSERT_EQ(shown.size(), 1u) << c.text;
        EXPECT_EQ(shown[0].kind, MessageKind::Error);
        EXPECT_EQ(shown[0].text, QString::fromUtf8(c.message));
    }
}

// Another program holds the row in an open transaction: the save waits a few
// seconds, not for as long as that transaction lasts, and says why.
TEST_F(UnidGestoraTest, RowLockedByAnotherUserFailsInBoundedTimeAndKeepsTheEdit) {
    DataModule other;
    db.connect(other);
    other.Conexao.startTransaction();
    other.Conexao.execute("update TABEMPRESA set FAX = '3211-0000' where EMPRESA = 2");
    ASSERT_TRUE(other.Conexao.inTransaction());

    auto f = open();
    QTest::mouseClick(f->Alterar, Qt::LeftButton);
    type(*f, 1, Endereco, "RUA NOVA");
    QTest::mouseClick(f->Confirmar, Qt::LeftButton);

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_EQ(shown[0].text, QString::fromUtf8("Erro ao Alterar as Informações!"));
    EXPECT_TRUE(shown[0].detail.contains(QString::fromUtf8("Outro usuário está alterando o mesmo registro")))
        << shown[0].detail.toStdString();
    expectMode(*f, true);
    EXPECT_FALSE(dm.Conexao.inTransaction());
    EXPECT_EQ(cell(*f, 1, Endereco), "RUA NOVA");

    // Once the other user lets go, the same save goes through.
    other.Conexao.rollback();
    QTest::mouseClick(f->Confirmar, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 2u) << shown[1].detail.toStdString();
    EXPECT_EQ(shown[1].kind, MessageKind::Info);
    EXPECT_EQ(column(2, "ENDERECO"), "RUA NOVA");
}

// The server dropped the screen's connection (a restart): the next save opens a new
// one once and goes through.
TEST_F(UnidGestoraTest, SaveAfterTheConnectionWasLostReconnectsOnce) {
    auto f = open();
    QTest::mouseClick(f->Alterar, Qt::LeftButton);
    type(*f, 1, Endereco, "RUA NOVA");
    {
        DataModule other;
        db.connect(other);
        other.Conexao.execute("delete from MON$ATTACHMENTS where MON$ATTACHMENT_ID <> CURRENT_CONNECTION");
    }
    try {
        RecordSet probe;
        dm.Conexao.open(probe, "select 1 as N from RDB$DATABASE");
        ADD_FAILURE() << "the screen's connection is still open";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.connectionLost()) << e.what();
    }
    QTest::mouseClick(f->Confirmar, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 1u) << shown[0].text.toStdString() << " | " << shown[0].detail.toStdString();
    EXPECT_EQ(shown[0].kind, MessageKind::Info);
    EXPECT_EQ(column(2, "ENDERECO"), "RUA NOVA");
    expectMode(*f, false);
}

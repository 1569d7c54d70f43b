// The commission register through its real widgets and database: numbering of
// commissions and members, the act number, member deletion, a failed save and
// deletion of a commission.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <string>

#include "register_support.h"
#include "screens/comissao.h"
#include "screens/datebox.h"
#include "testdb.h"

using namespace tcese;
using namespace tcese::screens;
using namespace tcese::testing;

namespace {

enum MemCol { Nome, Cpf, Cargo, Formacao };

class ComissaoTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.exec(
            "insert into COMISSAO (CODCOMISS, PORTARIA, DATA, TIPO, DT_FIM_PI) values (1, '0152007', '2007-03-01', '1', '2007-12-31');"
            "insert into COMISSAO (CODCOMISS, PORTARIA, DATA, TIPO) values (3, '0412006', '2006-12-20', '5');"
            "insert into MEMBROS (CODCOMISS, CODIGO, NOME, CPF, RG) values (1, 1, 'ANA', '1', 'RG-1');"
            "insert into MEMBROS (CODCOMISS, CODIGO, NOME, CPF) values (1, 2, 'BRUNO', '2');"
            "insert into MEMBROS (CODCOMISS, CODIGO, NOME, CPF) values (1, 3, 'CARLA', '3');"
            "commit;");
        db.connect(dm);
    }

    std::unique_ptr<TFrmComissao> open() {
        auto f = std::make_unique<TFrmComissao>(dm, sink);
        f->show();
        return f;
    }

    static void type(RecordSetView* grid, int row, int col, const QString& text, bool commit = true) {
        const QModelIndex idx = grid->model()->index(row, col);
        grid->setCurrentIndex(idx);
        grid->edit(idx);
        auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(idx));
        ASSERT_NE(editor, nullptr) << col;
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        typeText(editor, text);
        if (commit) QTest::keyClick(editor, Qt::Key_Return);
    }

    std::string query(const std::string& sql) {
        RecordSet rs;
        dm.Conexao.open(rs, sql);
        std::string out;
        for (rs.first(); !rs.eof(); rs.next()) {
            for (int c = 0; c < rs.fieldCount(); ++c) out += (c ? "|" : "") + rs.field(c).asString();
            out += "\n";
        }
        return out;
    }

    static void expectMode(const TFrmComissao& f, bool edit) {
        EXPECT_EQ(f.editMode(), edit);
        EXPECT_EQ(f.BTNINCLUIR->isEnabled(), !edit);
        EXPECT_EQ(f.Confirmar->isEnabled(), edit);
        EXPECT_EQ(f.Fechar->text(), edit ? "Cancela&r" : "Fecha&r");
        EXPECT_EQ(f.DBEdit2->isEnabled(), edit);
        EXPECT_EQ(f.ExcluirMembro1->isVisible(), edit);
        EXPECT_EQ(f.memModel()->editable(), edit);
        EXPECT_TRUE(f.DBGrid2->isEnabled());
    }

    TestDatabase db;
    DataModule dm;
    RecordingSink sink;
};

}  // namespace

TEST_F(ComissaoTest, ShowsTheCommissionWithItsTypeAndMembers) {
    auto f = open();
    EXPECT_EQ(f->windowTitle(), QString::fromUtf8("Cadastro de Comissão de Licitação/Dispensa/Inexigibilidade"));
    expectMode(*f, false);
    ASSERT_EQ(f->comModel()->rowCount(), 2);
    EXPECT_EQ(f->DBEdit2->text(), "0152007");
    EXPECT_EQ(f->cbTipo->currentText(), "1 - Permanente");
    EXPECT_EQ(f->memModel()->rowCount(), 3);
    const QModelIndex second = f->comModel()->index(1, 0);
    QTest::mouseClick(f->DBGrid1->viewport(), Qt::LeftButton, {}, f->DBGrid1->visualRect(second).center());
    EXPECT_EQ(f->cbTipo->currentText(), "5 - Pregoeiro");
    EXPECT_EQ(f->edtData->text(), "20/12/2006");
    EXPECT_EQ(f->memModel()->rowCount(), 0);
    QTest::keyClick(f->DBGrid1, Qt::Key_Up);
    EXPECT_EQ(f->cbTipo->currentText(), "1 - Permanente");
    EXPECT_EQ(f->memModel()->rowCount(), 3);
}

TEST_F(ComissaoTest, NewCommissionTakesTheNextCodeAndItsMembersOneAndTwo) {
    auto f = open();
    f->BTNINCLUIR->click();
    expectMode(*f, true);
    EXPECT_EQ(f->memModel()->rowCount(), 1);  // a blank row to type the first member in
    // Only digits reach "Portaria".
    f->DBEdit2->setFocus();
    QTest::keyClicks(f->DBEdit2, "12a/3b4");
    EXPECT_EQ(f->DBEdit2->text(), "1234");
    f->edtData->setText("10/03/2007");
    f->cbTipo->setCurrentIndex(1);
    f->edtDtIniVige->setText("10/03/2007");
    f->edtDtIniPi->setText("12/03/2007");
    type(f->DBGrid2, 0, Nome, QString::fromUtf8("JOSÉ"));
    type(f->DBGrid2, 0, Cpf, "11");
    QTest::keyClick(f->DBGrid2, Qt::Key_Down);
    type(f->DBGrid2, 1, Nome, QString::fromUtf8("CONCEIÇÃO"), false);
    f->Confirmar->click();
    EXPECT_TRUE(sink.shown.empty()) << sink.texts();
    expectMode(*f, false);
    EXPECT_EQ(query("select CODCOMISS, PORTARIA, DATA, TIPO, DT_INI_VIGE, DT_INI_PI from COMISSAO where CODCOMISS = 4"),
              "4|1234|10/03/2007|2|10/03/2007|12/03/2007\n");
    EXPECT_EQ(query("select CODCOMISS, CODIGO, NOME from MEMBROS where CODCOMISS = 4 order by CODIGO"),
              "4|1|JOSÉ\n4|2|CONCEIÇÃO\n");
}

TEST_F(ComissaoTest, ChangedMemberIsWrittenBackAfterTheLastOne) {
    auto f = open();
    f->btnAlterar->click();
    type(f->DBGrid2, 0, Nome, "ANA MARIA");
    f->Confirmar->click();
    EXPECT_TRUE(sink.shown.empty()) << sink.texts();
    EXPECT_EQ(query("select CODIGO, NOME, RG from MEMBROS where CODCOMISS = 1 order by CODIGO"),
              "2|BRUNO|\n3|CARLA|\n4|ANA MARIA|RG-1\n");
    // The column the screen does not edit is kept.
    EXPECT_EQ(query("select DT_FIM_PI from COMISSAO where CODCOMISS = 1"), "31/12/2007\n");
}

TEST_F(ComissaoTest, DeletedMemberGoesAtConfirmarAndStaysAtCancelar) {
    for (bool confirm : {false, true}) {
        SCOPED_TRACE(confirm ? "Confirmar" : "Cancelar");
        auto f = open();
        f->btnAlterar->click();
        f->DBGrid2->setCurrentIndex(f->memModel()->index(1, Nome));
        f->ExcluirMembro1->trigger();
        EXPECT_EQ(f->memModel()->rowCount(), 2);
        (confirm ? f->Confirmar : f->Fechar)->click();
        EXPECT_TRUE(sink.shown.empty()) << sink.texts();
        EXPECT_EQ(query("select NOME from MEMBROS where CODCOMISS = 1 order by CODIGO"),
                  confirm ? "ANA\nCARLA\n" : "ANA\nBRUNO\nCARLA\n");
        EXPECT_EQ(f->memModel()->rowCount(), confirm ? 2 : 3);
    }
}

TEST_F(ComissaoTest, MessagesForAnEmptyActNumberAndAnEmptyList) {
    {
        auto f = open();
        f->BTNINCLUIR->click();
        f->Confirmar->click();
        ASSERT_EQ(sink.shown.size(), 1u);
        EXPECT_EQ(sink.shown[0].kind, MessageKind::Warning);
        EXPECT_EQ(sink.shown[0].text, QString::fromUtf8("Campo Portaria Inválido!"));
        EXPECT_EQ(f->focusWidget(), f->DBEdit2);
        EXPECT_TRUE(f->editMode());
        f->Fechar->click();
        EXPECT_EQ(f->comModel()->rowCount(), 2);
    }
    db.exec("delete from MEMBROS; delete from COMISSAO; commit;");
    sink.shown.clear();
    auto f = open();
    f->btnAlterar->click();
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, QString::fromUtf8("Não existem registros para alterar!"));
    expectMode(*f, false);
    sink.shown.clear();
    f->Btnexcluir->click();
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, QString::fromUtf8("Não existem registros para excluir!"));
}

TEST_F(ComissaoTest, FailedSaveWritesNeitherCommissionNorMembers) {
    // A member the database refuses (its CPF is longer than the column).
    auto f = open();
    f->BTNINCLUIR->click();
    QTest::keyClicks(f->DBEdit2, "77");
    type(f->DBGrid2, 0, Nome, "ANA");
    RecordSet& mem = f->cdsMem();
    mem.field("RG").setAsString(std::string(30, '9'));
    f->Confirmar->click();
    ASSERT_EQ(sink.shown.size(), 1u) << sink.texts();
    EXPECT_EQ(sink.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(sink.shown[0].text, "Erro ao Gravar os Dados!");
    EXPECT_EQ(query("select count(*) from COMISSAO"), "2\n");
    EXPECT_EQ(query("select count(*) from MEMBROS"), "3\n");
    EXPECT_TRUE(f->editMode());
    EXPECT_EQ(f->DBEdit2->text(), "77");
    EXPECT_EQ(f->memModel()->rowCount(), 1);

    mem.edit();
    mem.field("RG").setNull();
    mem.post();
    sink.shown.clear();
    f->Confirmar->click();
    EXPECT_TRUE(sink.shown.empty()) << sink.texts();
    EXPECT_EQ(query("select CODCOMISS, CODIGO, NOME from MEMBROS where CODCOMISS = 4"), "4|1|ANA\n");
}

TEST_F(ComissaoTest, CancelAfterAFailedChangeShowsTheCommissionAsRead) {
    auto f = open();
    QTest::mouseClick(f->DBGrid1->viewport(), Qt::LeftButton, {},
                      f->DBGrid1->visualRect(f->comModel()->index(1, 0)).center());
    f->btnAlterar->click();
    f->DBEdit2->setText("5");
    f->cbTipo->setCurrentIndex(2);
    f->cdsMem().field("RG").setAsString(std::string(30, '9'));  // the blank row the screen offers, refused
    f->cdsMem().field("NOME").setAsString("ZECA");
    f->Confirmar->click();
    ASSERT_EQ(sink.shown.size(), 1u) << sink.texts();
    f->Fechar->click();
    EXPECT_FALSE(f->editMode());
    EXPECT_EQ(f->edtCodigo->text(), "3");
    EXPECT_EQ(f->DBEdit2->text(), "0412006");
    EXPECT_EQ(f->cbTipo->currentText(), "5 - Pregoeiro");
    EXPECT_EQ(f->memModel()->rowCount(), 0);
    EXPECT_EQ(query("select PORTARIA, TIPO from COMISSAO where CODCOMISS = 3"), "0412006|5\n");
}

TEST_F(ComissaoTest, DeleteRemovesMembersAndCommissionOnYesOnly) {
    auto f = open();
    for (bool yes : {false, true}) {
        sink.shown.clear();
        sink.answer = yes;
        f->Btnexcluir->click();
        ASSERT_FALSE(sink.shown.empty());
        EXPECT_TRUE(sink.shown[0].question);
        EXPECT_EQ(sink.shown[0].text, "Deseja realmente excluir o Registro?");
    }
    ASSERT_EQ(sink.shown.size(), 2u);
    EXPECT_EQ(sink.shown[1].caption, "OK");
    EXPECT_EQ(sink.shown[1].text, QString::fromUtf8("Registro Excuído com Sucesso!"));
    EXPECT_EQ(query("select CODCOMISS from COMISSAO"), "3\n");
    EXPECT_EQ(query("select count(*) from MEMBROS"), "0\n");
    EXPECT_EQ(f->comModel()->rowCount(), 1);
}

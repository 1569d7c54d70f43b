// The waiver register through its real widgets and database: showing a process,
// the field checks, saving with items and certificates, a failed save, deletion,
// the lookup keys and the agreement check.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <string>

#include "register_support.h"
#include "screens/datebox.h"
#include "screens/disp.h"
#include "screens/pescertidao.h"
#include "screens/pesconv.h"
#include "screens/pesfornec.h"
#include "screens/pesprod.h"
#include "testdb.h"

using namespace tcese;
using namespace tcese::screens;
using namespace tcese::testing;

namespace {

enum PartCol { Item, Codif, Cadpro, Quant, ValorTotal };
enum CertCol { CCodif, Ncert, Tipo, DtCert, DtVali, Especif };

class DispTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.exec(
            "insert into TABEMPRESA (EMPRESA, NOME) values (1, 'PREFEITURA MUNICIPAL');"
            "insert into TABEMPRESA (EMPRESA, NOME) values (2, 'CAMARA MUNICIPAL');"
            "insert into DESFOR (CODIF, CODTIP, INSMF, NOME) values (9, '01', '11222333000181', 'D''ÁVILA COMÉRCIO LTDA');"
            "insert into DESFOR (CODIF, CODTIP, INSMF, NOME) values (29, '02', '16171209300', 'SILVA & FILHOS');"
            "insert into CADEST (CADPRO, DISC1, UNID1) values ('001.002.003', 'ARROZ TIPO 1', 'KG');"
            "insert into CADCONV (CONVENIO, NUMCONV, NOME, EMPRESA) values (1, '015/2007', 'MERENDA', 1);"
            "insert into DISPINEX (CODIGO, NUMDISP, MODALIDADE, TIPO_FUNDAM, OBJETO, BALSE_LEGAL, VALOR, EMPRESA, DT_INICIO)"
            " values (3, '0003/07', '08', '02 - PORTARIA', 'MATERIAL', '04 - DISPENSAVEL, ART. 24, INCISO I', 10, 1, '2007-02-01');"
            "insert into DISPINEX (CODIGO, NUMDISP, MODALIDADE, TIPO_FUNDAM, NUM_FUNDAM, OBJETO, BALSE_LEGAL, VALOR, EMPRESA,"
            " DT_INICIO, CANCELADO, NUMCONV)"
            " values (7, '0012/07', '09', '05 - LEI', '123', 'SERVIÇOS', '26 - DISPENSAVEL, ART. 17, PARAGRAF', 1500.5, 2,"
            " '2007-03-06', 'S', 1);"
            "insert into PARTDISP (CODIGO, CODIF, ITEM, CADPRO, QUANT, VALOR_TOTAL) values (7, 9, 1, '001.002.003', 10, 100);"
            "insert into CERTDISP (CODIGO, CODIF, NCERT, TIPO) values (7, 9, 'C-1', '01 - INSS');"
            "commit;");
        db.connect(dm);
    }

    std::unique_ptr<TFrmDisp> open() {
        auto f = std::make_unique<TFrmDisp>(dm, sink);
        f->show();
        return f;
    }

    static void selectRow(RecordSetView* grid, int row) {
        const QModelIndex idx = grid->model()->index(row, 0);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(idx).center());
    }

    // Types into a cell; `commit` closes the editor as Enter does, otherwise it stays open.
    static void type(RecordSetView* grid, int row, int col, const QString& text, bool commit = true) {
        const QModelIndex idx = grid->model()->index(row, col);
        grid->setCurrentIndex(idx);
        grid->edit(idx);
        auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(idx));
        ASSERT_NE(editor, nullptr) << col;
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        editor->home(false);
        typeText(editor, text);
        if (commit) QTest::keyClick(editor, Qt::Key_Return);
    }

    // Every field of "Cadastro" valid.
    static void fill(TFrmDisp& f) {
        f.edtNumDisp->setText("0013/07");
        f.cbModalidade->setCurrentIndex(0);
        f.cbTipoFundam->setCurrentIndex(1);
        f.edtNumFundam->setText("45");
        f.edtDtInicio->setText("15/03/2007");
        f.edtObjeto->setText(QString::fromUtf8("AQUISIÇÃO DE GÊNEROS"));
        f.cbBaseLegal->setCurrentIndex(3);
        f.edtValor->setText("2.345,67");
        f.cbEntidade->setCurrentIndex(f.cbEntidade->findText("PREFEITURA MUNICIPAL"));
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

    static void expectMode(const TFrmDisp& f, bool edit) {
        EXPECT_EQ(f.editMode(), edit);
        EXPECT_EQ(f.BTNINCLUIR->isEnabled(), !edit);
        EXPECT_EQ(f.btnAlterar->isEnabled(), !edit);
        EXPECT_EQ(f.Btnexcluir->isEnabled(), !edit);
        EXPECT_EQ(f.Confirmar->isEnabled(), edit);
        EXPECT_EQ(f.Fechar->text(), edit ? "Cancela&r" : "Fecha&r");
        EXPECT_EQ(f.edtObjeto->isEnabled(), edit);
        EXPECT_EQ(f.SpeedButton2->isEnabled(), edit);
        EXPECT_EQ(f.DBGrid1->isEnabled(), !edit);
        EXPECT_TRUE(f.DBGrid2->isEnabled());
        EXPECT_EQ(f.partModel()->editable(), edit);
        EXPECT_EQ(f.certModel()->editable(), edit);
    }

    TestDatabase db;
    DataModule dm;
    RecordingSink sink;
};

}  // namespace

TEST_F(DispTest, ListsAndFieldsOfTheProcessChosen) {
    EXPECT_EQ(TFrmDisp::basesLegais().size(), 41);
    EXPECT_EQ(TFrmDisp::basesLegais()[3], "04 - DISPENSAVEL, ART. 24, INCISO IV, LEI 8.666/93");
    EXPECT_EQ(TFrmDisp::basesLegais()[23], "24 - DISPENSAVEL, ART. 24, INCISO XXIV, LEI 8.666/93");
    EXPECT_EQ(TFrmDisp::basesLegais()[24].left(2), "26");
    EXPECT_EQ(TFrmDisp::basesLegais()[30], "32 - DISPENSADO\t2000\t");
    EXPECT_EQ(TFrmDisp::basesLegais()[40], "42 - DACAO EM PAGAMENTO, ARTIGO 14, LEI 5666/05");

    auto f = open();
    EXPECT_EQ(f->windowTitle(), QString::fromUtf8("Dispensas/Inexigibilidades de Licitações"));
    expectMode(*f, false);
    ASSERT_EQ(f->dispModel()->rowCount(), 2);
    EXPECT_EQ(f->dispModel()->headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("N.º Disp./Inexig."));
    EXPECT_EQ(f->edtNumDisp->text(), "0003/07");
    EXPECT_EQ(f->cbBaseLegal->currentIndex(), 3);
    EXPECT_EQ(f->partModel()->rowCount(), 0);

    selectRow(f->DBGrid1, 1);
    EXPECT_EQ(f->edtCodigo->text(), "7");
    EXPECT_EQ(f->cbModalidade->currentText(), "09 - Inexigibilidade");
    EXPECT_EQ(f->cbTipoFundam->currentText(), "05 - LEI");  // there is no 04
    EXPECT_EQ(f->cbBaseLegal->currentText().left(2), "26");  // there is no 25
    EXPECT_EQ(f->edtValor->text(), "1500,50");
    EXPECT_EQ(f->dispModel()->index(1, 4).data().toString(), "1500,50");
    EXPECT_EQ(f->edtDtInicio->text(), "06/03/2007");
    EXPECT_EQ(f->edtNumFundam->text(), "123");
    EXPECT_EQ(f->DBEdit7->text(), "1");
    EXPECT_TRUE(f->chkCancelado->isChecked());
    EXPECT_EQ(f->cbEntidade->currentText(), "CAMARA MUNICIPAL");
    ASSERT_EQ(f->partModel()->rowCount(), 1);
    EXPECT_EQ(f->partModel()->index(0, Cadpro).data().toString(), "001.002.003");
    ASSERT_EQ(f->certModel()->rowCount(), 1);
    EXPECT_EQ(f->certModel()->index(0, Tipo).data().toString(), "01 - INSS");
}

TEST_F(DispTest, EachFieldCheckStopsTheSaveOnItsField) {
    struct Case {
        const char* message;
        std::function<void(TFrmDisp&)> breakIt;
        std::function<QWidget*(TFrmDisp&)> field;
    };
    const Case cases[] = {
        {"Campo Número da Dispensa/Inexigibilidade Inválido!", [](TFrmDisp& f) { f.edtNumDisp->clear(); },
         [](TFrmDisp& f) -> QWidget* { return f.edtNumDisp; }},
        {"Campo Número da Dispensa/Inexigibilidade Inválido!", [](TFrmDisp& f) { f.edtNumDisp->setText("12/0"); },
         [](TFrmDisp& f) -> QWidget* { return f.edtNumDisp; }},
        {"Campo Modalidade Inválido!", [](TFrmDisp& f) { f.cbModalidade->setCurrentIndex(-1); },
         [](TFrmDisp& f) -> QWidget* { return f.cbModalidade; }},
        {"Campo Tipo de Fundamento Inválido!", [](TFrmDisp& f) { f.cbTipoFundam->setCurrentIndex(-1); },
         [](TFrmDisp& f) -> QWidget* { return f.cbTipoFundam; }},
        {"Campo Base Legal Inválido!", [](TFrmDisp& f) { f.cbBaseLegal->setCurrentIndex(-1); },
         [](TFrmDisp& f) -> QWidget* { return f.cbBaseLegal; }},
        {"Campo Objeto Inválido!", [](TFrmDisp& f) { f.edtObjeto->setText("   "); },
         [](TFrmDisp& f) -> QWidget* { return f.edtObjeto; }},
        {"Campo Valor Previsto Inválido!", [](TFrmDisp& f) { f.edtValor->setText(" "); },
         [](TFrmDisp& f) -> QWidget* { return f.edtValor; }},
        {"Campo Data de Início Inválido!", [](TFrmDisp& f) { f.edtDtInicio->clear(); },
         [](TFrmDisp& f) -> QWidget* { return f.edtDtInicio; }},
        {"Campo Entidade Inválido!", [](TFrmDisp& f) { f.cbEntidade->setCurrentIndex(-1); },
         [](TFrmDisp& f) -> QWidget* { return f.cbEntidade; }},
        {"Campo Dt.Ratif.Ord. Inválido!", [](TFrmDisp& f) { f.edtDtRetif->setText("31/02/2007"); },
         [](TFrmDisp& f) -> QWidget* { return f.edtDtRetif; }},
    };
    auto f = open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        f->BTNINCLUIR->click();
        // Untouched, the number box shows only the slash of its mask.
        EXPECT_EQ(f->edtNumDisp->text(), "/");
        fill(*f);
        c.breakIt(*f);
        f->PageControl1->setCurrentWidget(f->TabItens);
        sink.shown.clear();
        f->Confirmar->click();
        ASSERT_EQ(sink.shown.size(), 1u) << sink.texts();
        EXPECT_EQ(sink.shown[0].kind, MessageKind::Warning);
        EXPECT_EQ(sink.shown[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(f->PageControl1->currentWidget(), f->TabCadastro);
        EXPECT_EQ(f->focusWidget(), c.field(*f));
        EXPECT_TRUE(f->editMode());
        f->Fechar->click();  // Cancelar
        expectMode(*f, false);
    }
    EXPECT_EQ(query("select count(*) from DISPINEX"), "2\n");
}

TEST_F(DispTest, NewProcessIsSavedWithItsItemsAndCertificatesUnderTheNextCode) {
    auto f = open();
    f->BTNINCLUIR->click();
    expectMode(*f, true);
    EXPECT_EQ(f->edtCodigo->text(), "0");
    // Typing goes through the masks from their first position.
    QTest::keyClicks(f->edtNumDisp, "001307");
    EXPECT_EQ(f->edtNumDisp->text(), "0013/07");
    QTest::keyClicks(f->edtDtInicio, "15032007");
    EXPECT_EQ(f->edtDtInicio->text(), "15/03/2007");
    fill(*f);
    f->DBEdit7->setText("1");
    f->edtCpfResp->setText("16171209300");
    f->edtNomeResp->setText(QString::fromUtf8("JOSÉ DA CONCEIÇÃO"));

    f->PageControl1->setCurrentWidget(f->TabItens);
    type(f->DBGrid2, 0, Item, "1");
    type(f->DBGrid2, 0, Codif, "9");
    type(f->DBGrid2, 0, Cadpro, "001002003");
    type(f->DBGrid2, 0, Quant, "10");
    type(f->DBGrid2, 0, ValorTotal, "55,5");
    QTest::keyClick(f->DBGrid2, Qt::Key_Down);  // a new item at the end
    ASSERT_EQ(f->partModel()->rowCount(), 2);
    type(f->DBGrid2, 1, Item, "2");
    type(f->DBGrid2, 1, Codif, "29");
    type(f->DBGrid2, 1, Quant, "1");
    type(f->DBGrid2, 1, ValorTotal, "10", false);  // still being typed when Confirmar is pressed

    f->PageControl1->setCurrentWidget(f->TabCertidoes);
    type(f->DBGrid3, 0, CCodif, "9");
    type(f->DBGrid3, 0, Ncert, "123/2007");
    type(f->DBGrid3, 0, DtCert, "01/03/2007", false);

    f->Confirmar->click();
    EXPECT_TRUE(sink.shown.empty()) << sink.texts();
    expectMode(*f, false);
    EXPECT_FALSE(dm.Conexao.inTransaction());
    EXPECT_EQ(query("select CODIGO, NUMDISP, MODALIDADE, TIPO_FUNDAM, NUM_FUNDAM, DT_INICIO, OBJETO, BALSE_LEGAL, VALOR,"
                    " NUMCONV, CPF_RESP, NOME_RESP, CANCELADO, EMPRESA from DISPINEX where CODIGO = 8"),
              "8|0013/07|08|02 - PORTARIA|45|15/03/2007|AQUISIÇÃO DE GÊNEROS|04 - DISPENSAVEL, ART. 24, INCISO I|"
              "2345.67|1|16171209300|JOSÉ DA CONCEIÇÃO|N|1\n");
    EXPECT_EQ(query("select CODIGO, CODIF, ITEM, CADPRO, QUANT, VALOR_TOTAL from PARTDISP where CODIGO = 8 order by ITEM"),
              "8|9|1|001.002.003|10|55.5\n8|29|2||1|10\n");
    EXPECT_EQ(query("select CODIGO, CODIF, NCERT, DT_CERT from CERTDISP where CODIGO = 8"), "8|9|123/2007|01/03/2007\n");
    // The process that was there keeps its items.
    EXPECT_EQ(query("select count(*) from PARTDISP where CODIGO = 7"), "1\n");
}

TEST_F(DispTest, FailedSaveRollsBackEverythingAndKeepsWhatWasTyped) {
    auto f = open();
    f->BTNINCLUIR->click();
    fill(*f);
    f->PageControl1->setCurrentWidget(f->TabItens);
    type(f->DBGrid2, 0, Item, "1");
    type(f->DBGrid2, 0, Codif, "9");
    type(f->DBGrid2, 0, Quant, "1");
    type(f->DBGrid2, 0, ValorTotal, "1");
    QTest::keyClick(f->DBGrid2, Qt::Key_Down);
    type(f->DBGrid2, 1, Item, "1");  // the same supplier and item twice: the table's key refuses it
    type(f->DBGrid2, 1, Codif, "9");
    type(f->DBGrid2, 1, Quant, "2");
    type(f->DBGrid2, 1, ValorTotal, "2");
    f->Confirmar->click();
    ASSERT_EQ(sink.shown.size(), 1u) << sink.texts();
    EXPECT_EQ(sink.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(sink.shown[0].text, "Erro ao Gravar os Dados!");
    EXPECT_FALSE(sink.shown[0].detail.isEmpty());
    EXPECT_FALSE(dm.Conexao.inTransaction());
    EXPECT_EQ(query("select count(*) from DISPINEX"), "2\n");
    EXPECT_EQ(query("select count(*) from PARTDISP"), "1\n");
    // Still editing, nothing lost.
    EXPECT_TRUE(f->editMode());
    EXPECT_EQ(f->edtObjeto->text(), QString::fromUtf8("AQUISIÇÃO DE GÊNEROS"));
    ASSERT_EQ(f->partModel()->rowCount(), 2);
    EXPECT_EQ(f->partModel()->index(1, Quant).data().toString(), "2,0000");

    type(f->DBGrid2, 1, Item, "2");
    sink.shown.clear();
    f->Confirmar->click();
    EXPECT_TRUE(sink.shown.empty()) << sink.texts();
    EXPECT_EQ(query("select ITEM, QUANT from PARTDISP where CODIGO = 8 order by ITEM"), "1|1\n2|2\n");
}

TEST_F(DispTest, DetailRowWithoutItsKeyIsNamedBeforeAnythingIsWritten) {
    struct Case {
        int tab;  // 1 items, 2 certificates
        const char* message;
    };
    const Case cases[] = {{1, "Campo Cód.Fornec. Inválido na linha 2 de Itens/Participantes!"},
                          {2, "Campo Certidão Inválido na linha 1 de Certidões!"}};
    auto f = open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        f->BTNINCLUIR->click();
        fill(*f);
        f->PageControl1->setCurrentWidget(c.tab == 1 ? f->TabItens : f->TabCertidoes);
        if (c.tab == 1) {
            type(f->DBGrid2, 0, Item, "1");
            type(f->DBGrid2, 0, Codif, "9");
            QTest::keyClick(f->DBGrid2, Qt::Key_Down);
            type(f->DBGrid2, 1, Item, "2");
            type(f->DBGrid2, 1, Quant, "3");
        } else {
            type(f->DBGrid3, 0, CCodif, "9");
            type(f->DBGrid3, 0, Especif, "SEM NUMERO");
        }
        sink.shown.clear();
        f->Confirmar->click();
        ASSERT_EQ(sink.shown.size(), 1u) << sink.texts();
        EXPECT_EQ(sink.shown[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(f->PageControl1->currentWidget(), c.tab == 1 ? f->TabItens : f->TabCertidoes);
        EXPECT_TRUE(f->editMode());
        EXPECT_EQ(query("select count(*) from DISPINEX"), "2\n");
        f->Fechar->click();
    }
}

TEST_F(DispTest, DeleteAsksFirstAndRemovesProcessItemsAndCertificates) {
    auto f = open();
    selectRow(f->DBGrid1, 1);
    sink.answer = false;
    f->Btnexcluir->click();
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_TRUE(sink.shown[0].question);
    EXPECT_EQ(sink.shown[0].caption, QString::fromUtf8("Atenção"));
    EXPECT_EQ(sink.shown[0].text, "Deseja realmente excluir o Registro?");
    EXPECT_EQ(query("select count(*) from DISPINEX"), "2\n");

    sink.shown.clear();
    sink.answer = true;
    f->Btnexcluir->click();
    ASSERT_EQ(sink.shown.size(), 2u) << sink.texts();
    EXPECT_EQ(sink.shown[1].caption, "OK");
    EXPECT_EQ(sink.shown[1].text, QString::fromUtf8("Registro Excuído com Sucesso!"));
    EXPECT_EQ(query("select CODIGO from DISPINEX"), "3\n");
    EXPECT_EQ(query("select count(*) from PARTDISP where CODIGO = 7"), "0\n");
    EXPECT_EQ(query("select count(*) from CERTDISP where CODIGO = 7"), "0\n");
    EXPECT_FALSE(dm.Conexao.inTransaction());

    // The last one: an empty list and empty grids, then nothing left to delete.
    f->Btnexcluir->click();
    EXPECT_EQ(f->dispModel()->rowCount(), 0);
    EXPECT_EQ(f->partModel()->rowCount(), 0);
    EXPECT_EQ(f->edtObjeto->text(), "");
    sink.shown.clear();
    f->Btnexcluir->click();
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, QString::fromUtf8("Não existem registros para excluir!"));
}

TEST_F(DispTest, LookupKeysWriteTheChosenValueOnlyInEditMode) {
    auto f = open();
    selectRow(f->DBGrid1, 1);
    // Browse mode: no dialog opens (one that did would be closed and reported).
    QTimer guard;
    bool opened = false;
    QObject::connect(&guard, &QTimer::timeout, [&] {
        if (QWidget* w = QApplication::activeModalWidget(); w && w != f.get()) {
            opened = true;
            w->close();
        }
    });
    guard.start(0);
    for (int key : {Qt::Key_F2, Qt::Key_F3}) QTest::keyClick(f->DBGrid2, Qt::Key(key));
    QTest::keyClick(f->DBGrid3, Qt::Key_F4);
    QApplication::processEvents();
    guard.stop();
    EXPECT_FALSE(opened);

    f->btnAlterar->click();
    f->PageControl1->setCurrentWidget(f->TabItens);
    f->DBGrid2->setCurrentIndex(f->partModel()->index(0, Item));
    whileModalOpen<TFrmPesFornec>([](TFrmPesFornec& d) {
        d.RadioButton2->setChecked(true);
        QTest::keyClicks(d.PES, "silva");
        d.Pesquisar->click();
        d.Confirmar->click();
    });
    QTest::keyClick(f->DBGrid2, Qt::Key_F2);
    EXPECT_EQ(f->partModel()->index(0, Codif).data().toString(), "29");
    whileModalOpen<TFrmPesprod>([](TFrmPesprod& d) { d.Fechar->click(); });  // closing changes nothing
    QTest::keyClick(f->DBGrid2, Qt::Key_F3);
    EXPECT_EQ(f->partModel()->index(0, Cadpro).data().toString(), "001.002.003");
    f->PageControl1->setCurrentWidget(f->TabCertidoes);
    whileModalOpen<TFrmPesCert>([](TFrmPesCert& d) {
        d.ComboBox1->setCurrentIndex(7);
        d.Confirmar->click();
    });
    QTest::keyClick(f->DBGrid3, Qt::Key_F4);
    EXPECT_EQ(f->certModel()->index(0, Tipo).data().toString(), QString::fromUtf8("99 - OUTRAS CERTIDÕES"));

    f->Confirmar->click();
    EXPECT_TRUE(sink.shown.empty()) << sink.texts();
    EXPECT_EQ(query("select CODIF, CADPRO from PARTDISP where CODIGO = 7"), "29|001.002.003\n");
    EXPECT_EQ(query("select TIPO from CERTDISP where CODIGO = 7"), "99 - OUTRAS CERTIDÕES\n");
}

TEST_F(DispTest, UnknownAgreementOpensTheAgreementLookup) {
    auto f = open();
    f->BTNINCLUIR->click();
    f->DBEdit7->setText("1");  // exists: nothing opens
    f->DBEdit7Exit();
    f->DBEdit7->setText("99");
    bool opened = false;
    whileModalOpen<TFrmPesConv>([&opened](TFrmPesConv& d) {
        opened = true;
        EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Consulta Convênios"));
        d.Confirmar->click();
    });
    f->DBEdit7Exit();
    EXPECT_TRUE(opened);
    EXPECT_EQ(f->DBEdit7->text(), "1");
    EXPECT_EQ(f->focusWidget(), f->DBEdit7);
}

TEST_F(DispTest, EnterAndDownGoToTheNextFieldUpToThePrevious) {
    auto f = open();
    f->BTNINCLUIR->click();
    const auto& order = f->fieldOrder();
    f->edtNumDisp->setFocus();
    QTest::keyClick(f->edtNumDisp, Qt::Key_Return);
    EXPECT_EQ(f->focusWidget(), order[1]);
    QTest::keyClick(order[1], Qt::Key_Down);
    EXPECT_EQ(f->focusWidget(), order[2]);
    QTest::keyClick(order[2], Qt::Key_Up);
    EXPECT_EQ(f->focusWidget(), order[1]);
    EXPECT_EQ(f->cbModalidade->currentIndex(), -1);  // the arrows moved, they did not choose
}

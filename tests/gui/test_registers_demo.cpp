// On the demo installation, as a user would: a waiver with two items and a
// certificate and a commission with two members are registered through the
// screens (suppliers and products picked in the lookups, one supplier named with
// a quote), March is exported with the command line, the files hold them, and
// deleting them leaves nothing behind.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "db/demo.h"
#include "register_support.h"
#include "screens/comissao.h"
#include "screens/datebox.h"
#include "screens/disp.h"
#include "screens/pescertidao.h"
#include "screens/pesfornec.h"
#include "screens/pesprod.h"

using namespace tcese;
using namespace tcese::screens;
using namespace tcese::testing;
namespace fs = std::filesystem;

namespace {

std::string sp(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

std::string pad(const std::string& s, int width) { return s + sp(width - static_cast<int>(s.size())); }

// The detail records of an export file (Windows-1252 bytes, CR LF).
std::vector<std::string> records(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::vector<std::string> out;
    std::string text = ss.str();
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) break;
        if (text[at] == '2') out.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return out;
}

std::vector<std::string> startingWith(const std::vector<std::string>& recs, const std::string& prefix) {
    std::vector<std::string> out;
    for (const auto& r : recs)
        if (r.compare(0, prefix.size(), prefix) == 0) out.push_back(r);
    return out;
}

void type(RecordSetView* grid, int row, int col, const QString& text) {
    const QModelIndex idx = grid->model()->index(row, col);
    grid->setCurrentIndex(idx);
    grid->edit(idx);
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(idx));
    ASSERT_NE(editor, nullptr) << col;
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    editor->home(false);
    typeText(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
}

// Picks in the search dialog the first row the search finds.
template <class D>
void pick(RecordSetView* grid, int row, int col, Qt::Key key, QRadioButton* D::*radio, const QString& typed) {
    grid->setCurrentIndex(grid->model()->index(row, col));
    whileModalOpen<D>([radio, typed](D& d) {
        (d.*radio)->setChecked(true);
        typeText(d.PES, typed);
        QTest::keyClick(d.PES, Qt::Key_Return);
        EXPECT_GT(d.gridModel()->rowCount(), 0) << typed.toStdString();
        d.Confirmar->click();
    });
    QTest::keyClick(grid, key);
}

std::string count(DataModule& dm, const std::string& sql) {
    RecordSet rs;
    dm.Conexao.open(rs, sql);
    return rs.field(0).asString();
}

}  // namespace

TEST(RegistersOnTheDemo, WaiverAndCommissionReachTheMonthAndDeletionLeavesNothing) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const DemoResult demo = createDemo({fs::path(tmp.path().toStdString()) / "demo"});
    DataModule dm;
    dm.Conexao.setDatabase(demo.database.string());
    dm.Conexao.connect();
    // A supplier registered in the accounting product with a quote in its name.
    dm.Conexao.execute("insert into DESFOR (CODIF, CODTIP, INSMF, NOME) values (900, '01', '11.222.333/0001-81', ?)",
                       {Value(std::string("D'ÁVILA COMÉRCIO LTDA"))});
    RecordingSink sink;

    {
        TFrmDisp f(dm, sink);
        f.show();
        f.BTNINCLUIR->click();
        f.edtNumDisp->setText("0099/07");
        f.cbModalidade->setCurrentIndex(0);
        f.cbTipoFundam->setCurrentIndex(f.cbTipoFundam->findText("02 - PORTARIA"));
        f.edtNumFundam->setText("77/2007");
        f.edtDtInicio->setText("20/03/2007");
        f.edtObjeto->setText(QString::fromUtf8("AQUISIÇÃO DE MATERIAL DE EXPEDIENTE"));
        f.cbBaseLegal->setCurrentIndex(3);
        f.edtValor->setText("1.000,00");
        f.cbEntidade->setCurrentIndex(f.cbEntidade->findData(QVariant::fromValue<qlonglong>(1)));

        f.PageControl1->setCurrentWidget(f.TabItens);
        type(f.DBGrid2, 0, 0, "1");
        pick<TFrmPesFornec>(f.DBGrid2, 0, 1, Qt::Key_F2, &TFrmPesFornec::RadioButton2, QString::fromUtf8("d'ávila"));
        pick<TFrmPesprod>(f.DBGrid2, 0, 2, Qt::Key_F3, &TFrmPesprod::RadioButton1, "001.001.001");
        type(f.DBGrid2, 0, 3, "10");
        type(f.DBGrid2, 0, 4, "55,50");
        QTest::keyClick(f.DBGrid2, Qt::Key_Down);
        type(f.DBGrid2, 1, 0, "2");
        type(f.DBGrid2, 1, 1, "17");
        pick<TFrmPesprod>(f.DBGrid2, 1, 2, Qt::Key_F3, &TFrmPesprod::RadioButton2, "caneta");
        type(f.DBGrid2, 1, 3, "3");
        type(f.DBGrid2, 1, 4, "4,50");

        f.PageControl1->setCurrentWidget(f.TabCertidoes);
        pick<TFrmPesFornec>(f.DBGrid3, 0, 0, Qt::Key_F2, &TFrmPesFornec::RadioButton2, QString::fromUtf8("D'ÁV"));
        type(f.DBGrid3, 0, 1, "CND-1/2007");
        whileModalOpen<TFrmPesCert>([](TFrmPesCert& d) {
            d.ComboBox1->setCurrentIndex(4);
            d.Confirmar->click();
        });
        f.DBGrid3->setCurrentIndex(f.certModel()->index(0, 2));
        QTest::keyClick(f.DBGrid3, Qt::Key_F4);
        type(f.DBGrid3, 0, 3, "01/03/2007");
        type(f.DBGrid3, 0, 4, "30/06/2007");
        f.Confirmar->click();
        ASSERT_TRUE(sink.shown.empty()) << sink.texts();
        EXPECT_FALSE(f.editMode());
    }
    EXPECT_EQ(count(dm, "select CODIGO from DISPINEX where NUMDISP = '0099/07'"), "14");

    {
        TFrmComissao f(dm, sink);
        f.show();
        f.BTNINCLUIR->click();
        typeText(f.DBEdit2, "0992007");
        f.edtData->setText("15/03/2007");
        f.cbTipo->setCurrentIndex(1);
        f.edtDtIniVige->setText("15/03/2007");
        f.edtDtFimVige->setText("31/12/2007");
        type(f.DBGrid2, 0, 0, "MARIA D'AJUDA");
        type(f.DBGrid2, 0, 1, "12345678909");
        type(f.DBGrid2, 0, 2, "PRESIDENTE");
        type(f.DBGrid2, 0, 3, "ADVOGADA");
        QTest::keyClick(f.DBGrid2, Qt::Key_Down);
        type(f.DBGrid2, 1, 0, "PEDRO ALVES");
        type(f.DBGrid2, 1, 1, "98765432100");
        f.Confirmar->click();
        ASSERT_TRUE(sink.shown.empty()) << sink.texts();
    }
    dm.Conexao.close();

    // March, the first entity, as the accountant exports it.
    const std::string cmd = std::string(TCESE_BINARY_DIR) + "/tcese export --month 03 --entity 1 --out " +
                            demo.outputDir.string() + " --ini " + demo.iniFile.string() + " >/dev/null 2>&1";
    const int st = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(st));
    EXPECT_LE(WEXITSTATUS(st), 1);  // 1: the demo's deliberate problems are in the log
    const fs::path mensal = demo.outputDir / "Mensal";

    const std::string key = "2" "2007" "08" "0000000000000099";
    auto disp = startingWith(records(mensal / "DispInex.txt"), key);
    ASSERT_EQ(disp.size(), 1u);
    EXPECT_EQ(disp[0].size(), 667u);
    EXPECT_EQ(disp[0].substr(0, 43), key + "02" + "77/2007   " + "20070320");
    EXPECT_EQ(disp[0].substr(293, 2 + 15), "04" "000000000100000");
    EXPECT_EQ(disp[0].back(), '0');  // no agreement

    auto items = startingWith(records(mensal / "ItemDisp.txt"), key);
    ASSERT_EQ(items.size(), 2u);
    std::sort(items.begin(), items.end(), [](const std::string& a, const std::string& b) { return a.substr(38, 4) < b.substr(38, 4); });
    EXPECT_EQ(items[0], key + "2" "11222333000181" "0001" + pad("PAPEL A4 BRANCO 75G - RESMA COM 500 FOLHAS", 250) +
                            "RES" "0000010000" "000000000005550" "000000000000555");
    EXPECT_EQ(items[1], key + "1" "00021952169305" "0002" + pad("CANETA ESFEROGR\xC1" "FICA AZUL", 250) +
                            "UND" "0000003000" "000000000000450" "000000000000150");

    auto certs = startingWith(records(mensal / "CertDisp.txt"), key);
    ASSERT_EQ(certs.size(), 1u);
    EXPECT_EQ(certs[0], key + "2" "11222333000181" "05" + pad("CND-1/2007", 30) + "20070301" "20070630");

    auto com = startingWith(records(mensal / "Comissao.txt"), "2" "02" "0000992007");
    ASSERT_EQ(com.size(), 1u);
    EXPECT_EQ(com[0], "2" "02" "0000992007" "20070315" "20071231" "2007" "2" + pad("NOMCOMISSAO4.DOC", 50));
    auto memb = startingWith(records(mensal / "ComMemb.txt"), "2" "02" "0000992007");
    ASSERT_EQ(memb.size(), 2u);
    std::sort(memb.begin(), memb.end());
    EXPECT_EQ(memb[0], "2" "02" "0000992007" "20070315" "12345678909" + pad("MARIA D'AJUDA", 50) + pad("ADVOGADA", 120) +
                           pad("PRESIDENTE", 120));
    EXPECT_EQ(memb[1].substr(0, 32), "2" "02" "0000992007" "20070315" "98765432100");

    // Deleted through the screens: nothing of them remains.
    dm.Conexao.connect();
    sink.answer = true;
    {
        TFrmDisp f(dm, sink);
        f.show();
        ASSERT_TRUE(f.CdsDisp().locate("CODIGO", "14"));
        f.dispModel()->refresh();
        f.Btnexcluir->click();
    }
    {
        TFrmComissao f(dm, sink);
        f.show();
        ASSERT_TRUE(f.CdsCom().locate("CODCOMISS", "4"));
        f.Btnexcluir->click();
    }
    for (const char* sql : {"select count(*) from DISPINEX where CODIGO = 14", "select count(*) from PARTDISP where CODIGO = 14",
                            "select count(*) from CERTDISP where CODIGO = 14", "select count(*) from COMISSAO where CODCOMISS = 4",
                            "select count(*) from MEMBROS where CODCOMISS = 4"})
        EXPECT_EQ(count(dm, sql), "0") << sql;
    EXPECT_EQ(count(dm, "select count(*) from DISPINEX"), "13");
    dm.Conexao.close();
}

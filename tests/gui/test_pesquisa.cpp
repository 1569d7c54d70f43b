// The supplier, product and agreement lookups and the certificate type list:
// what they list, how they search (the typed text is a parameter, never SQL) and
// what they hand back.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <functional>
#include <memory>

#include "register_support.h"
#include "screens/pescertidao.h"
#include "screens/pesconv.h"
#include "screens/pesfornec.h"
#include "screens/pesprod.h"
#include "testdb.h"

using namespace tcese;
using namespace tcese::screens;
using namespace tcese::testing;

namespace {

class PesquisaTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.exec(
            "insert into DESFOR (CODIF, CODTIP, INSMF, NOME) values (9, '01', '11222333000181', 'D''ÁVILA COMÉRCIO LTDA');"
            "insert into DESFOR (CODIF, CODTIP, INSMF, NOME) values (29, '02', '16171209300', 'SILVA & FILHOS');"
            "insert into DESFOR (CODIF, CODTIP, INSMF, NOME) values (3, '01', '33444555000172', 'SILVANO MATERIAIS');"
            "insert into DESFOR (CODIF, CODTIP, INSMF, NOME) values (4, '01', '44555666000100', 'ANTONIO SILVA');"
            "insert into CADEST (CADPRO, DISC1, UNID1) values ('001.002.003', 'ARROZ TIPO 1', 'KG');"
            "insert into CADEST (CADPRO, DISC1, UNID1) values ('001.002.004', 'FEIJÃO CARIOCA', 'KG');"
            "insert into CADEST (CADPRO, DISC1, UNID1) values ('002.000.001', 'CANETA AZUL', 'UN');"
            "insert into CADCONV (CONVENIO, NUMCONV, NOME) values (2, '015/2007', 'MERENDA ESCOLAR');"
            "insert into CADCONV (CONVENIO, NUMCONV, NOME) values (1, '004/2006', 'SAÚDE DA FAMÍLIA');"
            "commit;");
        db.connect(dm);
    }

    static QStringList column(SearchDialog& d, int col) {
        QStringList l;
        for (int r = 0; r < d.gridModel()->rowCount(); ++r) l << d.gridModel()->index(r, col).data().toString();
        return l;
    }

    TestDatabase db;
    DataModule dm;
    RecordingSink sink;
};

struct SearchCase {
    const char* name;
    std::function<std::unique_ptr<SearchDialog>(DataModule&, app::MessageSink&)> make;
    QString caption;
    QStringList titles;
    QStringList opening;  // first column of every row on opening
    int radio;            // 1..3
    QString typed;
    QStringList found;  // first column after the search
    QString returned;   // of the first row found
};

}  // namespace

TEST_F(PesquisaTest, ListSearchAndReturnedValue) {
    const SearchCase cases[] = {
        {"fornecedor por nome, com aspas",
         [](DataModule& dm, app::MessageSink& s) { return std::make_unique<TFrmPesFornec>(dm, s); },
         "Pesquisa de Fornecedores",
         {QString::fromUtf8("Código"), "Nome", "CPF/CNPJ"},
         {"4", "9", "29", "3"},
         2,
         QString::fromUtf8("d'ávila"),
         {"9"},
         "9"},
        {"fornecedor por nome: prefixo",
         [](DataModule& dm, app::MessageSink& s) { return std::make_unique<TFrmPesFornec>(dm, s); },
         "Pesquisa de Fornecedores", {QString::fromUtf8("Código"), "Nome", "CPF/CNPJ"}, {"4", "9", "29", "3"},
         2, "silva", {"29", "3"}, "29"},
        {"fornecedor por código",
         [](DataModule& dm, app::MessageSink& s) { return std::make_unique<TFrmPesFornec>(dm, s); },
         "Pesquisa de Fornecedores", {QString::fromUtf8("Código"), "Nome", "CPF/CNPJ"}, {"4", "9", "29", "3"},
         1, "29", {"29"}, "29"},
        {"fornecedor por CPF/CNPJ exato",
         [](DataModule& dm, app::MessageSink& s) { return std::make_unique<TFrmPesFornec>(dm, s); },
         "Pesquisa de Fornecedores", {QString::fromUtf8("Código"), "Nome", "CPF/CNPJ"}, {"4", "9", "29", "3"},
         3, "33444555000172", {"3"}, "3"},
        {"produto por descrição",
         [](DataModule& dm, app::MessageSink& s) { return std::make_unique<TFrmPesprod>(dm, s); },
         "Consulta Produtos", {QString::fromUtf8("Código"), QString::fromUtf8("Descrição"), "Unidade"},
         {"001.002.003", "002.000.001", "001.002.004"}, 2, QString::fromUtf8("feij"), {"001.002.004"}, "001.002.004"},
        {"produto por unidade",
         [](DataModule& dm, app::MessageSink& s) { return std::make_unique<TFrmPesprod>(dm, s); },
         "Consulta Produtos", {QString::fromUtf8("Código"), QString::fromUtf8("Descrição"), "Unidade"},
         {"001.002.003", "002.000.001", "001.002.004"}, 3, "kg", {"001.002.003", "001.002.004"}, "001.002.003"},
        {"produto por código",
         [](DataModule& dm, app::MessageSink& s) { return std::make_unique<TFrmPesprod>(dm, s); },
         "Consulta Produtos", {QString::fromUtf8("Código"), QString::fromUtf8("Descrição"), "Unidade"},
         {"001.002.003", "002.000.001", "001.002.004"}, 1, "002.000.001", {"002.000.001"}, "002.000.001"},
        {"convênio por número",
         [](DataModule& dm, app::MessageSink& s) { return std::make_unique<TFrmPesConv>(dm, s); },
         QString::fromUtf8("Consulta Convênios"), {QString::fromUtf8("Código"), "Nome", QString::fromUtf8("Núm.Convênio")},
         {"1", "2"}, 3, "015/2007", {"2"}, "2"},
        {"convênio por nome",
         [](DataModule& dm, app::MessageSink& s) { return std::make_unique<TFrmPesConv>(dm, s); },
         QString::fromUtf8("Consulta Convênios"), {QString::fromUtf8("Código"), "Nome", QString::fromUtf8("Núm.Convênio")},
         {"1", "2"}, 2, QString::fromUtf8("saúde"), {"1"}, "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto d = c.make(dm, sink);
        d->show();
        EXPECT_EQ(d->windowTitle(), c.caption);
        ASSERT_EQ(d->gridModel()->columnCount(), c.titles.size());
        for (int i = 0; i < c.titles.size(); ++i)
            EXPECT_EQ(d->gridModel()->headerData(i, Qt::Horizontal).toString(), c.titles[i]);
        EXPECT_TRUE(d->RadioButton1->isChecked());
        EXPECT_EQ(column(*d, 0), c.opening);

        QRadioButton* radios[] = {d->RadioButton1, d->RadioButton2, d->RadioButton3};
        radios[c.radio - 1]->setChecked(true);
        d->PES->setFocus();
        typeText(d->PES, c.typed);
        EXPECT_EQ(d->PES->text(), c.typed.toUpper());  // the box turns letters to upper case
        QTest::keyClick(d->PES, Qt::Key_Return);       // Enter searches
        EXPECT_EQ(column(*d, 0), c.found);
        EXPECT_EQ(d->value(), c.returned);
        EXPECT_TRUE(sink.shown.empty()) << sink.texts();
    }
}

TEST_F(PesquisaTest, ConfirmDoubleClickAndClose) {
    {
        TFrmPesFornec d(dm, sink);
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        // Double-clicking a row picks it as Confirmar does.
        const QModelIndex second = d.gridModel()->index(1, 1);
        d.DBGrid1->setCurrentIndex(second);
        const QRect r = d.DBGrid1->visualRect(second);
        QTest::mouseClick(d.DBGrid1->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(d.DBGrid1->viewport(), Qt::LeftButton, {}, r.center());
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_EQ(d.value(), "9");
    }
    {
        TFrmPesFornec d(dm, sink);
        d.show();
        d.Fechar->click();
        EXPECT_EQ(d.result(), QDialog::Rejected);
    }
    {
        // Nothing found: Confirmar still says OK and hands back an empty value.
        TFrmPesprod d(dm, sink);
        d.show();
        d.RadioButton2->setChecked(true);
        QTest::keyClicks(d.PES, "xyz");
        d.Pesquisar->click();
        EXPECT_EQ(d.gridModel()->rowCount(), 0);
        d.Confirmar->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_EQ(d.value(), "");
    }
    EXPECT_TRUE(sink.shown.empty()) << sink.texts();
}

TEST_F(PesquisaTest, CodeSearchWithLettersShowsWhyAndLeavesTheGridEmpty) {
    TFrmPesConv d(dm, sink);
    d.show();
    QTest::keyClicks(d.PES, "abc");
    d.Pesquisar->click();
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(d.gridModel()->rowCount(), 0);
    EXPECT_EQ(d.value(), "");
    // The next search that works fills it again.
    d.PES->clear();
    QTest::keyClicks(d.PES, "2");
    d.Pesquisar->click();
    EXPECT_EQ(column(d, 0), QStringList{"2"});
}

TEST(PesCert, EightTypesFirstSelectedWholeTextReturned) {
    TFrmPesCert d;
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Opções de Certidão"));
    ASSERT_EQ(d.ComboBox1->count(), 8);
    EXPECT_FALSE(d.ComboBox1->isEditable());
    EXPECT_EQ(d.ComboBox1->currentIndex(), 0);
    EXPECT_EQ(d.value(), "01 - INSS");
    EXPECT_EQ(d.ComboBox1->itemText(3), "04 - IPES");
    EXPECT_EQ(d.ComboBox1->itemText(7), QString::fromUtf8("99 - OUTRAS CERTIDÕES"));
    d.ComboBox1->setCurrentIndex(5);
    d.Confirmar->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.value(), "06 - FAZENDA ESTADUAL");
}

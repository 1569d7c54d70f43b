// The budget parameters screen through its real widgets: first opening, edit,
// cancel, save with its defaults, refused values, file errors and row colours.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/messagesink.h"
#include "config/pegacaminho.h"
#include "data/datapacket.h"
#include "engine/orcparams.h"
#include "engine_support.h"
#include "screens/orcamento.h"
#include "testdb.h"

using namespace tcese;
using namespace tcese::screens;
using namespace tcese::testing;
namespace fs = std::filesystem;

namespace {

struct Shown {
    MessageKind kind;
    QString text;
};

class RecordingSink : public app::MessageSink {
public:
    explicit RecordingSink(std::vector<Shown>* out) : out_(out) {}
    void show(QWidget*, MessageKind kind, const QString& text, const QString&) override { out_->push_back({kind, text}); }
    bool ask(QWidget*, const QString&, const QString& text) override {
        out_->push_back({MessageKind::Warning, text});
        return answer;
    }
    bool answer = false;

private:
    std::vector<Shown>* out_;
};

int column(std::string_view field) {
    const auto fields = orcParamFields();
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == field) return static_cast<int>(i);
    ADD_FAILURE() << "no field " << field;
    return 0;
}

using Values = std::map<std::string, std::string>;

class OrcamentoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ini = db.installAsYear("2007");
        db.connect(dm);
    }

    void paramorc() {
        db.exec(
            "insert into PARAMORC (LEI_PPA, DTPUBLICACAO_PPA, LEI_LDO, DTPUBLICACAO_LDO, LEI, DTPUBLICACAO, PERCE, PORCENTO)"
            " values ('10/2005', '2005-12-01', '20/2006', '2006-06-30', '30/2006', '2006-12-20', 12.5, 54);"
            "commit;");
    }

    fs::path paramFile() const { return fs::path(PegaCaminho("D", ini)) / "ORC_TCE_SE.XML"; }

    // A parameter file with these rows, written as the program writes it.
    void writeRows(const std::vector<Values>& rows) const {
        RecordSet rs("ORC");
        for (auto d : orcParamFieldDefs()) {
            d.required = false;
            rs.addField(d);
        }
        rs.createDataSet();
        for (const auto& row : rows) {
            rs.append();
            for (const auto& [k, v] : row) rs.field(k).setAsString(v);
            rs.post();
        }
        saveDatapacket(rs, paramFile());
    }

    RecordSet readFile() const {
        RecordSet rs("ORC");
        loadDatapacket(rs, paramFile());
        return rs;
    }

    std::unique_ptr<TFrmOrcamento> open() {
        auto f = std::make_unique<TFrmOrcamento>(dm.Conexao, ini, sink);
        f->show();
        return f;
    }

    static QString cell(const TFrmOrcamento& f, int row, std::string_view field) {
        return f.gridModel()->index(row, column(field)).data().toString();
    }

    // Types into a cell through its editor, which stays open (the next cell or the
    // save writes it, as in the grid). Empty text clears the cell.
    static void type(TFrmOrcamento& f, int row, std::string_view field, const QString& text) {
        const QModelIndex idx = f.gridModel()->index(row, column(field));
        f.DBGrid1->setCurrentIndex(idx);
        f.DBGrid1->edit(idx);
        auto* editor = qobject_cast<QLineEdit*>(f.DBGrid1->indexWidget(idx));
        ASSERT_NE(editor, nullptr) << field;
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        // QTest types ASCII only.
        bool ascii = true;
        for (QChar c : text) ascii = ascii && c.unicode() < 128;
        if (ascii) {
            QTest::keyClicks(editor, text);
        } else {
            editor->insert(text);
        }
    }

    static void expectBrowseMode(const TFrmOrcamento& f) {
        EXPECT_FALSE(f.editMode());
        EXPECT_TRUE(f.Alterar->isEnabled());
        EXPECT_FALSE(f.Confirmar->isEnabled());
        EXPECT_EQ(f.Fechar->text(), "Fecha&r");
        EXPECT_FALSE(f.gridModel()->flags(f.gridModel()->index(0, 0)) & Qt::ItemIsEditable);
    }
    static void expectEditMode(const TFrmOrcamento& f) {
        EXPECT_TRUE(f.editMode());
        EXPECT_FALSE(f.Alterar->isEnabled());
        EXPECT_TRUE(f.Confirmar->isEnabled());
        EXPECT_EQ(f.Fechar->text(), "Cancela&r");
        EXPECT_TRUE(f.gridModel()->flags(f.gridModel()->index(0, 0)) & Qt::ItemIsEditable);
    }

    TestDatabase db;
    DataModule dm;
    fs::path ini;
    std::vector<Shown> shown;
    RecordingSink sink{&shown};
};

}  // namespace

TEST_F(OrcamentoTest, FirstOpeningCreatesTheFileAndShowsItReadOnly) {
    paramorc();
    ASSERT_FALSE(fs::exists(paramFile()));
    auto f = open();
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(fs::exists(paramFile()));
    EXPECT_EQ(f->windowTitle(), QString::fromUtf8("Orçamento"));
    EXPECT_EQ(f->pnTitulo->text(), QString::fromUtf8("Parâmetros do Orçamento"));

    const auto* m = f->gridModel();
    ASSERT_EQ(m->columnCount(), 24);
    for (int c = 0; c < 24; ++c) {
        const auto title = orcParamFields()[static_cast<std::size_t>(c)].title;
        EXPECT_EQ(m->headerData(c, Qt::Horizontal).toString(), QString::fromUtf8(title.data(), title.size()));
    }
    ASSERT_EQ(m->rowCount(), 1);
    const std::vector<std::pair<const char*, const char*>> expected = {
        {"LEI_PPA", "10/2005"},           {"DTPUBLICACAO_PPA", "01/12/2005"}, {"LEI_ORC", "30/2006"},
        {"DTPUBLICACAO_ORC", "20/12/2006"}, {"PERC_SUPLEMENTACAO", "12,50"},  {"PERC_LIM_OP_CRED", "0"},
        {"ATO_DET_DESPESA", ""},          {"DATA_ENV_LEG_PPA", ""},           {"NOME_ARQ_PPA", ""},
        {"PERC_MIN_EDU", "25"},           {"PERC_MAX_PESSOAL", "54,00"},      {"PPA_NOVO_ALTERADO", "0"},
    };
    for (const auto& [field, text] : expected) EXPECT_EQ(cell(*f, 0, field), text) << field;

    expectBrowseMode(*f);
    const QModelIndex idx = m->index(0, column("LEI_LDO"));
    QTest::ignoreMessage(QtWarningMsg, "edit: editing failed");
    f->DBGrid1->edit(idx);
    EXPECT_EQ(f->DBGrid1->indexWidget(idx), nullptr) << "the grid is read-only in browse mode";

    QTest::mouseClick(f->Fechar, Qt::LeftButton);
    EXPECT_FALSE(f->isVisible());
}

TEST_F(OrcamentoTest, EveryWayOfCancellingRestoresTheFileAndKeepsTheScreenOpen) {
    paramorc();
    const std::vector<std::pair<const char*, std::function<void(TFrmOrcamento&)>>> ways = {
        {"Cancela&r", [](TFrmOrcamento& f) { QTest::mouseClick(f.Fechar, Qt::LeftButton); }},
        {"close box", [](TFrmOrcamento& f) { f.close(); }},
        {"Escape", [](TFrmOrcamento& f) { QTest::keyClick(f.DBGrid1, Qt::Key_Escape); }},
    };
    for (const auto& [name, cancel] : ways) {
        SCOPED_TRACE(name);
        auto f = open();
        const std::string before = readBytes(paramFile());
        QTest::mouseClick(f->Alterar, Qt::LeftButton);
        expectEditMode(*f);
        EXPECT_EQ(f->displayed().mode(), RecordSet::Mode::Edit);
        type(*f, 0, "LEI_LDO", "99/2099");
        type(*f, 0, "PERC_MIN_EDU", "");  // the previous cell is written on leaving it
        EXPECT_EQ(cell(*f, 0, "LEI_LDO"), "99/2099");

        if (std::string(name) == "Escape") f->DBGrid1->cancelEditing();  // the first Escape closes the cell editor
        cancel(*f);
        EXPECT_TRUE(f->isVisible());
        expectBrowseMode(*f);
        EXPECT_EQ(f->displayed().mode(), RecordSet::Mode::Browse);
        EXPECT_EQ(cell(*f, 0, "LEI_LDO"), "20/2006");
        EXPECT_EQ(cell(*f, 0, "PERC_MIN_EDU"), "25");
        EXPECT_EQ(readBytes(paramFile()), before);

        cancel(*f);  // from browse mode it closes
        EXPECT_FALSE(f->isVisible());
    }
    EXPECT_TRUE(shown.empty());
}

TEST_F(OrcamentoTest, ConfirmSavesTheTypedValuesWithTheDefaultsOfBlankPercentages) {
    paramorc();
    auto f = open();
    QTest::mouseClick(f->Alterar, Qt::LeftButton);
    type(*f, 0, "LEI_ORC", "1234567890");  // the field holds 8 characters
    type(*f, 0, "NOME_ARQ_PPA", QString::fromUtf8("PPA Revisão.DOC"));
    type(*f, 0, "DATA_ENV_LEG_PPA", "15/08/2005");
    type(*f, 0, "LEI_LDO", "");
    type(*f, 0, "PERC_SUPLEMENTACAO", "");
    type(*f, 0, "PERC_LIM_OP_CRED", "");
    type(*f, 0, "PERC_MAX_PESSOAL", "");  // still in its editor when Confirmar is pressed
    QTest::mouseClick(f->Confirmar, Qt::LeftButton);

    ASSERT_EQ(shown.size(), 1u) << shown[0].text.toStdString();
    EXPECT_EQ(shown[0].kind, MessageKind::Info);
    EXPECT_EQ(shown[0].text, "Arquivo Salvo com Sucesso!");
    expectBrowseMode(*f);
    EXPECT_EQ(cell(*f, 0, "PERC_SUPLEMENTACAO"), "0,00");
    EXPECT_EQ(cell(*f, 0, "LEI_ORC"), "12345678");

    RecordSet saved = readFile();
    ASSERT_EQ(saved.recordCount(), 1);
    const std::vector<std::pair<const char*, const char*>> expected = {
        {"LEI_PPA", "10/2005"},         {"LEI_ORC", "12345678"},          {"NOME_ARQ_PPA", "PPA Revisão.DOC"},
        {"DATA_ENV_LEG_PPA", "15/08/2005"}, {"LEI_LDO", ""},              {"PERC_SUPLEMENTACAO", "0"},
        {"PERC_LIM_OP_CRED", "0"},      {"PERC_MAX_PESSOAL", "0"},        {"PERC_MIN_EDU", "25"},
        {"PPA_NOVO_ALTERADO", "0"},
    };
    for (const auto& [field, text] : expected) EXPECT_EQ(saved.field(field).asString(), text) << field;
}

TEST_F(OrcamentoTest, RequiredFieldLeftEmptyStopsTheSaveAndStaysInEditMode) {
    paramorc();
    // The message names the column as the grid titles it.
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"PERC_MIN_EDU", "O campo \"Percentual Mínimo Educação\" deve ter um valor"},
        {"PPA_NOVO_ALTERADO", "O campo \"PPA Novo ou Alterado - (0) Não (1) Sim\" deve ter um valor"},
    };
    for (const auto& [field, message] : cases) {
        SCOPED_TRACE(field);
        shown.clear();
        auto f = open();
        const std::string before = readBytes(paramFile());
        QTest::mouseClick(f->Alterar, Qt::LeftButton);
        type(*f, 0, "LEI_LDO", "5/2007");
        type(*f, 0, field, "");
        QTest::mouseClick(f->Confirmar, Qt::LeftButton);
        QApplication::processEvents();

        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].kind, MessageKind::Error);
        EXPECT_EQ(shown[0].text, QString::fromUtf8(message));
        expectEditMode(*f);
        EXPECT_EQ(readBytes(paramFile()), before);
        EXPECT_EQ(cell(*f, 0, "LEI_LDO"), "5/2007") << "what was typed is still there";

        // Filled in, the same save goes through.
        type(*f, 0, field, "1");
        QTest::mouseClick(f->Confirmar, Qt::LeftButton);
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[1].kind, MessageKind::Info);
        EXPECT_EQ(readFile().field("LEI_LDO").asString(), "5/2007");
        EXPECT_EQ(readFile().field(field).asString(), "1");
    }
}

TEST_F(OrcamentoTest, ValueThatDoesNotFitItsFieldIsRefusedAndNothingIsSaved) {
    paramorc();
    struct Case {
        const char* field;
        const char* text;
        const char* message;  // correct Portuguese, naming the column by its title
    };
    const Case cases[] = {
        {"DTPUBLICACAO_LDO", "31/02/2006", "'31/02/2006' não é uma data válida para o campo \"Publ. LDO\""},
        {"PERC_MIN_EDU", "vinte", "'vinte' não é um número válido para o campo \"Percentual Mínimo Educação\""},
        {"ATO_DET_DESPESA", "12a", "'12a' não é um número inteiro válido para o campo \"Nº Ato Detalhamento da Despesa\""},
        {"ATO_DET_DESPESA", "2147483648", "'2147483648' não é um número inteiro válido para o campo \"Nº Ato Detalhamento da Despesa\""},
    };
    for (const auto& [field, text, message] : cases) {
        SCOPED_TRACE(field);
        shown.clear();
        auto f = open();
        const std::string before = readBytes(paramFile());
        const QString old = cell(*f, 0, field);
        QTest::mouseClick(f->Alterar, Qt::LeftButton);
        type(*f, 0, field, text);
        QTest::mouseClick(f->Confirmar, Qt::LeftButton);
        QApplication::processEvents();  // no second box for the same value

        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].kind, MessageKind::Error);
        EXPECT_EQ(shown[0].text, QString::fromUtf8(message));
        expectEditMode(*f);
        EXPECT_EQ(cell(*f, 0, field), old);
        EXPECT_EQ(readBytes(paramFile()), before);
    }
}

TEST_F(OrcamentoTest, EmptyParamorcGivesAnEmptyFileAndAlterarAddsItsRow) {
    auto f = open();
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(readFile().recordCount(), 0);
    EXPECT_EQ(f->gridModel()->rowCount(), 0);

    QTest::mouseClick(f->Alterar, Qt::LeftButton);
    expectEditMode(*f);
    ASSERT_EQ(f->gridModel()->rowCount(), 1);
    EXPECT_EQ(f->gridModel()->headerData(0, Qt::Vertical).toString(), "*");
    type(*f, 0, "LEI_PPA", "1/2007");
    type(*f, 0, "PERC_MIN_EDU", "30");
    type(*f, 0, "PPA_NOVO_ALTERADO", "1");
    QTest::mouseClick(f->Confirmar, Qt::LeftButton);

    ASSERT_EQ(shown.size(), 1u) << shown[0].text.toStdString();
    EXPECT_EQ(shown[0].kind, MessageKind::Info);
    RecordSet saved = readFile();
    ASSERT_EQ(saved.recordCount(), 1);
    EXPECT_EQ(saved.field("LEI_PPA").asString(), "1/2007");
    EXPECT_EQ(saved.field("PERC_MIN_EDU").asString(), "30");
    EXPECT_EQ(saved.field("PERC_SUPLEMENTACAO").asString(), "0");
    EXPECT_EQ(f->gridModel()->rowCount(), 1);
}

TEST_F(OrcamentoTest, MovingToAnotherRowPostsTheEditAndTheSaveKeepsTheLastRow) {
    writeRows({{{"LEI_PPA", "1/2005"}, {"PERC_MIN_EDU", "25"}, {"PPA_NOVO_ALTERADO", "0"}},
               {{"LEI_PPA", "2/2005"}, {"PERC_MIN_EDU", "26"}, {"PPA_NOVO_ALTERADO", "1"}}});
    auto f = open();
    ASSERT_EQ(f->gridModel()->rowCount(), 2);
    QTest::mouseClick(f->Alterar, Qt::LeftButton);

    // A row that cannot be posted keeps the grid on it.
    type(*f, 0, "PPA_NOVO_ALTERADO", "");
    f->DBGrid1->setCurrentIndex(f->gridModel()->index(1, column("LEI_PPA")));
    QApplication::processEvents();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QString::fromUtf8("O campo \"PPA Novo ou Alterado - (0) Não (1) Sim\" deve ter um valor"));
    EXPECT_EQ(f->DBGrid1->currentIndex().row(), 0);
    EXPECT_EQ(f->displayed().recNo(), 1);

    type(*f, 0, "PPA_NOVO_ALTERADO", "1");
    type(*f, 0, "LEI_LDO", "10/2006");
    type(*f, 1, "LEI_LDO", "20/2006");  // leaving row 1 posted it
    EXPECT_EQ(f->displayed().valueAt(0, f->displayed().fieldIndex("LEI_LDO")), Value(std::string("10/2006")));
    QTest::mouseClick(f->Confirmar, Qt::LeftButton);

    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].kind, MessageKind::Info);
    RecordSet saved = readFile();
    ASSERT_EQ(saved.recordCount(), 1);
    EXPECT_EQ(saved.field("LEI_PPA").asString(), "2/2005");
    EXPECT_EQ(saved.field("LEI_LDO").asString(), "20/2006");
    EXPECT_EQ(f->gridModel()->rowCount(), 1);
}

TEST_F(OrcamentoTest, FileThatCannotBeReadOrWrittenIsNamedInTheMessage) {
    paramorc();
    const fs::path dataDir = paramFile().parent_path();

    // Not a datapacket: nothing to change, the screen still closes.
    writeBytes(paramFile(), "isto não é XML");
    {
        shown.clear();
        auto f = open();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].kind, MessageKind::Error);
        EXPECT_TRUE(shown[0].text.contains(QString::fromStdString(paramFile().string()))) << shown[0].text.toStdString();
        EXPECT_EQ(f->gridModel()->rowCount(), 0);
        EXPECT_FALSE(f->Alterar->isEnabled());
        QTest::mouseClick(f->Fechar, Qt::LeftButton);
        EXPECT_FALSE(f->isVisible());
    }

    // No data folder: the first opening cannot create the file.
    fs::remove_all(dataDir);
    {
        shown.clear();
        auto f = open();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].kind, MessageKind::Error);
        EXPECT_TRUE(shown[0].text.contains("ORC_TCE_SE.XML")) << shown[0].text.toStdString();
        EXPECT_FALSE(f->Alterar->isEnabled());
    }

    // A save that cannot write keeps the old file and what was typed.
    fs::create_directories(dataDir);
    auto f = open();
    const std::string before = readBytes(paramFile());
    fs::create_directory(fs::path(paramFile()) += ".tmp");  // the file written beside it cannot be created
    shown.clear();
    QTest::mouseClick(f->Alterar, Qt::LeftButton);
    type(*f, 0, "LEI_LDO", "7/2007");
    QTest::mouseClick(f->Confirmar, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_TRUE(shown[0].text.contains(QString::fromStdString(paramFile().string()))) << shown[0].text.toStdString();
    expectEditMode(*f);
    EXPECT_EQ(cell(*f, 0, "LEI_LDO"), "7/2007");
    EXPECT_EQ(readBytes(paramFile()), before);

    fs::remove(fs::path(paramFile()) += ".tmp");
    QTest::mouseClick(f->Confirmar, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].kind, MessageKind::Info);
    EXPECT_EQ(readFile().field("LEI_LDO").asString(), "7/2007");
}

TEST_F(OrcamentoTest, RowColours) {
    // The numbers are 00BBGGRR.
    EXPECT_EQ(kOddRowColour, qRgb(215, 232, 227));
    EXPECT_EQ(kSelectedColour, qRgb(255, 204, 102));
    const QColor base(Qt::white);
    struct Case {
        int recNo;
        CellState state;
        QRgb background;
    };
    const Case cases[] = {
        {1, {false, false}, kOddRowColour}, {2, {false, false}, base.rgb()},   {3, {false, false}, kOddRowColour},
        {1, {true, false}, kSelectedColour}, {2, {false, true}, kSelectedColour}, {2, {true, true}, kSelectedColour},
    };
    for (const auto& c : cases) {
        const CellStyle s = stripedCellStyle(c.recNo, c.state, base);
        EXPECT_EQ(s.background.rgb(), c.background) << c.recNo << c.state.selected << c.state.focused;
        EXPECT_EQ(s.text.rgb(), qRgb(0, 0, 0));
    }

    // As the grid paints them: row 1 odd, row 2 the window background, the current cell orange.
    writeRows({{{"PERC_MIN_EDU", "25"}, {"PPA_NOVO_ALTERADO", "0"}}, {{"PERC_MIN_EDU", "25"}, {"PPA_NOVO_ALTERADO", "0"}}});
    auto f = open();
    f->DBGrid1->setCurrentIndex(f->gridModel()->index(0, 0));
    QApplication::processEvents();
    const QImage image = f->DBGrid1->viewport()->grab().toImage();
    auto colourAt = [&](int row, int col) {
        const QRect r = f->DBGrid1->visualRect(f->gridModel()->index(row, col));
        return image.pixelColor(r.center()).rgb();  // the cells sampled hold no text
    };
    EXPECT_EQ(colourAt(0, 0), kSelectedColour);
    EXPECT_EQ(colourAt(0, column("LEI_LDO")), kOddRowColour);
    EXPECT_EQ(colourAt(1, column("LEI_LDO")), f->DBGrid1->palette().color(QPalette::Base).rgb());
}

// A picture of the screen with data for the documentation: runs only when
// TCESE_SCREENSHOT_DIR names a folder (under xvfb-run with QT_QPA_PLATFORM=xcb).
TEST_F(OrcamentoTest, Screenshot) {
    const QString dir = qEnvironmentVariable("TCESE_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "TCESE_SCREENSHOT_DIR not set";
    writeRows({{{"LEI_PPA", "1.234/2005"},
                {"DTPUBLICACAO_PPA", "01/12/2005"},
                {"LEI_LDO", "1.301/2006"},
                {"DTPUBLICACAO_LDO", "30/06/2006"},
                {"LEI_ORC", "1.322/06"},
                {"DTPUBLICACAO_ORC", "20/12/2006"},
                {"PERC_SUPLEMENTACAO", "12.5"},
                {"PERC_LIM_OP_CRED", "0"},
                {"ATO_DET_DESPESA", "15"},
                {"DT_ATO_DET_DESPESA", "02/01/2007"},
                {"NOME_ARQ_PPA", "PPA2006-2009.DOC"},
                {"PERC_MIN_EDU", "25"},
                {"PERC_MAX_PESSOAL", "54"},
                {"PPA_NOVO_ALTERADO", "0"}}});
    auto f = open();
    f->DBGrid1->setCurrentIndex(f->gridModel()->index(0, column("LEI_LDO")));
    f->DBGrid1->setFocus();
    QApplication::processEvents();
    QDir().mkpath(dir);
    ASSERT_TRUE(f->grab().save(QDir(dir).filePath("orcamento.png"), "PNG"));
}

// PARAMORC.LEI is wider than LEI_ORC: the file is created holding the wide value.
TEST_F(OrcamentoTest, ValueWiderThanItsFieldIsShownWholeAndTheSaveRefusesIt) {
    db.exec(
        "insert into PARAMORC (LEI_PPA, LEI_LDO, LEI, PERCE, PORCENTO) values ('10/2005', '20/2006', '12345/2006', 1, 2);"
        "commit;");
    auto f = open();
    EXPECT_EQ(cell(*f, 0, "LEI_ORC"), "12345/2006");
    QTest::mouseClick(f->Alterar, Qt::LeftButton);

    // Opening its editor (to look, or tabbing through) cuts nothing.
    const QModelIndex idx = f->gridModel()->index(0, column("LEI_ORC"));
    f->DBGrid1->setCurrentIndex(idx);
    f->DBGrid1->edit(idx);
    auto* editor = qobject_cast<QLineEdit*>(f->DBGrid1->indexWidget(idx));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "12345/2006");
    type(*f, 0, "LEI_LDO", "21/2006");  // leaving the cell writes its editor back
    EXPECT_EQ(cell(*f, 0, "LEI_ORC"), "12345/2006");

    const std::string before = readBytes(paramFile());
    QTest::mouseClick(f->Confirmar, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(shown.size(), 1u) << shown[0].text.toStdString();
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_EQ(shown[0].text,
              QString::fromUtf8("O campo \"Lei Orçamento\" aceita no máximo 8 caracteres e tem 10: \"12345/2006\"."));
    expectEditMode(*f);
    EXPECT_EQ(readBytes(paramFile()), before);
    EXPECT_EQ(cell(*f, 0, "LEI_LDO"), "21/2006") << "what was typed is still there";

    // Shortened by the user, it is saved.
    type(*f, 0, "LEI_ORC", "12345/06");
    QTest::mouseClick(f->Confirmar, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "Arquivo Salvo com Sucesso!");
    EXPECT_EQ(readFile().field("LEI_ORC").asString(), "12345/06");
    EXPECT_EQ(readFile().field("LEI_LDO").asString(), "21/2006");
}

TEST_F(OrcamentoTest, CharacterTheExportCannotWriteIsRefusedNamingTheField) {
    paramorc();
    struct Case {
        const char* field;
        const char* text;
        const char* message;  // empty: saved
    };
    const Case cases[] = {
        {"LEI_PPA", "Ł-10/2005", "O campo \"Lei PPA\" tem o caractere \"Ł\", que não pode ser gravado (não existe no Windows-1252 dos arquivos do TCE)."},
        {"NOME_ARQ_LDO", "LDO→2006.DOC", "O campo \"Arquivo da LDO\" tem o caractere \"→\", que não pode ser gravado (não existe no Windows-1252 dos arquivos do TCE)."},
        {"NOME_ARQ_LDO", "LDO € JOSÉ CONCEIÇÃO.DOC", ""},  // € is 0x80 in Windows-1252
    };
    for (const auto& [field, text, message] : cases) {
        SCOPED_TRACE(field);
        shown.clear();
        auto f = open();
        const std::string before = readBytes(paramFile());
        QTest::mouseClick(f->Alterar, Qt::LeftButton);
        type(*f, 0, field, QString::fromUtf8(text));
        QTest::mouseClick(f->Confirmar, Qt::LeftButton);
        QApplication::processEvents();
        ASSERT_EQ(shown.size(), 1u);
        if (*message == '\0') {
            EXPECT_EQ(shown[0].text, "Arquivo Salvo com Sucesso!");
            EXPECT_EQ(readFile().field(field).asString(), text);
            continue;
        }
        EXPECT_EQ(shown[0].kind, MessageKind::Error);
        EXPECT_EQ(shown[0].text, QString::fromUtf8(message));
        expectEditMode(*f);
        EXPECT_EQ(cell(*f, 0, field), QString::fromUtf8(text)) << "what was typed is still there";
        EXPECT_EQ(readBytes(paramFile()), before);
    }
}

// Two workstations: A saves the PPA law, then B, opened before A's save, saves the LDO law.
TEST_F(OrcamentoTest, SaveOfAFileChangedSinceItWasLoadedIsRefusedAndOffersAReload) {
    paramorc();
    auto a = open();
    auto b = open();
    QTest::mouseClick(a->Alterar, Qt::LeftButton);
    type(*a, 0, "LEI_PPA", "11/2005");
    QTest::mouseClick(a->Confirmar, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Arquivo Salvo com Sucesso!");
    const std::string afterA = readBytes(paramFile());

    // B declines the reload: nothing written, still editing what it typed.
    QTest::mouseClick(b->Alterar, Qt::LeftButton);
    type(*b, 0, "LEI_LDO", "21/2006");
    QTest::mouseClick(b->Confirmar, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].kind, MessageKind::Warning);
    EXPECT_EQ(shown[1].text,
              QString::fromUtf8("O arquivo ORC_TCE_SE.XML foi alterado por outro usuário depois que esta tela o leu; "
                                "gravar agora desfaria a alteração dele, por isso nada foi gravado.\r\r"
                                "Deseja recarregar o arquivo? O que você digitou será posto de novo sobre ele, "
                                "para conferir e confirmar outra vez."));
    EXPECT_EQ(readBytes(paramFile()), afterA);
    expectEditMode(*b);
    EXPECT_EQ(cell(*b, 0, "LEI_LDO"), "21/2006");
    EXPECT_EQ(cell(*b, 0, "LEI_PPA"), "10/2005");

    // B accepts: A's law comes in, B's typed law stays, nothing is written until B confirms again.
    sink.answer = true;
    QTest::mouseClick(b->Confirmar, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(readBytes(paramFile()), afterA);
    expectEditMode(*b);
    EXPECT_EQ(cell(*b, 0, "LEI_PPA"), "11/2005");
    EXPECT_EQ(cell(*b, 0, "LEI_LDO"), "21/2006");

    QTest::mouseClick(b->Confirmar, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[3].text, "Arquivo Salvo com Sucesso!");
    EXPECT_EQ(readFile().field("LEI_PPA").asString(), "11/2005");
    EXPECT_EQ(readFile().field("LEI_LDO").asString(), "21/2006");
}

// Another program rewrites the file with the same size in the same second: its content tells.
TEST_F(OrcamentoTest, RewrittenFileOfTheSameSizeIsNoticedToo) {
    writeRows({{{"LEI_PPA", "1/2005"}, {"PERC_MIN_EDU", "25"}, {"PPA_NOVO_ALTERADO", "0"}}});
    auto f = open();
    writeRows({{{"LEI_PPA", "2/2005"}, {"PERC_MIN_EDU", "25"}, {"PPA_NOVO_ALTERADO", "0"}}});
    const std::string other = readBytes(paramFile());
    QTest::mouseClick(f->Alterar, Qt::LeftButton);
    type(*f, 0, "LEI_LDO", "3/2006");
    QTest::mouseClick(f->Confirmar, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(readBytes(paramFile()), other);
    EXPECT_EQ(cell(*f, 0, "LEI_LDO"), "3/2006");
}

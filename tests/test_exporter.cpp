// The export file writer and the generation log, without a database.
#include <gtest/gtest.h>

#include "config/encoding.h"
#include "data/datapacket.h"
#include "engine/exporter.h"
#include "engine/filegenerator.h"
#include "engine_support.h"

using namespace tcese;
using namespace tcese::testing;

namespace {

class ExporterTest : public ::testing::Test {
protected:
    ExporterTest() : ex(dm, obs, dir.path() / "Vora.ini") {
        ex.ctx.fiscalYear = "2007";
        ex.ctx.monthCode = "03";
        ex.ctx.outputDir = dir.str();
    }
    TempDir dir;
    DataModule dm;
    RecordingObserver obs;
    Exporter ex;
};

}  // namespace

TEST_F(ExporterTest, FileWithoutRecordsHasHeaderAndTrailer) {
    writeEmptyFile(ex, "SbGovPre");
    EXPECT_EQ(readBytes(dir.path() / "SbGovPre.txt"), "1200703\r\n3000000\r\n");
    ASSERT_EQ(obs.created.size(), 1u);
    EXPECT_EQ(obs.created[0].fileName, "SbGovPre.txt");
    EXPECT_EQ(obs.created[0].stateIndex, kStateFilling);
    ASSERT_EQ(obs.closed.size(), 1u);
    const FileRow& r = obs.closed[0].second;
    EXPECT_EQ(r.lines, "2");
    EXPECT_EQ(r.size, "0,018 Kb");
    EXPECT_EQ(r.date, dateToText(today()));
    EXPECT_EQ(r.stateIndex, kStateNoRecords);
}

TEST_F(ExporterTest, StateIconFollowsRecordsAndProblems) {
    struct Case {
        int records;
        bool problem;
        int state;
    };
    const Case cases[] = {
        {0, false, kStateNoRecords},
        {0, true, kStateNoRecords},  // problems but no records: still "sem Registros"
        {2, false, kStateSuccess},
        {2, true, kStateWithErrors},
    };
    for (const Case& c : cases) {
        ex.CRIAR_ARQ("Arq");
        ex.HEADER();
        ex.ctx.recordCount = c.records;
        for (int i = 0; i < c.records; ++i) ex.writeRecord("2X");
        if (c.problem) ex.Log("ARQ.TXT", "ERRO", "PROBLEMA", "RESOLVA", 2);
        ex.TRAILER(c.records);
        ex.Fecha_arq();
        EXPECT_EQ(obs.closed.back().second.stateIndex, c.state) << c.records << " " << c.problem;
        EXPECT_EQ(obs.closed.back().second.lines, std::to_string(c.records + 2));
    }
    EXPECT_TRUE(ex.ctx.runHasErrors);
}

TEST_F(ExporterTest, RecordsAreWindows1252WithCrLf) {
    ex.CRIAR_ARQ("Nomes");
    ex.HEADER();
    ex.writeRecord("2" + Ret(ex.ctx, 10, "JOSÉ", "S", "T") + Ret(ex.ctx, 9, "CONCEIÇÃO", "S", "T"));
    ex.ctx.recordCount = 1;
    ex.TRAILER(1);
    ex.Fecha_arq();
    const std::string expected = "1200703\r\n2JOS\xC9      CONCEI\xC7\xC3O\r\n3000001\r\n";
    EXPECT_EQ(readBytes(dir.path() / "Nomes.txt"), expected);
    EXPECT_EQ(obs.closed.back().second.lines, "3");
}

TEST_F(ExporterTest, CreatingReplacesAnOldFile) {
    writeBytes(dir.path() / "Orgao.txt", std::string(5000, 'x'));
    writeEmptyFile(ex, "Orgao");
    EXPECT_EQ(readBytes(dir.path() / "Orgao.txt"), "1200703\r\n3000000\r\n");
}

TEST_F(ExporterTest, FolderThatCannotBeWrittenStopsWithItsPath) {
    ex.ctx.outputDir = dir.str() + "missing/";
    try {
        ex.CRIAR_ARQ("Empenho");
        FAIL() << "no error";
    } catch (const GenerationError& e) {
        EXPECT_NE(std::string(e.what()).find("missing/Empenho.txt"), std::string::npos) << e.what();
    }
}

TEST_F(ExporterTest, CancelLeavesFileIncompleteAndRowBeingFilled) {
    ex.CRIAR_ARQ("Empenho");
    ex.HEADER();
    ex.writeRecord("2A");
    ex.cancel();
    ex.writeRecord("2B");
    ex.TRAILER(2);
    ex.Fecha_arq();
    EXPECT_EQ(readBytes(dir.path() / "Empenho.txt"), "1200703\r\n2A\r\n");
    EXPECT_TRUE(obs.closed.empty());
    ASSERT_EQ(ex.fileRows().size(), 1u);
    EXPECT_EQ(ex.fileRows()[0].stateIndex, kStateFilling);
    EXPECT_EQ(ex.fileRows()[0].lines, "");
}

TEST_F(ExporterTest, CancelWhileTheRowIsShownLeavesAnEmptyFile) {
    obs.onEvents = [&] { ex.cancel(); };
    writeEmptyFile(ex, "Licit");
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "Licit.txt"));
    EXPECT_EQ(readBytes(dir.path() / "Licit.txt"), "");
    EXPECT_FALSE(ex.fileOpen());
    EXPECT_EQ(ex.fileRows().at(0).stateIndex, kStateFilling);
}

TEST(QuantasLin, CountsLinesAfterTheFirst) {
    TempDir dir;
    const struct {
        const char* bytes;
        long lines;
    } cases[] = {
        {"", 0},
        {"1200703\r\n", 0},
        {"1200703\r\n3000000\r\n", 1},
        {"1200703\r\n3000000", 1},
        {"1200703\r\n2A\nB\r\n3000001\r\n", 3},  // a line feed inside a record splits it
        {"1200703", 0},
    };
    for (const auto& c : cases) {
        writeBytes(dir.path() / "f.txt", c.bytes);
        EXPECT_EQ(QuantasLin(dir.path() / "f.txt"), c.lines) << c.bytes;
    }
    EXPECT_THROW(QuantasLin(dir.path() / "none.txt"), GenerationError);
}

TEST(FormatKb, ThreeDecimalsWithComma) {
    const struct {
        std::uintmax_t bytes;
        const char* text;
    } cases[] = {
        {0, "0,000 Kb"},     {18, "0,018 Kb"},          {2150, "2,100 Kb"},
        {1024, "1,000 Kb"},  {1048576, "1024,000 Kb"},  {1023, "0,999 Kb"},
        {1, "0,001 Kb"},     {11, "0,011 Kb"},
    };
    for (const auto& c : cases) EXPECT_EQ(formatKb(c.bytes), c.text) << c.bytes;
}

TEST_F(ExporterTest, LogEntryFieldsFlagsAndWidths) {
    ex.emptyLog();
    ex.CRIAR_ARQ("Empenho");
    EXPECT_FALSE(ex.ctx.fileHasErrors);
    const std::string longText = std::string(4998, 'A') + "ÇÃO" + "XYZ";
    ex.Log("EMPENHO.TXT", "ERRO", longText, "VERIFIQUE \"ASPAS\"\r\nE LINHAS", 7);
    EXPECT_TRUE(ex.ctx.fileHasErrors);
    EXPECT_TRUE(ex.ctx.runHasErrors);
    RecordSet& log = dm.CdsLog;
    ASSERT_EQ(log.recordCount(), 1);
    log.first();
    EXPECT_EQ(log.field("ARQUIVO").asString(), "EMPENHO.TXT");
    EXPECT_EQ(log.field("STATUS").asString(), "ERRO");
    EXPECT_EQ(log.field("LINHA").asInteger(), 7);
    EXPECT_EQ(utf8Length(log.field("DESCRICAO").asString()), 5000u);
    EXPECT_EQ(log.field("DESCRICAO").asString(), std::string(4998, 'A') + "ÇÃ");
    EXPECT_EQ(log.field("RESOLVER").asString(), "VERIFIQUE \"ASPAS\"\r\nE LINHAS");
    EXPECT_EQ(log.field("DATA").asString(), dateToText(today()));
    EXPECT_FALSE(log.field("HORA").isNull());
}

TEST_F(ExporterTest, LogIsSavedInTheYearsDataFolder) {
    writeBytes(dir.path() / "Vora.ini", "[VORA]\nAno=2007\nCaminho_Base_Dados=" + dir.str() + "\n");
    std::filesystem::create_directories(dir.path() / "ARQ2007");
    const auto expected = dir.path() / "ARQ2007" / "LOG032007.XML";

    ex.emptyLog();  // a run without problems still saves the seven fields
    EXPECT_EQ(ex.logFilePath(), expected);
    ex.saveLog();
    RecordSet back;
    loadDatapacket(back, expected);
    EXPECT_EQ(back.fieldCount(), 7);
    EXPECT_EQ(back.recordCount(), 0);

    ex.emptyLog();  // a second run replaces the first one's log
    ex.Log("NOTA.TXT", "INEXISTENTE", "DOCUMENTO", "COLOQUE O DOCUMENTO", 3);
    ex.saveLog();
    EXPECT_FALSE(dm.CdsLog.active());
    loadDatapacket(back, expected);
    ASSERT_EQ(back.recordCount(), 1);
    back.first();
    EXPECT_EQ(back.field("STATUS").asString(), "INEXISTENTE");
    EXPECT_EQ(back.field("LINHA").asInteger(), 3);
}

// "tcese export" with --only, --format json and batches, on the demo.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <map>

#include "cli_support.h"
#include "data/datapacket.h"
#include "engine_support.h"

using namespace tcese;
using namespace tcese::testing;
namespace fs = std::filesystem;

namespace {

// Entries of a saved log by their ARQUIVO.
std::map<std::string, int> entriesByFile(const fs::path& log) {
    RecordSet rs;
    loadDatapacket(rs, log);
    std::map<std::string, int> out;
    for (rs.first(); !rs.eof(); rs.next()) ++out[rs.field("ARQUIVO").asString()];
    return out;
}

class CliRuns : public ::testing::Test {
protected:
    void SetUp() override {
        demo = dir.str() + "demo";
        ASSERT_EQ(runTcese("demo --dir " + demo).status, 0);
        out = fs::path(demo) / "saida";
        log = fs::path(demo) / "VORA_8/CIDADES/DEMO/ARQ2007/LOG032007.XML";
    }
    std::string run(const std::string& args) const { return "export " + args + " --ini " + demo + "/Vora.ini"; }
    // Standard output alone.
    Outcome stdoutOf(const std::string& args) const {
        return runShell(std::string(TCESE_BINARY_DIR) + "/tcese " + args + " 2>/dev/null");
    }
    TempDir dir;
    std::string demo;
    fs::path out;
    fs::path log;
};

}  // namespace

TEST_F(CliRuns, BadMonthsAndNamesStopBeforeAnythingRuns) {
    struct Case {
        std::string args;
        const char* says;
    };
    const std::string o = " --out " + out.string();
    const Case cases[] = {
        {"--month 03 --only Empenho,Nada" + o, "arquivo desconhecido em --only: \"Nada\""},
        {"--month 14 --only Empenho" + o, "arquivo desconhecido em --only: \"Empenho\""},  // not an annual file
        {"--month 05-02" + o, "mês inválido \"05-02\""},
        {"--month 12-14" + o, "mês inválido"},
        {"--month 03,03" + o, "mês inválido"},
        {"--month 03, " + o, "mês inválido"},
        {"--month 03 --all-entities --entity 1" + o, "excludes"},
        {"--month 03 --format xml" + o, "--format"},
    };
    for (const Case& c : cases) {
        const Outcome r = runTcese(run(c.args));
        EXPECT_EQ(r.status, 2) << c.args << "\n" << r.output;
        EXPECT_NE(r.output.find(c.says), std::string::npos) << c.args << "\n" << r.output;
        EXPECT_FALSE(fs::exists(out / "Mensal")) << c.args;
    }
}

TEST_F(CliRuns, OnlyRewritesNamedFilesAndKeepsTheOtherEntriesOfTheLog) {
    const Outcome full = runTcese(run("-q --month 03 --out " + out.string()));
    ASSERT_EQ(full.status, 1) << full.output;
    const auto before = entriesByFile(log);
    ASSERT_GT(before.count("EMPENHO.TXT"), 0u) << "the demo logs problems in Empenho.txt";
    ASSERT_GT(before.size(), 1u);

    fs::remove(out / "Mensal" / "Empenho.txt");
    fs::remove(out / "Mensal" / "Contrato.txt");
    const Outcome part = runTcese(run("--month 03 --only empenho,ITEMEMP --json --out " + out.string()));
    EXPECT_EQ(part.status, 1) << part.output;
    EXPECT_TRUE(fs::exists(out / "Mensal" / "Empenho.txt"));
    EXPECT_FALSE(fs::exists(out / "Mensal" / "Contrato.txt"));  // not named: not written
    EXPECT_EQ(entriesByFile(log), before);  // same entries, none twice

    // Standard output is one JSON object; messages go to standard error.
    const Outcome json = stdoutOf(run("--month 03 --only Empenho --format json --out " + out.string()));
    const auto doc = nlohmann::json::parse(json.output);
    ASSERT_EQ(doc["runs"].size(), 1u);
    const auto& r = doc["runs"][0];
    EXPECT_EQ(doc["status"], 1);
    EXPECT_EQ(r["status"], 1);
    EXPECT_EQ(r["month"], "03");
    ASSERT_EQ(r["files"].size(), 1u);
    EXPECT_EQ(r["files"][0]["name"], "Empenho.txt");
    EXPECT_EQ(r["files"][0]["bytes"], fs::file_size(out / "Mensal" / "Empenho.txt"));
    EXPECT_EQ(r["files"][0]["state"], "Arquivo Criado com Erros");
    EXPECT_TRUE(r["files"][0]["seconds"].is_number()) << r["files"][0];
    int empenho = 0;
    for (const auto& p : r["problems"]) empenho += p["file"] == "EMPENHO.TXT" ? 1 : 0;
    EXPECT_EQ(empenho, before.at("EMPENHO.TXT"));
}

TEST_F(CliRuns, BatchOfTwoEntitiesAndTwoMonthsMakesFourFolders) {
    const Outcome b = runTcese(run("--entity 2,1 --month 03,02 --only Empenho --out " + out.string()));
    EXPECT_EQ(b.status, 1) << b.output;
    std::vector<std::string> made;
    for (const auto& e : fs::directory_iterator(out)) {
        if (e.is_directory()) made.push_back(e.path().filename().string());
    }
    std::sort(made.begin(), made.end());
    EXPECT_EQ(made, (std::vector<std::string>{"01-02", "01-03", "02-02", "02-03"}));
    // In the order asked: the last run is entity 01, February.
    EXPECT_EQ(readBytes(fs::path(demo) / "VORA_8/CIDADES/DEMO/ARQ2007/LOG022007.XML"),
              readBytes(out / "01-02" / "LOG022007.XML"));
}

TEST_F(CliRuns, BatchOfEntitiesAndMonthsGivesEachRunItsFolderAndLog) {
    const Outcome b = runTcese(run("--all-entities --month 02,03 --only Empenho --out " + out.string()));
    EXPECT_EQ(b.status, 1) << b.output;  // the worst of the runs
    for (const char* run : {"01-02", "01-03", "02-02", "02-03", "03-02", "03-03"}) {  // the demo's three entities
        const std::string month = std::string(run).substr(3);
        EXPECT_TRUE(fs::exists(out / run / "Mensal" / "Empenho.txt")) << run;
        EXPECT_TRUE(fs::exists(out / run / ("LOG" + month + "2007.XML"))) << run;
        EXPECT_NE(b.output.find(std::string("  ") + run + "  "), std::string::npos) << run << "\n" << b.output;
    }
    EXPECT_FALSE(fs::exists(out / "Mensal"));
    // The year folder's log is the last run's (entity 03, March).
    EXPECT_EQ(readBytes(log), readBytes(out / "03-03" / "LOG032007.XML"));
    EXPECT_NE(b.output.find("Geração 6 de 6"), std::string::npos) << b.output;
}

TEST_F(CliRuns, ValidatePrintsTheExportLogWithoutWritingAndReportRendersIt) {
    const bool withReport = fs::exists(fs::path(TCESE_BINARY_DIR) / "tcese-report");
    const Outcome none = runTcese("report --month 03 --pdf " + dir.str() + "x.pdf --ini " + demo + "/Vora.ini");
    EXPECT_EQ(none.status, 2) << none.output;
    if (withReport) {
        EXPECT_NE(none.output.find("Arquivo de Log não encontrado!"), std::string::npos) << none.output;
    }
    EXPECT_FALSE(fs::exists(dir.path() / "x.pdf"));

    ASSERT_EQ(runTcese(run("-q --month 03 --out " + out.string())).status, 1);
    const std::string logBytes = readBytes(log);
    const auto logTime = fs::last_write_time(log);
    RecordSet entries;
    loadDatapacket(entries, log);
    ASSERT_GT(entries.recordCount(), 0);
    const auto filesIn = [](const fs::path& p) { return std::distance(fs::recursive_directory_iterator(p), {}); };
    const auto filesBefore = filesIn(out);
    const fs::path empenho = out / "Mensal" / "Empenho.txt";
    fs::remove(empenho);

    const std::string validate = "validate --month 03 --out " + out.string() + " --ini " + demo + "/Vora.ini";
    const Outcome text = stdoutOf(validate);
    EXPECT_EQ(text.status, 1) << text.output;
    // Every entry of the export's log, in its order, and nothing else.
    std::size_t at = 0;
    int lines = 0;
    for (entries.first(); !entries.eof(); entries.next()) {
        const std::string entry = entries.field("ARQUIVO").asString() + ":" + entries.field("LINHA").asString() +
                                  ": " + entries.field("STATUS").asString() + ": " +
                                  entries.field("DESCRICAO").asString() + "\n";
        const std::size_t found = text.output.find(entry, at);
        ASSERT_NE(found, std::string::npos) << entry << "\n" << text.output;
        at = found + entry.size();
        ++lines;
    }
    EXPECT_EQ(readBytes(log), logBytes);
    EXPECT_EQ(fs::last_write_time(log), logTime);
    EXPECT_FALSE(fs::exists(empenho));
    EXPECT_EQ(filesIn(out), filesBefore - 1);

    const Outcome csv = stdoutOf(validate + " --format csv");
    EXPECT_EQ(csv.status, 1);
    EXPECT_EQ(csv.output.rfind("arquivo;linha;status;descricao;resolver\n", 0), 0u) << csv.output;
    const auto json = nlohmann::json::parse(stdoutOf(validate + " --json").output);
    EXPECT_EQ(json["status"], 1);
    EXPECT_EQ(json["runs"][0]["problems"].size(), static_cast<std::size_t>(lines));

    // The report of the saved log as a PDF, whose text holds the log's entries.
    if (!withReport) GTEST_SKIP() << "built without the Qt programs";
    const std::string pdf = dir.str() + "log.pdf";
    const Outcome rep = runTcese("report --month 03 --pdf " + pdf + " --ini " + demo + "/Vora.ini", "QT_QPA_PLATFORM= DISPLAY= ");
    ASSERT_EQ(rep.status, 0) << rep.output;
    EXPECT_EQ(readBytes(pdf).substr(0, 5), "%PDF-");
    const Outcome pdfText = runShell("pdftotext " + pdf + " -");
    entries.first();
    const std::string first = entries.field("ARQUIVO").asString();
    EXPECT_NE(pdfText.output.find(first), std::string::npos) << pdfText.output.substr(0, 2000);
}

// Which file is slow on the user's data: every file written, with its time, slowest first.
TEST_F(CliRuns, TimingsListEveryFileWrittenSlowestFirst) {
    const fs::path out = dir.path() / "tempos";
    const Outcome o = stdoutOf(run("--month 03 --only Empenho,ItemEmp,Agencia --timings --out " + out.string()));
    const auto at = o.output.find("Tempo por arquivo (");
    ASSERT_NE(at, std::string::npos) << o.output;
    // Listed slowest first: the order of the lines follows the times.
    std::vector<std::pair<std::size_t, double>> byPlace;
    for (const char* f : {"Empenho.txt", "ItemEmp.txt", "Agencia.txt"}) {
        const auto line = o.output.find("\n  " + std::string(f), at);
        ASSERT_NE(line, std::string::npos) << f << "\n" << o.output;
        byPlace.emplace_back(line, std::stod(o.output.substr(line + 3 + std::string(f).size())));
    }
    std::sort(byPlace.begin(), byPlace.end());
    for (std::size_t i = 1; i < byPlace.size(); ++i) EXPECT_GE(byPlace[i - 1].second, byPlace[i].second) << o.output;
}

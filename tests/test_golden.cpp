// Whole runs of the demo installation compared byte for byte with the files kept
// under tests/golden/: the March run and the annual budget (month 14) of entity 01,
// every export file and the log's entries (without their date and time).
//
// After a reviewed change that is meant to alter a file, refresh them with
//   TCESE_UPDATE_GOLDEN=1 build/tests/test_golden
// and review the difference with `git diff tests/golden` before committing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "data/datamodule.h"
#include "data/datapacket.h"
#include "db/demo.h"
#include "engine/run.h"
#include "engine_support.h"
#include "generators/catalogue.h"

namespace fs = std::filesystem;
using namespace tcese;
using namespace tcese::testing;

namespace {

const fs::path kGolden = fs::path(TCESE_SOURCE_DIR) / "tests" / "golden";

bool updating() {
    const char* v = std::getenv("TCESE_UPDATE_GOLDEN");
    return v && *v && std::string(v) != "0";
}

// Name → bytes of every file directly in `dir`.
std::map<std::string, std::string> filesIn(const fs::path& dir) {
    std::map<std::string, std::string> files;
    if (!fs::is_directory(dir)) return files;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.is_regular_file()) files[e.path().filename().string()] = readBytes(e.path());
    return files;
}

// The log's entries, one line each: ARQUIVO|STATUS|LINHA|DESCRICAO|RESOLVER. DATA
// and HORA are the moment of the run and are left out; line breaks inside a text
// are shown as "\n"; the output folder, which differs from run to run, as "<saida>/".
std::string logEntries(const fs::path& logFile, const std::string& outputDir) {
    RecordSet log;
    loadDatapacket(log, logFile);
    auto flat = [&outputDir](std::string s) {
        for (std::size_t at = 0; (at = s.find(outputDir, at)) != std::string::npos;)
            s.replace(at, outputDir.size(), "<saida>/");
        for (std::size_t at = 0; (at = s.find_first_of("\r\n", at)) != std::string::npos;)
            s.replace(at, 1, s[at] == '\n' ? "\\n" : "\\r");
        return s;
    };
    std::string text;
    for (log.first(); !log.eof(); log.next()) {
        text += flat(log.field("ARQUIVO").asString()) + "|" + flat(log.field("STATUS").asString()) + "|" +
                log.field("LINHA").asString() + "|" + flat(log.field("DESCRICAO").asString()) + "|" +
                flat(log.field("RESOLVER").asString()) + "\n";
    }
    return text;
}

// The file list as the window shows it after the run, without the date column:
// name, lines, size and state per row.
std::string fileList(const std::vector<FileRow>& rows) {
    std::string text;
    for (const FileRow& r : rows)
        text += r.fileName + "|" + r.lines + "|" + r.size + "|" + std::to_string(r.stateIndex) + "\n";
    return text;
}

// Differences between what was written and what is kept, one line each; the first
// differing line of a file is named.
std::string compare(const std::map<std::string, std::string>& written,
                    const std::map<std::string, std::string>& kept) {
    std::string diff;
    for (const auto& [name, bytes] : written) {
        const auto k = kept.find(name);
        if (k == kept.end()) {
            diff += name + ": written, not in tests/golden\n";
            continue;
        }
        if (k->second == bytes) continue;
        std::size_t at = 0;
        while (at < bytes.size() && at < k->second.size() && bytes[at] == k->second[at]) ++at;
        const long line = 1 + std::count(bytes.begin(), bytes.begin() + static_cast<long>(at), '\n');
        auto lineAt = [](const std::string& s, std::size_t pos) {
            const std::size_t from = s.rfind('\n', pos == 0 ? 0 : pos - 1);
            const std::size_t begin = from == std::string::npos || pos == 0 ? 0 : from + 1;
            return s.substr(begin, s.find('\n', begin) - begin);
        };
        diff += name + ": line " + std::to_string(line) + " differs\n  written: " + lineAt(bytes, at) +
                "\n  golden:  " + lineAt(k->second, at) + "\n";
    }
    for (const auto& [name, bytes] : kept)
        if (!written.count(name)) diff += name + ": in tests/golden, not written\n";
    return diff;
}

void replaceFolder(const fs::path& dir, const std::map<std::string, std::string>& files) {
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const auto& [name, bytes] : files) writeBytes(dir / name, bytes);
}

struct Case {
    const char* monthText;
    const char* folder;  // under the output folder and under tests/golden
    const char* log;     // the log's name
};

class Golden : public ::testing::TestWithParam<Case> {};

TEST_P(Golden, DemoRunMatchesTheKeptFiles) {
    const Case& c = GetParam();
    TempDir dir;
    DemoOptions o;
    o.dir = dir.path() / "demo";
    const DemoResult demo = createDemo(o);

    DataModule dm;
    dm.Conexao.setDatabase(demo.database.string());
    dm.Conexao.connect();
    const auto entities = entityEntries(dm);
    ASSERT_FALSE(entities.empty());
    RecordingObserver obs;
    Exporter ex(dm, obs, demo.iniFile);
    const RunResult r = gerarClick(ex, RunRequest{c.monthText, entities.front(), demo.outputDir.string() + "/"},
                                   annualCatalogue(), monthlyCatalogue());
    ASSERT_EQ(r.outcome, RunOutcome::Completed) << r.error;
    ASSERT_TRUE(r.error.empty()) << r.error;
    dm.Conexao.close();

    const auto written = filesIn(demo.outputDir / c.folder);
    ASSERT_FALSE(written.empty());
    // The log and the file list, each a text file under tests/golden/run/.
    const std::string log = std::string(c.log) + ".txt", list = std::string(c.folder) + "-lista.txt";
    const std::map<std::string, std::string> run{
        {log, logEntries(demo.dataDir / (std::string(c.log) + ".XML"), demo.outputDir.string() + "/")},
        {list, fileList(ex.fileRows())}};
    const fs::path keptFiles = kGolden / c.folder;
    const fs::path keptRun = kGolden / "run";
    if (updating()) {
        replaceFolder(keptFiles, written);
        fs::create_directories(keptRun);
        for (const auto& [name, text] : run) writeBytes(keptRun / name, text);
        GTEST_SKIP() << "tests/golden/" << c.folder << " and tests/golden/run rewritten";
    }
    EXPECT_EQ(compare(written, filesIn(keptFiles)), "");
    EXPECT_EQ(compare(run, {{log, readBytes(keptRun / log)}, {list, readBytes(keptRun / list)}}), "");
}

INSTANTIATE_TEST_SUITE_P(Demo, Golden,
                         ::testing::Values(Case{"03 - MARÇO", "Mensal", "LOG032007"},
                                           Case{"14 - ORÇAMENTO ANUAL", "Anual", "LOG142007"}),
                         [](const auto& info) { return std::string(info.param.folder); });

}  // namespace

// Table files written by other programs, through the callers that read them: the
// court's tables (revenue lookup, chart of accounts) and the budget parameters (the
// screen's read, the annual run). A malformed file stops what reads it with its
// name and line, never a crash; a file saved with its change log gives the live rows.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <map>

#include "config/pegacaminho.h"
#include "config/settings.h"
#include "data/datapacket.h"
#include "engine/courttables.h"
#include "engine/exporter.h"
#include "engine/orcparams.h"
#include "engine_support.h"

using namespace tcese;
using namespace tcese::testing;

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHead = "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<DATAPACKET Version=\"2.0\">";
// FIELD elements of text fields with these names.
std::string textFields(std::initializer_list<std::string_view> names) {
    std::string out;
    for (auto n : names) out += "<FIELD attrname=\"" + std::string(n) + "\" fieldtype=\"string\" WIDTH=\"20\"/>";
    return out;
}

const std::string kRevenueFields = textFields({"CODRE", "NOMRE", "SITUACAO_ITEM"});
const std::string kChartFields =
    textFields({"nu_SequencialTC", "cd_ContaTC", "de_ContaTC", "dt_AnoAtivacao", "dt_AnoDesativacao", "SqSubTipo"});

std::string budgetFields() {
    std::string out;
    for (const auto& f : orcParamFields()) out += textFields({f.name});
    return out;
}

// Shapes of a malformed table with the given fields, each with the line the
// message must give.
struct Ragged {
    const char* what;
    std::string bytes;
    const char* line;
};

std::vector<Ragged> raggedFiles(const std::string& fields = kRevenueFields) {
    const std::string head(kHead);
    return {
        {"the smallest: rows, then the fields",
         "<DATAPACKET ><METADATA><FIELDS></FIELDS></METADATA><ROWDATA><ROW/><ROW/></ROWDATA><METADATA><FIELDS>"
         "<FIELD attrname=\"b\" fieldtype=\"string\" H=\"5\"/></FIELDS></METADATA></DATAPACKET>",
         "linha 1"},
        {"rows without fields, then the fields",
         head + "<METADATA><FIELDS></FIELDS><PARAMS/></METADATA>\r\n<ROWDATA><ROW CODRE=\"11120000\"/><ROW/></ROWDATA>"
                "\r\n<METADATA><FIELDS>" + fields + "</FIELDS></METADATA></DATAPACKET>",
         "linha 4"},
        {"two lists of fields, the first empty",
         head + "<METADATA><FIELDS></FIELDS>\r\n<FIELDS>" + fields +
             "</FIELDS></METADATA><ROWDATA><ROW CODRE=\"11120000\"/></ROWDATA></DATAPACKET>",
         "linha 3"},
    };
}

void expectNamed(const std::exception& e, const fs::path& file, const char* line, const char* what) {
    const std::string m = e.what();
    EXPECT_NE(m.find(file.string()), std::string::npos) << what << ": " << m;
    EXPECT_NE(m.find(line), std::string::npos) << what << ": " << m;
}

// A local-mode installation without a database: Vora.ini, TABDEF/ and the year folder.
class Installation {
public:
    Installation() {
        fs::create_directories(dir.path() / "TABDEF");
        fs::create_directories(dir.path() / "ARQ2007");
        writeBytes(ini(), "[VORA]\nAno=2007\nCaminho_Base_Dados=" + dir.str() + "\n");
    }
    fs::path ini() const { return dir.path() / "Vora.ini"; }
    fs::path tables() const { return dir.path() / "TABDEF"; }

    TempDir dir;
};

struct Outcome {
    int status;
    std::string output;  // stdout and stderr
};

Outcome runTcese(const std::string& args) {
    const std::string cmd = std::string(TCESE_BINARY_DIR) + "/tcese " + args + " 2>&1";
    Outcome o{-1, {}};
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return o;
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) o.output.append(buf, n);
    const int st = ::pclose(p);
    o.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return o;
}

// The demo installation made by the program, and its annual or monthly run.
class DemoInstallation {
public:
    DemoInstallation() {
        const Outcome made = runTcese("demo --dir " + demo().string());
        EXPECT_EQ(made.status, 0) << made.output;
        const Settings s = Settings::load(ini());
        dataDir_ = PegaCaminho("D", s);
        tableDir_ = PegaCaminho("TD", s);
    }
    fs::path demo() const { return dir_.path() / "demo"; }
    fs::path ini() const { return demo() / "Vora.ini"; }
    fs::path dataFile(std::string_view name) const { return dataDir_ / std::string(name); }
    fs::path tableFile(std::string_view name) const { return tableDir_ / std::string(name); }

    // Runs a month into a folder of its own.
    Outcome run(const std::string& month, const fs::path& out) const {
        fs::create_directories(out);
        return runTcese("export --month " + month + " --out " + out.string() + " --ini " + ini().string());
    }

private:
    TempDir dir_;
    fs::path dataDir_, tableDir_;
};

std::map<std::string, std::string> filesIn(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir)) files[e.path().filename().string()] = readBytes(e.path());
    return files;
}

// The value of attribute `name` in the first element that has it.
std::string attribute(const std::string& xml, const std::string& name) {
    const auto at = xml.find(" " + name + "=\"");
    if (at == std::string::npos) return {};
    const auto start = at + name.size() + 3;
    return xml.substr(start, xml.find('"', start) - start);
}

}  // namespace

TEST(TableFiles, RaggedRevenueTableStopsTheLookupWithFileAndLine) {
    for (const auto& c : raggedFiles()) {
        Installation inst;
        const fs::path file = inst.tables() / "RECEITA_TCESE.XML";
        writeBytes(file, c.bytes);
        DataModule dm;
        RecordingObserver obs;
        Exporter ex(dm, obs, inst.ini());
        try {
            DEVOLVE_CODRE(ex, "1.1.1.2.02.00");
            ADD_FAILURE() << c.what << ": no error";
        } catch (const DatapacketError& e) {
            expectNamed(e, file, c.line, c.what);
        }
    }
}

TEST(TableFiles, RaggedChartAndBudgetParametersStopTheirReadersWithFileAndLine) {
    const auto chartFiles = raggedFiles(kChartFields), budgetFiles = raggedFiles(budgetFields());
    for (std::size_t k = 0; k < chartFiles.size(); ++k) {
        const Ragged& c = chartFiles[k];
        Installation inst;
        const fs::path chart = inst.tables() / "PLANO_CONTAS_SE.XML";
        writeBytes(chart, c.bytes);
        RecordSet xml("CdsXml");
        try {
            loadCourtTable(xml, inst.ini(), kPlanoContasTable);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const DatapacketError& e) {
            expectNamed(e, chart, c.line, c.what);
        }

        const fs::path params = inst.dir.path() / "ARQ2007" / "ORC_TCE_SE.XML";
        writeBytes(params, budgetFiles[k].bytes);
        ASSERT_EQ(orcParamPath(inst.ini()), params);
        RecordSet orc("CdsOrcamento");
        try {
            loadOrcParams(orc, orcParamPath(inst.ini()));
            ADD_FAILURE() << c.what << ": no error";
        } catch (const DatapacketError& e) {
            expectNamed(e, params, c.line, c.what);
        }
    }
}

// The runs that read each table: the annual run (budget parameters, revenue codes)
// and a month (chart of accounts). Each stops with the file and line, never a crash.
TEST(TableFiles, RaggedTablesStopTheRunWithFileAndLine) {
    DemoInstallation d;
    const struct {
        fs::path file;
        const char* month;
        Ragged ragged;
    } cases[] = {
        {d.dataFile("ORC_TCE_SE.XML"), "14", raggedFiles(budgetFields())[1]},
        {d.tableFile("RECEITA_TCESE.XML"), "14", raggedFiles()[1]},
        {d.tableFile("PLANO_CONTAS_SE.XML"), "03", raggedFiles(kChartFields)[1]},
    };
    TempDir out;
    int n = 0;
    for (const auto& c : cases) {
        const Ragged& ragged = c.ragged;
        const std::string good = readBytes(c.file);
        writeBytes(c.file, ragged.bytes);
        const Outcome o = d.run(c.month, out.path() / std::to_string(++n));
        EXPECT_EQ(o.status, 2) << c.file << "\n" << o.output;
        // The error names the file and the line of the fault.
        const auto at = o.output.find("Erro: ");
        ASSERT_NE(at, std::string::npos) << o.output;
        const std::string error = o.output.substr(at, o.output.find('\n', at) - at);
        EXPECT_NE(error.find("'" + c.file.string() + "': " + ragged.line + ":"), std::string::npos) << error;
        writeBytes(c.file, good);
    }
}

// A platform that saved the budget parameters without merging its change log keeps
// the superseded version of the edited row before it: the run reads the live row.
TEST(TableFiles, StaleOriginalVersionOfTheBudgetParametersChangesNoFile) {
    DemoInstallation d;
    TempDir out;
    const Outcome before = d.run("14", out.path() / "a");

    const fs::path file = d.dataFile("ORC_TCE_SE.XML");
    const std::string bytes = readBytes(file);
    const auto rowAt = bytes.find("<ROW RowState=\"4\" ");
    ASSERT_NE(rowAt, std::string::npos) << bytes;
    const std::string live = bytes.substr(rowAt, bytes.find("/>", rowAt) + 2 - rowAt);
    std::string stale = live;
    const std::pair<std::string, std::string> old[] = {
        {"LEI_ORC", "1/1999"}, {"LEI_LDO", "2/1999"}, {"PERC_SUPLEMENTACAO", "99"}};
    for (const auto& [name, oldValue] : old) {
        const std::string value = attribute(live, name);
        ASSERT_FALSE(value.empty()) << name << " in " << live;
        ASSERT_NE(value, oldValue);
        const std::string from = name + "=\"" + value + "\"";
        stale.replace(stale.find(from), from.size(), name + "=\"" + oldValue + "\"");
    }
    stale.replace(0, 18, "<ROW RowState=\"5\" ");
    std::string changed = bytes;
    changed.replace(rowAt, live.size(), stale + "<ROW RowState=\"12\" " + live.substr(18));
    const auto params = changed.find("<PARAMS/>");
    ASSERT_NE(params, std::string::npos);
    changed.replace(params, 9, "<PARAMS CHANGE_LOG=\"1 0 4 2 1 8\"/>");
    writeBytes(file, changed);

    const Outcome after = d.run("14", out.path() / "b");
    EXPECT_EQ(after.status, before.status) << after.output;
    const auto a = filesIn(out.path() / "a" / "Anual");
    const auto b = filesIn(out.path() / "b" / "Anual");
    ASSERT_TRUE(a.count("Orcmto.txt"));
    EXPECT_EQ(a, b);
    // The stale row would have made another file.
    EXPECT_EQ(a.at("Orcmto.txt").find("1/1999"), std::string::npos);
}

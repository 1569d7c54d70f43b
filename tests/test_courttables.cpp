// The court's reference tables and the revenue code lookup.
#include <gtest/gtest.h>

#include "data/datapacket.h"
#include "engine/courttables.h"
#include "engine/exporter.h"
#include "engine_support.h"

using namespace tcese;
using namespace tcese::testing;

namespace fs = std::filesystem;

namespace {

struct RevenueRow {
    const char* code;
    const char* situation;
};

RecordSet revenueTable(std::initializer_list<RevenueRow> rows) {
    RecordSet rs("RECEITA");
    rs.addField({"CODRE", FieldType::String, 8});
    rs.addField({"NOMRE", FieldType::String, 50});
    rs.addField({"ANO_ATIVA", FieldType::String, 4});
    rs.addField({"ANO_DESATIVA", FieldType::String, 4});
    rs.addField({"SITUACAO_ITEM", FieldType::String, 1});
    rs.addField({"REDUTOR", FieldType::String, 1});
    rs.createDataSet();
    for (const auto& r : rows) {
        rs.append();
        rs.field("CODRE").setAsString(r.code);
        rs.field("NOMRE").setAsString("RECEITA DE TESTE");
        rs.field("ANO_ATIVA").setAsString("2002");
        if (*r.situation) rs.field("SITUACAO_ITEM").setAsString(r.situation);
        rs.post();
    }
    return rs;
}

// A local-mode installation without a database: Vora.ini and TABDEF/.
class Installation {
public:
    Installation() {
        fs::create_directories(dir.path() / "TABDEF");
        writeBytes(ini(), "[VORA]\nAno=2007\nCaminho_Base_Dados=" + dir.str() + "\n");
    }
    fs::path ini() const { return dir.path() / "Vora.ini"; }
    fs::path tables() const { return dir.path() / "TABDEF"; }

    TempDir dir;
};

}  // namespace

TEST(DevolveCodre, LooksUpExactThenZeroedFromTheRight) {
    RecordSet table = revenueTable({
        {"11120000", ""},
        {"11200000", "N"},
        {"17210102", "N"},  // exact matches ignore the mark
        {"10", ""},
        {"340000", ""},
        {"300000", ""},
    });
    const RevenueCodes codes(table, "RECEITA_TCESE.XML");
    struct Case {
        const char* code;
        const char* expected;
    } cases[] = {
        {"1.1.1.2.02.00", "11120000"},  // found with its last three digits zeroed
        {"1.1.2.1.01.00", "11210100"},  // first match by zeroing is marked "N": the local digits
        {"9.9.9", "999"},               // no match
        {"", ""},
        {"1.7.2.1.01.02", "17210102"},  // exact match marked "N" is still returned
        {"1.1.1.2.00.00.5", "11120000"},  // cut to 8 digits before any lookup
        {"9876543210", "98765432"},
        {"11", "11"},                   // two digits: only tried unchanged ("10" is not tried)
        {"1", "1"},
        {"345678", "340000"},           // six digits: up to four zeroed
        {"356789", "356789"},           // 300000 would need five
    };
    for (const auto& c : cases) EXPECT_EQ(codes.devolve(c.code), c.expected) << c.code;
}

TEST(CourtTables, FoundWithoutRegardToCaseAndLoadedOncePerRun) {
    Installation inst;
    saveDatapacket(revenueTable({{"11120000", ""}, {"11200000", "N"}}), inst.tables() / "Receita_TceSe.xml");
    DataModule dm;
    RecordingObserver obs;
    Exporter ex(dm, obs, inst.ini());

    EXPECT_EQ(DEVOLVE_CODRE(ex, "1.1.1.2.02.00"), "11120000");
    EXPECT_EQ(dm.XmlRec.recordCount(), 2);

    // Same run: the table is not read again.
    fs::remove(inst.tables() / "Receita_TceSe.xml");
    EXPECT_EQ(DEVOLVE_CODRE(ex, "1.1.2.1.01.00"), "11210100");

    // A new run reads it again.
    ex.courtTables.clear();
    saveDatapacket(revenueTable({{"11120200", ""}}), inst.tables() / "RECEITA_TCESE.XML");
    EXPECT_EQ(DEVOLVE_CODRE(ex, "1.1.1.2.02.00"), "11120200");

    saveDatapacket(revenueTable({}), inst.tables() / "plano_contas_se.XML");
    EXPECT_EQ(courtTablePath(inst.ini(), kPlanoContasTable), inst.tables() / "plano_contas_se.XML");
    EXPECT_EQ(courtTablePath(inst.ini(), kDespesaTable), inst.tables() / "DESPESA_TCESE.XML");
}

TEST(CourtTables, MissingOrBrokenTableNamesTheFile) {
    struct Case {
        const char* what;
        const char* bytes;  // nullptr: no file
    } cases[] = {
        {"missing", nullptr},
        {"not XML", "CODRE;NOMRE\n11120000;RECEITA\n"},
        {"not a datapacket", "<?xml version=\"1.0\"?><tabela><linha/></tabela>"},
        {"no CODRE",
         "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
         "<FIELD attrname=\"NOMRE\" fieldtype=\"string\" WIDTH=\"50\"/></FIELDS><PARAMS/></METADATA>"
         "<ROWDATA><ROW NOMRE=\"X\"/></ROWDATA></DATAPACKET>"},
    };
    for (const auto& c : cases) {
        Installation inst;
        const fs::path file = inst.tables() / "RECEITA_TCESE.XML";
        if (c.bytes) writeBytes(file, c.bytes);
        DataModule dm;
        RecordingObserver obs;
        Exporter ex(dm, obs, inst.ini());
        try {
            DEVOLVE_CODRE(ex, "1.1.1.2.02.00");
            ADD_FAILURE() << c.what << ": no error";
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << c.what << ": " << e.what();
        }
    }
}

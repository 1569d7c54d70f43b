// The shared shape of a generator on a real database.
#include <gtest/gtest.h>

#include "engine/filegenerator.h"
#include "engine/values.h"
#include "engine_support.h"
#include "testdb.h"

using namespace tcese;
using namespace tcese::testing;

namespace {

constexpr FieldSpec kFields[] = {
    {"ID", 3, "I"},
    {"NOME", 6, "T"},
    {"VALOR", 8, "V2"},
    {"DATA", 8, "D"},
};
const Layout kLayout{kFields};

class FileGeneratorTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.exec(
            "create table T_GEN (ID integer, NOME varchar(40), VALOR numeric(15,2), DATA date);"
            "insert into T_GEN values (1, 'JOSÉ', 12.5, '2007-03-31');"
            "insert into T_GEN values (2, 'ANA' || ascii_char(10) || 'B', -0.01, null);"
            "insert into T_GEN values (30, null, 0, '2007-01-02');"
            "commit;");
        db.connect(dm);
        ex = std::make_unique<Exporter>(dm, obs, db.dir() / "Vora.ini");
        ex->ctx.fiscalYear = "2007";
        ex->ctx.monthCode = "03";
        ex->ctx.outputDir = out.str();
    }

    FileGenerator gen(std::function<void(Exporter&, RecordSet&, Record&)> extra = nullptr) {
        return FileGenerator{
            "Teste", kLayout, [](const RunContext&) { return std::string("select * from T_GEN order by ID"); },
            [extra](Exporter& e, RecordSet& rs, Record& rec) {
                if (extra) extra(e, rs, rec);
                rec.add("ID", col(rs, "ID"))
                    .add("NOME", col(rs, "NOME"))
                    .add("VALOR", col(rs, "VALOR"))
                    .add("DATA", col(rs, "DATA"));
            }};
    }

    TestDatabase db;
    TempDir out;
    DataModule dm;
    RecordingObserver obs;
    std::unique_ptr<Exporter> ex;
};

}  // namespace

TEST_F(FileGeneratorTest, OneRecordPerRowWithHeaderAndTrailer) {
    runFileGenerator(*ex, gen());
    // Written by hand from the layout: 2 + ID(3) + NOME(6) + VALOR(8) + DATA(8).
    const std::string expected =
        "1200703\r\n"
        "2001JOS\xC9  0000125020070331\r\n"
        "2002ANA B -0000001        \r\n"  // the line feed became a blank: one line per record
        "2030      0000000020070102\r\n"
        "3000003\r\n";
    EXPECT_EQ(readBytes(out.path() / "Teste.txt"), expected);
    ASSERT_EQ(obs.closed.size(), 1u);
    EXPECT_EQ(obs.closed[0].second.lines, "5");
    EXPECT_EQ(obs.closed[0].second.stateIndex, kStateSuccess);
    EXPECT_EQ(obs.lastFileMax, 3);
    EXPECT_EQ(obs.lastFilePos, 3);
    EXPECT_EQ(kLayout.recordLength(), 26);
}

TEST_F(FileGeneratorTest, ProblemsAreLoggedWithTheRecordsLineAndRecordsStillWritten) {
    runFileGenerator(*ex, gen([](Exporter& e, RecordSet& rs, Record& rec) {
        if (isBlank(col(rs, "NOME"))) e.Log("TESTE.TXT", "ERRO", "NOME EM BRANCO", "CORRIJA", rec.line());
    }));
    ASSERT_EQ(dm.CdsLog.recordCount(), 1);
    dm.CdsLog.first();
    EXPECT_EQ(dm.CdsLog.field("LINHA").asInteger(), 4);
    EXPECT_EQ(obs.closed.at(0).second.lines, "5");
    EXPECT_EQ(obs.closed.at(0).second.stateIndex, kStateWithErrors);
}

TEST_F(FileGeneratorTest, CancelLeavesTheFileWithoutTrailer) {
    runFileGenerator(*ex, gen([](Exporter& e, RecordSet&, Record& rec) {
        if (rec.line() == 3) e.cancel();  // "Cancela&r" pressed while the second record is built
    }));
    EXPECT_EQ(readBytes(out.path() / "Teste.txt"), "1200703\r\n2001JOS\xC9  0000125020070331\r\n");
    EXPECT_TRUE(obs.closed.empty());
    EXPECT_EQ(ex->fileRows().at(0).stateIndex, kStateFilling);
}

TEST_F(FileGeneratorTest, ValueThatIsNotANumberNamesFileLineFieldAndValue) {
    FileGenerator g{"Teste", kLayout, [](const RunContext&) { return std::string("select * from T_GEN order by ID"); },
                    [](Exporter&, RecordSet& rs, Record& rec) {
                        rec.add("ID", col(rs, "ID")).add("NOME", "").add("VALOR", col(rs, "NOME"));
                    }};
    try {
        runFileGenerator(*ex, g);
        FAIL() << "no error";
    } catch (const GenerationError& e) {
        const std::string msg = e.what();
        for (const char* part : {"Teste.txt", "linha 2", "VALOR", "JOSÉ"}) {
            EXPECT_NE(msg.find(part), std::string::npos) << part << " not in: " << msg;
        }
    }
    // The header stays; the file is not reported as done.
    EXPECT_EQ(readBytes(out.path() / "Teste.txt"), "1200703\r\n");
    EXPECT_TRUE(obs.closed.empty());
}

TEST_F(FileGeneratorTest, QueryErrorNamesTheFileAndTheStatement) {
    for (auto order : {FileGenerator::Order::FileFirst, FileGenerator::Order::QueryFirst}) {
        FileGenerator g = gen();
        g.order = order;
        g.query = [](const RunContext&) { return std::string("select NADA from T_GEN"); };
        std::filesystem::remove(out.path() / "Teste.txt");
        try {
            runFileGenerator(*ex, g);
            FAIL() << "no error";
        } catch (const GenerationError& e) {
            const std::string msg = e.what();
            EXPECT_NE(msg.find("Teste.txt"), std::string::npos) << msg;
            EXPECT_NE(msg.find("select NADA from T_GEN"), std::string::npos) << msg;
        }
        // The query runs before the file exists only in the query-first order.
        EXPECT_EQ(std::filesystem::exists(out.path() / "Teste.txt"), order == FileGenerator::Order::FileFirst);
    }
}

TEST_F(FileGeneratorTest, SingleRecordIsWrittenEvenWithoutRows) {
    constexpr static FieldSpec fields[] = {{"UM", 1, ""}, {"NOME", 4, "T"}, {"ID", 3, "I"}};
    static const Layout layout{fields};
    struct Case {
        const char* sql;
        const char* record;
        long line;
        const char* trailer;
    };
    const Case cases[] = {
        {"select * from T_GEN where ID = 1", "21JOS\xC9" "001", 2, "3000001"},
        {"select * from T_GEN where ID = 99", "21    000", 0, "3000000"},
    };
    for (const Case& c : cases) {
        dm.CdsLog.close();
        std::string sql = c.sql;
        FileGenerator g{"Um", layout, [sql](const RunContext&) { return sql; },
                        [](Exporter& e, RecordSet& rs, Record& rec) {
                            e.Log("UM.TXT", "ERRO", "X", "Y", rec.line());
                            rec.add("UM", "1").add("NOME", col(rs, "NOME")).add("ID", col(rs, "ID"));
                        },
                        FileGenerator::Order::FileFirst, true};
        runFileGenerator(*ex, g);
        EXPECT_EQ(readBytes(out.path() / "Um.txt"), std::string("1200703\r\n") + c.record + "\r\n" + c.trailer + "\r\n");
        dm.CdsLog.first();
        EXPECT_EQ(dm.CdsLog.field("LINHA").asInteger(), c.line);
        EXPECT_EQ(obs.lastFilePos, 0);  // the bar does not step for a single record
    }
}

TEST_F(FileGeneratorTest, TrailerCountOtherThanTheQuerys) {
    FileGenerator g = gen();
    g.recordCount = [](Exporter&) { return 7L; };
    runFileGenerator(*ex, g);
    const std::string bytes = readBytes(out.path() / "Teste.txt");
    EXPECT_EQ(bytes.substr(bytes.size() - 9), "3000007\r\n");
}

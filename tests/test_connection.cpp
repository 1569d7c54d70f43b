// The Firebird connection on real embedded databases, one file per test so that
// the tests may run in parallel.
#include "data/connection.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "config/encoding.h"
#include "data/datamodule.h"

using namespace tcese;
namespace fs = std::filesystem;

namespace {

fs::path makeTempDir() {
    std::string tmpl = (fs::temp_directory_path() / "tcese-conn-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    return tmpl;
}

Value I(std::int64_t v) { return v; }
Value D(const char* text) { return Decimal::parse(text); }
Value S(std::string s) { return s; }

class Db : public ::testing::Test {
protected:
    void SetUp() override {
        dir = makeTempDir();
        path = (dir / "test.fdb").string();
        Connection::createDatabase(path);
        db.setDatabase(path);
        db.connect();
    }
    void TearDown() override {
        db.close();
        fs::remove_all(dir);
    }

    // The text of the first row's column, through a fresh read.
    std::string scalar(const std::string& sql) {
        RecordSet rs("scalar");
        db.open(rs, sql);
        return rs.field(0).asString();
    }

    fs::path dir;
    std::string path;
    DataModule dm;
    Connection& db = dm.Conexao;
};

TEST_F(Db, RecordCountAndEndOfDataForNoneAndManyRows) {
    db.execute("create table T (ID integer not null primary key, NOME varchar(20))");
    RecordSet rs("rs");
    db.open(rs, "select * from T");
    EXPECT_TRUE(rs.active());
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_TRUE(rs.eof());
    ASSERT_EQ(rs.fieldCount(), 2);
    EXPECT_EQ(rs.fields()[1].type, FieldType::String);
    EXPECT_EQ(rs.fields()[1].width, 20);

    Statement ins = db.prepare("insert into T (ID, NOME) values (?, ?)");
    EXPECT_EQ(ins.paramCount(), 2);
    db.startTransaction();
    for (int i = 1; i <= 2500; ++i) EXPECT_EQ(ins.execute({I(i), S("N" + std::to_string(i))}), 1);
    db.commit();

    db.open(rs, "select ID, NOME from T order by ID");
    EXPECT_EQ(rs.recordCount(), 2500);  // known before the first row is read
    EXPECT_EQ(rs.recNo(), 1);
    int seen = 0;
    for (; !rs.eof(); rs.next()) {
        ++seen;
        ASSERT_EQ(rs.field("id").asInteger(), seen);
    }
    EXPECT_EQ(seen, 2500);
    EXPECT_EQ(rs.source().updateTable, "T");
}

TEST_F(Db, NullTextNumberAndDateReadAsEmptyText) {
    db.execute("create table T (A varchar(10), B numeric(15,2), C date, D integer, E blob sub_type 1)");
    db.execute("insert into T default values");
    RecordSet rs("rs");
    db.open(rs, "select * from T");
    ASSERT_EQ(rs.recordCount(), 1);
    for (const char* f : {"A", "B", "C", "D", "E"}) {
        EXPECT_TRUE(rs.field(f).isNull()) << f;
        EXPECT_EQ(rs.field(f).asString(), "") << f;
    }
}

TEST_F(Db, ExactDecimals) {
    db.execute("create table T (A numeric(15,2), B numeric(15,2), C numeric(18,6), E numeric(4,1))");
    db.execute("insert into T values (0.1, 0.2, 1.234550, 123.4)");
    RecordSet rs("rs");
    db.open(rs, "select A + B as SOMA, A, C, -C as MENOS_C, E, -99.99 as NEG, A * 3 as TRIPLO from T");
    EXPECT_EQ(rs.field("SOMA").asString(), "0.3");
    EXPECT_EQ(rs.field("SOMA").asDecimal(), Decimal::parse("0.3"));
    EXPECT_EQ(rs.field("NEG").asString(), "-99.99");
    EXPECT_EQ(rs.field("TRIPLO").asString(), "0.3");
    // Six decimals kept as four, half away from zero.
    EXPECT_EQ(rs.field("C").asString(), "1.2346");
    EXPECT_EQ(rs.field("MENOS_C").asString(), "-1.2346");
    EXPECT_EQ(rs.field("E").asString(), "123.4");

    const FieldDef& a = *rs.findFieldDef("A");
    EXPECT_EQ(a.type, FieldType::Fixed);
    EXPECT_EQ(a.width, 15);
    EXPECT_EQ(a.decimals, 2);
    EXPECT_EQ(rs.findFieldDef("E")->width, 4);
    EXPECT_EQ(rs.findFieldDef("SOMA")->width, 18);  // an expression: by its storage

    db.execute("delete from T");
    db.execute("insert into T (A, B) values (?, ?)", {D("9999999999999.99"), D("-9999999999999.99")});
    db.open(rs, "select A, B from T");
    EXPECT_EQ(rs.field("A").asString(), "9999999999999.99");
    EXPECT_EQ(rs.field("B").asString(), "-9999999999999.99");
}

TEST_F(Db, NumericBeyondTheProgramRangeIsAClearError) {
    try {
        RecordSet rs("rs");
        db.open(rs, "select cast(9999999999999999.99 as numeric(18,2)) as BIG from rdb$database");
        FAIL() << "no error";
    } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("9999999999999999.99 de BIG"), std::string::npos) << e.what();
        EXPECT_NE(e.sql().find("BIG"), std::string::npos);
    }
}

TEST_F(Db, FloatsDatesTimesAndBooleans) {
    db.execute("create table T (F double precision, G float, D date, H time, TS timestamp, B boolean)");
    db.execute("insert into T values (0.1, 0.5, '2007-01-31', '10:22:33.456', '2008-02-29 23:59:58.123', true)");
    db.execute("insert into T (TS) values ('2007-03-05 00:00:00')");
    RecordSet rs("rs");
    db.open(rs, "select * from T order by D nulls last");
    EXPECT_EQ(rs.findFieldDef("F")->type, FieldType::Float);
    EXPECT_EQ(rs.field("F").asString(), "0.1");
    EXPECT_EQ(rs.field("G").asString(), "0.5");
    EXPECT_EQ(rs.findFieldDef("D")->type, FieldType::Date);
    EXPECT_EQ(rs.field("D").asString(), "31/01/2007");
    EXPECT_EQ(rs.findFieldDef("H")->type, FieldType::Time);
    EXPECT_EQ(rs.field("H").asString(), "10:22:33");
    EXPECT_EQ(std::get<TimeOfDay>(rs.field("H").value()).millisecond(), 456);
    EXPECT_EQ(rs.findFieldDef("TS")->type, FieldType::SQLDateTime);
    EXPECT_EQ(rs.field("TS").asString(), "29/02/2008 23:59:58");
    EXPECT_EQ(std::get<DateTime>(rs.field("TS").value()).time.millisecond(), 123);
    EXPECT_EQ(rs.field("B").asString(), "True");
    rs.next();
    EXPECT_EQ(rs.field("TS").asString(), "05/03/2007");  // midnight: the date alone
}

TEST_F(Db, TextKeepsCharPaddingAndIsWindows1252InTheDatabase) {
    db.execute("create table T (C char(6), V varchar(12))");
    db.execute("insert into T values ('AB', 'JOSÉ')");  // a UTF-8 literal in the SQL text
    db.execute("insert into T values (?, ?)", {S("ÇÃ"), S("CONCEIÇÃO")});
    RecordSet rs("rs");
    db.open(rs, "select C, V, octet_length(V) as BYTES, ascii_val(substring(V from 4 for 1)) as QUARTA"
                " from T order by V");
    EXPECT_EQ(rs.findFieldDef("C")->width, 6);
    EXPECT_EQ(rs.field("C").asString(), "ÇÃ    ");
    EXPECT_EQ(rs.field("V").asString(), "CONCEIÇÃO");
    EXPECT_EQ(rs.field("BYTES").asInteger(), 9);  // one byte a character
    rs.next();
    EXPECT_EQ(rs.field("C").asString(), "AB    ");
    EXPECT_EQ(rs.field("V").asString(), "JOSÉ");
    EXPECT_EQ(rs.field("QUARTA").asInteger(), 0xC9);  // É in Windows-1252

    // Found by a parameter and by a literal, both converted the same way.
    EXPECT_EQ(scalar("select count(*) from T where V = 'JOSÉ'"), "1");
    db.open(rs, "select V from T where V = ?", {S("CONCEIÇÃO")});
    EXPECT_EQ(rs.recordCount(), 1);
}

TEST_F(Db, TextThatWindows1252LacksIsRefused) {
    db.execute("create table T (V varchar(12))");
    EXPECT_THROW(db.execute("insert into T values ('☃')"), DatabaseError);
    EXPECT_THROW(db.execute("insert into T values (?)", {S("☃")}), DatabaseError);
    EXPECT_EQ(scalar("select count(*) from T"), "0");
}

TEST_F(Db, TooLongParameterNamesTheParameter) {
    db.execute("create table T (V varchar(3))");
    try {
        db.execute("insert into T values (?)", {S("ABCD")});
        FAIL() << "no error";
    } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("Parâmetro 1"), std::string::npos) << e.what();
        EXPECT_EQ(e.sql(), "insert into T values (?)");
    }
}

TEST_F(Db, BlobsAreReadWhole) {
    db.execute("create table T (M blob sub_type 1, B blob sub_type 0)");
    std::string text;
    while (utf8Length(text) < 100000) text += "AÇÃO é 100% ";
    std::string bytes;
    for (int i = 0; i < 100 * 1024; ++i) bytes.push_back(static_cast<char>(i * 7 % 256));
    db.execute("insert into T values (?, ?)", {S(text), S(bytes)});
    RecordSet rs("rs");
    db.open(rs, "select M, B, octet_length(M) as MB from T");
    EXPECT_EQ(rs.findFieldDef("M")->type, FieldType::Memo);
    EXPECT_EQ(rs.findFieldDef("B")->type, FieldType::Blob);
    EXPECT_EQ(rs.field("M").asString(), text);
    EXPECT_EQ(rs.field("MB").asInteger(), static_cast<std::int64_t>(utf8Length(text)));
    EXPECT_EQ(std::get<std::string>(rs.field("B").value()), bytes);
}

TEST_F(Db, FieldNamesAreTheAliasesAndRepeatsAreNumbered) {
    db.execute("create table T (A integer)");
    db.execute("insert into T values (1)");
    RecordSet rs("rs");
    db.open(rs, "select a as valor, a as \"Quoted\", a, a, current_role as papel from T");
    std::vector<std::string> names;
    for (const auto& f : rs.fields()) names.push_back(f.name);
    EXPECT_EQ(names, (std::vector<std::string>{"VALOR", "Quoted", "A", "A_1", "PAPEL"}));
    EXPECT_EQ(rs.field("valor").asInteger(), 1);
    // The role the product names does not exist here; Firebird ignores it.
    EXPECT_EQ(rs.field("PAPEL").asString(), "NONE");
}

TEST_F(Db, QueryErrorCarriesStatementAndFirebirdReason) {
    RecordSet rs("rs");
    db.open(rs, "select 1 as X from rdb$database");
    const std::string sql = "select * from NAO_EXISTE";
    try {
        db.open(rs, sql);
        FAIL() << "no error";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.sql(), sql);
        EXPECT_NE(e.reason().find("Table unknown"), std::string::npos) << e.reason();
        EXPECT_NE(e.reason().find("NAO_EXISTE"), std::string::npos);
        const std::string what = e.what();
        EXPECT_NE(what.find(sql), std::string::npos);
        EXPECT_NE(what.find("Table unknown"), std::string::npos);
        EXPECT_NE(e.code(), 0);
    }
    EXPECT_FALSE(rs.active());  // closed, not left with the old rows
    EXPECT_THROW(db.open(rs, "delete from rdb$database"), DatabaseError);  // not a query: not run
    EXPECT_THROW(db.execute("update NAO_EXISTE set A = 1"), DatabaseError);
    EXPECT_TRUE(db.isConnected());
}

TEST(Connection, MissingDatabaseIsAClearError) {
    const fs::path dir = makeTempDir();
    // Local paths are opened by the embedded engine as absolute paths; host:path goes to a server.
    const std::pair<std::string, std::string> cases[] = {
        {(dir / "nada.fdb").string(), (dir / "nada.fdb").string()},
        {"tcese-no-such-dir/nada.fdb", (fs::current_path() / "tcese-no-such-dir/nada.fdb").string()},
        {"localhost:/tcese-no-such-dir/nada.fdb", "localhost:/tcese-no-such-dir/nada.fdb"},
    };
    for (const auto& [path, shown] : cases) {
        Connection db;
        db.setDatabase(path);
        try {
            db.connect();
            ADD_FAILURE() << "no error for " << path;
        } catch (const DatabaseError& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind("Não foi possível abrir a base de dados " + shown + ":\n", 0), 0u) << what;
            EXPECT_FALSE(e.reason().empty());
        }
        EXPECT_FALSE(db.isConnected());
        RecordSet rs("rs");
        EXPECT_THROW(db.open(rs, "select 1 from rdb$database"), DatabaseError);
        EXPECT_THROW(db.startTransaction(), DatabaseError);
    }
    fs::remove_all(dir);
}

TEST(Connection, BeforeConnectSetsThePathAndCreateRefusesAnExistingFile) {
    const fs::path dir = makeTempDir();
    const std::string path = (dir / "b.fdb").string();
    Connection::createDatabase(path);
    EXPECT_THROW(Connection::createDatabase(path), DatabaseError);
    Connection db;
    db.setBeforeConnect([&](Connection& c) { c.setDatabase(path); });
    db.connect();
    EXPECT_TRUE(db.isConnected());
    RecordSet rs("rs");
    db.open(rs, "select mon$sql_dialect as D, mon$page_size as P, rdb$character_set_name as CS"
                " from mon$database cross join rdb$database");
    EXPECT_EQ(rs.field("D").asInteger(), 3);
    EXPECT_EQ(rs.field("P").asInteger(), 8192);
    EXPECT_EQ(rs.field("CS").asString().substr(0, 7), "WIN1252");
    db.close();
    EXPECT_FALSE(db.isConnected());
    fs::remove_all(dir);
}

TEST_F(Db, SharedTransactionIsReadCommittedAcrossConnections) {
    db.execute("create table T (A integer)");
    Connection other;
    other.setDatabase(path);
    other.connect();

    EXPECT_THROW(db.commit(), DatabaseError);
    EXPECT_NO_THROW(db.rollback());
    db.startTransaction();
    EXPECT_TRUE(db.inTransaction());
    EXPECT_THROW(db.startTransaction(), DatabaseError);
    db.execute("insert into T values (1)");
    EXPECT_EQ(scalar("select count(*) from T"), "1");  // our own uncommitted row
    RecordSet rs("rs");
    other.open(rs, "select count(*) from T");
    EXPECT_EQ(rs.field(0).asInteger(), 0);
    db.rollback();
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(scalar("select count(*) from T"), "0");

    db.startTransaction();
    db.execute("insert into T values (2)");
    db.commit();
    other.open(rs, "select count(*) from T");
    EXPECT_EQ(rs.field(0).asInteger(), 1);
}

TEST_F(Db, SnapshotSeesTheDatabaseAsItWasAndWritesNothing) {
    db.execute("create table T (A integer)");
    Connection other;
    other.setDatabase(path);
    other.connect();

    db.startSnapshot();
    EXPECT_TRUE(db.inTransaction());
    EXPECT_THROW(db.startTransaction(), DatabaseError);
    other.execute("insert into T values (1)");  // committed at once
    EXPECT_EQ(scalar("select count(*) from T"), "0");
    EXPECT_THROW(db.execute("insert into T values (2)"), DatabaseError);  // read only
    db.rollback();
    EXPECT_EQ(scalar("select count(*) from T"), "1");
}

TEST_F(Db, PreparedStatementConvertsParametersToTheDeclaredTypes) {
    db.execute("create table T (N numeric(15,2), I smallint, D date, TS timestamp, F double precision,"
               " C char(3), B boolean)");
    Statement ins = db.prepare("insert into T values (?, ?, ?, ?, ?, ?, ?)");
    struct Case {
        std::vector<Value> params;
        const char* expected;  // N|I|D|TS|F|C|B
    };
    const Case cases[] = {
        {{D("10.5"), I(7), Value(makeDate(2007, 1, 31)), Value(DateTime{makeDate(2007, 1, 31), TimeOfDay::of(10, 20, 30)}),
          Value(0.25), S("X"), Value(true)},
         "10.5|7|31/01/2007|31/01/2007 10:20:30|0.25|X  |True"},
        {{S("1234,56"), S("-3"), S("05/03/2007"), S("05/03/2007 08:00"), S("1.5"), S("ÁÉÍ"), S("F")},
         "1234.56|-3|05/03/2007|05/03/2007 08:00:00|1.5|ÁÉÍ|False"},
        {{I(3), D("2"), Value(DateTime{makeDate(2008, 2, 29), {}}), Value(makeDate(2008, 2, 29)), D("0.1"),
          Value(std::monostate{}), I(1)},
         "3|2|29/02/2008|29/02/2008|0.1||True"},
        {{D("0.005"), Value(std::monostate{}), S(""), Value(std::monostate{}), I(2), S(""), Value(std::monostate{})},
         "0.01||||2|   |"},
    };
    for (const auto& c : cases) {
        db.execute("delete from T");
        ins.execute(c.params);
        RecordSet rs("rs");
        db.open(rs, "select * from T");
        std::string got;
        for (int i = 0; i < rs.fieldCount(); ++i) got += (i ? "|" : "") + rs.field(i).asString();
        EXPECT_EQ(got, c.expected);
    }
    EXPECT_THROW(ins.execute({I(1)}), DatabaseError);  // wrong count
    EXPECT_THROW(ins.bind(0, S("abc")), DatabaseError);  // not a number
    EXPECT_THROW(ins.bind(1, I(40000)), DatabaseError);  // beyond SMALLINT
    EXPECT_THROW(ins.bind(2, S("31/02/2007")), DatabaseError);
}

TEST_F(Db, StatementOutlivingTheConnectionFailsCleanly) {
    db.execute("create table T (A integer)");
    Statement ins = db.prepare("insert into T values (?)");
    Cursor cur = db.openCursor("select rdb$relation_name from rdb$relations");
    ASSERT_TRUE(cur.fetch());
    db.close();
    EXPECT_THROW(ins.execute({I(1)}), DatabaseError);
    EXPECT_THROW(cur.fetch(), DatabaseError);
    db.connect();
    EXPECT_EQ(scalar("select count(*) from T"), "0");
}

TEST_F(Db, CursorReadsRowByRow) {
    db.execute("create table T (A integer, B varchar(5))");
    db.execute("insert into T values (1, 'um')");
    db.execute("insert into T values (2, 'dois')");
    Cursor cur = db.openCursor("select A, B from T where A >= ? order by A", {I(1)});
    ASSERT_EQ(cur.fields().size(), 2u);
    std::string got;
    while (cur.fetch()) got += valueToText(cur.value(0)) + "=" + valueToText(cur.value(1)) + ";";
    EXPECT_EQ(got, "1=um;2=dois;");
    EXPECT_FALSE(cur.fetch());
    EXPECT_THROW(cur.value(0), DatabaseError);
}

TEST_F(Db, ScriptWithSetTermAndASelectableProcedure) {
    db.executeScript(R"(
SET SQL DIALECT 3;
SET NAMES WIN1252;
/* the schema; a comment with ; inside */
CREATE TABLE CONTA (ID INTEGER NOT NULL, NOME VARCHAR(30), VALOR NUMERIC(15,2)); -- trailing ; comment
INSERT INTO CONTA VALUES (1, 'PÃO; LEITE', 10.50);
INSERT INTO CONTA VALUES (2, 'D''ÁGUA', 2.25);
COMMIT WORK;
SET TERM ^ ;
CREATE PROCEDURE CONCILIA (DATA VARCHAR(10))
RETURNS (ID INTEGER, NOME VARCHAR(30), DOBRO NUMERIC(15,2))
AS
BEGIN
  FOR SELECT ID, NOME, VALOR * 2 FROM CONTA ORDER BY ID INTO :ID, :NOME, :DOBRO DO
  BEGIN
    NOME = NOME || ' ' || DATA;
    SUSPEND;
  END
END^
SET TERM ; ^
INSERT INTO CONTA VALUES (3, 'TRÊS', 0.01)
)");
    RecordSet rs("rs");
    db.open(rs, "select * from CONCILIA('01.03.2007')");
    ASSERT_EQ(rs.recordCount(), 3);
    EXPECT_EQ(rs.field("NOME").asString(), "PÃO; LEITE 01.03.2007");
    EXPECT_EQ(rs.field("DOBRO").asString(), "21");
    EXPECT_EQ(rs.findFieldDef("DOBRO")->width, 15);
    rs.next();
    EXPECT_EQ(rs.field("NOME").asString(), "D'ÁGUA 01.03.2007");
    rs.next();
    EXPECT_EQ(rs.field("DOBRO").asString(), "0.02");
}

TEST_F(Db, ScriptErrorNamesTheLineAndKeepsWhatWasCommitted) {
    try {
        db.executeScript("create table A (X integer);\ninsert into A values (1);\n\ninsert into B values (2);\n");
        FAIL() << "no error";
    } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("linha 4"), std::string::npos) << e.what();
        EXPECT_EQ(e.sql(), "insert into B values (2)");
    }
    EXPECT_EQ(scalar("select count(*) from A"), "0");  // the table stays, the insert is rolled back
    EXPECT_THROW(db.executeScript("insert into A values ('unterminated);"), DatabaseError);
    EXPECT_THROW(db.executeScript("set sql dialect 1;"), DatabaseError);
}

TEST_F(Db, ScriptInsideTheSharedTransaction) {
    db.startTransaction();
    db.executeScript("create table A (X integer); insert into A values (5);");
    EXPECT_TRUE(db.inTransaction());
    EXPECT_EQ(scalar("select X from A"), "5");
    db.rollback();
    EXPECT_EQ(scalar("select count(*) from A"), "0");
}

// ---- Applying changes ----------------------------------------------------------

class Apply : public Db {
protected:
    void SetUp() override {
        Db::SetUp();
        db.executeScript(
            "create table CONTA (ID integer not null primary key, NOME varchar(20) not null,"
            " VALOR numeric(15,2), OBS blob sub_type 1, DATA date);"
            "create table GRUPO (ID integer, DESCR varchar(10));"
            "insert into CONTA values (1, 'UM', 1.10, 'obs', '2007-01-01');"
            "insert into CONTA values (2, 'DOIS', null, null, null);"
            "insert into CONTA values (3, 'TRÊS', 3.30, null, '2007-03-03');"
            "insert into GRUPO values (1, 'G1');");
    }

    std::string table() {
        RecordSet rs("check");
        db.open(rs, "select ID, NOME, VALOR, DATA from CONTA order by ID");
        std::string out;
        for (; !rs.eof(); rs.next())
            out += rs.field(0).asString() + "," + rs.field(1).asString() + "," + rs.field(2).asString() + "," +
                   rs.field(3).asString() + ";";
        return out;
    }
};

TEST_F(Apply, InsertUpdateAndDeleteAreWritten) {
    RecordSet& rs = dm.CdsAux;
    // Columns of other tables and expressions are read, never written.
    db.open(rs, "select c.*, g.DESCR, c.VALOR * 2 as DOBRO from CONTA c left join GRUPO g on g.ID = c.ID order by c.ID");
    EXPECT_EQ(rs.source().updateTable, "CONTA");
    rs.edit();
    rs.field("NOME").setAsString("UM ALTERADO");
    rs.field("DESCR").setAsString("nada");
    rs.post();
    rs.next();
    rs.edit();
    rs.field("VALOR").setAsString("-99,99");  // was NULL: found by IS NULL
    rs.post();
    rs.next();
    rs.deleteRecord();
    rs.append();
    rs.field("ID").setAsInteger(4);
    rs.field("NOME").setAsString("QUATRO");
    rs.field("DATA").setAsString("29/02/2008");
    rs.post();
    EXPECT_EQ(rs.changeCount(), 4);

    EXPECT_EQ(db.applyUpdates(rs), 0);
    EXPECT_TRUE(db.lastApplyErrorMessages().empty());
    EXPECT_EQ(rs.changeCount(), 0);
    EXPECT_FALSE(db.inTransaction());  // its own transaction, committed
    EXPECT_EQ(table(), "1,UM ALTERADO,1.1,01/01/2007;2,DOIS,-99.99,;4,QUATRO,,29/02/2008;");
    EXPECT_EQ(scalar("select OBS from CONTA where ID = 1"), "obs");
}

TEST_F(Apply, AFailedRowIsCountedAndNothingIsCommitted) {
    RecordSet& rs = dm.CdsAux;
    db.open(rs, "select * from CONTA order by ID");
    rs.edit();
    rs.field("NOME").setAsString("NOVO NOME");
    rs.post();
    rs.append();
    rs.field("ID").setAsInteger(2);  // a key that exists
    rs.field("NOME").setAsString("REPETIDO");
    rs.append();
    rs.field("ID").setAsInteger(9);  // NOME is required by the table
    rs.post();

    EXPECT_EQ(dm.saveChanges(rs), 2);
    EXPECT_EQ(dm.lastApplyErrors, 2);
    ASSERT_EQ(db.lastApplyErrorMessages().size(), 2u);
    EXPECT_NE(db.lastApplyErrorMessages()[0].find("PRIMARY"), std::string::npos) << db.lastApplyErrorMessages()[0];
    EXPECT_NE(db.lastApplyErrorMessages()[1].find("NOME"), std::string::npos) << db.lastApplyErrorMessages()[1];
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(table(), "1,UM,1.1,01/01/2007;2,DOIS,,;3,TRÊS,3.3,03/03/2007;");  // the good edit rolled back too
    EXPECT_EQ(rs.changeCount(), 3);  // nothing lost: the user may fix and save again

    // Fixed and saved again: all three rows go in.
    rs.last();
    rs.edit();
    rs.field("NOME").setAsString("NOVE");
    rs.post();
    rs.locate("NOME", "REPETIDO");
    rs.edit();
    rs.field("ID").setAsInteger(5);
    rs.post();
    EXPECT_EQ(dm.saveChanges(rs), 0);
    EXPECT_EQ(table(), "1,NOVO NOME,1.1,01/01/2007;2,DOIS,,;3,TRÊS,3.3,03/03/2007;5,REPETIDO,,;9,NOVE,,;");
    EXPECT_EQ(rs.changeCount(), 0);
}

TEST_F(Apply, NothingPendingCommitsAndReportsSuccess) {
    RecordSet& rs = dm.CdsAux;
    db.open(rs, "select * from CONTA");
    dm.lastApplyErrors = 5;  // whatever the previous save found
    db.startTransaction();
    db.execute("insert into GRUPO values (2, 'G2')");  // a screen's statement in the same transaction
    EXPECT_EQ(dm.saveChanges(rs), 0);
    EXPECT_EQ(dm.lastApplyErrors, 0);
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(scalar("select count(*) from GRUPO"), "2");
}

TEST_F(Apply, RowChangedUnderneathIsNotFound) {
    RecordSet& rs = dm.CdsAux;
    db.open(rs, "select * from CONTA where ID = 3");
    db.execute("update CONTA set VALOR = 4 where ID = 3");
    rs.edit();
    rs.field("NOME").setAsString("X");
    rs.post();
    rs.append();
    rs.field("ID").setAsInteger(7);
    rs.field("NOME").setAsString("SETE");
    rs.post();
    EXPECT_EQ(db.applyUpdates(rs), 1);  // own transaction, rolled back
    ASSERT_EQ(db.lastApplyErrorMessages().size(), 1u);
    EXPECT_NE(db.lastApplyErrorMessages()[0].find("Registro não encontrado"), std::string::npos);
    EXPECT_EQ(scalar("select count(*) from CONTA where ID = 7"), "0");
    EXPECT_EQ(rs.changeCount(), 2);
    // maxErrors 0: the first failure stops the rest.
    EXPECT_EQ(db.applyUpdates(rs, 0), 1);
    EXPECT_EQ(db.lastApplyErrorMessages().size(), 1u);
}

TEST_F(Apply, RecordSetWithoutTableCannotBeApplied) {
    RecordSet& rs = dm.CdsAux;
    db.open(rs, "select * from (select ID, NOME from CONTA)");
    EXPECT_EQ(rs.source().updateTable, "");
    rs.edit();
    rs.field("NOME").setAsString("Z");
    rs.post();
    EXPECT_THROW(db.applyUpdates(rs), DatabaseError);
    EXPECT_EQ(rs.changeCount(), 1);
}

TEST(FirstTableOfQuery, Cases) {
    const std::pair<const char*, const char*> cases[] = {
        {"select * from cadcli", "CADCLI"},
        {"SELECT A.X, (SELECT MAX(Y) FROM OUTRA) FROM despes a JOIN b ON 1=1", "DESPES"},
        {"select 'from X' as t, \"from\" from \"Minha Tabela\" t", "Minha Tabela"},
        {"select /* from C */ x -- from D\n from\n\tCONPLA where 1=1", "CONPLA"},
        {"select * from (select 1 from E)", ""},
        {"select * from CONCILIA('01.01.2007')", "CONCILIA"},
        {"select 1", ""},
        {"select rdb$relation_name from rdb$relations", "RDB$RELATIONS"},
    };
    for (auto [sql, table] : cases) EXPECT_EQ(firstTableOfQuery(sql), table) << sql;
}

}  // namespace

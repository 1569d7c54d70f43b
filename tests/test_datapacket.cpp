#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "config/encoding.h"
#include "data/datapacket.h"

using namespace tcese;
namespace fs = std::filesystem;

namespace {

std::vector<FieldDef> logFields() {
    return {{"ARQUIVO", FieldType::String, 50}, {"STATUS", FieldType::String, 100}, {"LINHA", FieldType::Int32},
            {"DESCRICAO", FieldType::String, 5000}, {"RESOLVER", FieldType::String, 5000}, {"DATA", FieldType::Date},
            {"HORA", FieldType::Time}};
}

RecordSet emptyTable(const std::vector<FieldDef>& defs, std::string name = "T") {
    RecordSet rs(std::move(name));
    for (const auto& d : defs) rs.addField(d);
    rs.createDataSet();
    return rs;
}

void appendRow(RecordSet& rs, const std::vector<Value>& values) {
    rs.append();
    for (std::size_t i = 0; i < values.size(); ++i) rs.field(static_cast<int>(i)).setValue(values[i]);
    rs.post();
}

RecordSet reload(const RecordSet& rs) {
    RecordSet back("BACK");
    loadDatapacketFromString(back, datapacketToString(rs));
    return back;
}

std::string readBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& p, std::string_view bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class DatapacketFile : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        dir_ = fs::temp_directory_path() /
               ("tcese_dp_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
};

constexpr std::string_view kDecl = "<?xml version=\"1.0\" standalone=\"yes\"?>";

}  // namespace

TEST(DatapacketEscape, EachCharacterOfTheTableAndBeyondCp1252) {
    const struct {
        const char* text;
        const char* written;
    } cases[] = {
        {"a<b>c", "a&lt;b&gt;c"},
        {"P&D", "P&amp;D"},
        {"'x'", "&apos;x&apos;"},
        {"\"x\"", "&quot;x&quot;"},
        {"1\r\n2", "1&#013;&#010;2"},
        {"a\tb", "a&#009;b"},
        {"C:\\VORA", "C:&#092;VORA"},
        {"JOSÉ €", "JOS\xC9 \x80"},
        {"plain text 123 =;/", "plain text 123 =;/"},
        {"ł", "&#322;"},       // not in Windows-1252
        {"ok 😀", "ok &#128512;"},  // nor is an emoji
    };
    for (const auto& c : cases) {
        EXPECT_EQ(escapeDatapacketValue(c.text), c.written) << c.text;
        RecordSet rs = emptyTable({{"T", FieldType::String, 20}});
        appendRow(rs, {std::string(c.text)});
        const std::string xml = datapacketToString(rs);
        EXPECT_NE(xml.find(std::string("T=\"") + c.written + "\""), std::string::npos) << xml;
        RecordSet back = reload(rs);
        EXPECT_EQ(back.field("T").asString(), c.text);
    }
}

TEST(DatapacketEscape, ControlCharactersXmlCannotCarryAreRefused) {
    EXPECT_THROW(escapeDatapacketValue(std::string("a\x01", 2)), DatapacketError);
    EXPECT_THROW(escapeDatapacketValue(std::string("a\0b", 3)), DatapacketError);
    EXPECT_THROW(escapeDatapacketValue("bad \xC3"), DatapacketError);  // broken UTF-8

    RecordSet rs = emptyTable({{"A", FieldType::String, 10}, {"DESCRICAO", FieldType::String, 10}});
    appendRow(rs, {std::string("ok"), std::string("ok")});
    appendRow(rs, {std::string("ok"), std::string("x\x1Ay")});
    try {
        datapacketToString(rs);
        FAIL() << "no error";
    } catch (const DatapacketError& e) {
        const std::string m = e.what();
        EXPECT_NE(m.find("registro 2"), std::string::npos) << m;
        EXPECT_NE(m.find("DESCRICAO"), std::string::npos) << m;
        EXPECT_NE(m.find("0x1A"), std::string::npos) << m;
    }
}

TEST(DatapacketLayout, EmptyLogHasItsSevenFieldsAndEmptyRowdata) {
    RecordSet log = emptyTable(logFields(), "CdsLog");
    const std::string expected =
        std::string(kDecl) +
        "\r\n<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
        "<FIELD attrname=\"ARQUIVO\" fieldtype=\"string\" WIDTH=\"50\"/>"
        "<FIELD attrname=\"STATUS\" fieldtype=\"string\" WIDTH=\"100\"/>"
        "<FIELD attrname=\"LINHA\" fieldtype=\"i4\"/>"
        "<FIELD attrname=\"DESCRICAO\" fieldtype=\"string\" WIDTH=\"5000\"/>"
        "<FIELD attrname=\"RESOLVER\" fieldtype=\"string\" WIDTH=\"5000\"/>"
        "<FIELD attrname=\"DATA\" fieldtype=\"date\"/>"
        "<FIELD attrname=\"HORA\" fieldtype=\"time\"/>"
        "</FIELDS><PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>\r\n";
    EXPECT_EQ(datapacketToString(log), expected);

    RecordSet back = reload(log);
    EXPECT_TRUE(back.active());
    EXPECT_EQ(back.recordCount(), 0);
    ASSERT_EQ(back.fieldCount(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(back.fields()[i].name, logFields()[i].name);
        EXPECT_EQ(back.fields()[i].type, logFields()[i].type);
        EXPECT_EQ(back.fields()[i].width, logFields()[i].width);
    }
}

TEST(DatapacketLayout, FieldFlagsDecimalsAndRowState) {
    FieldDef key{"CODIGO", FieldType::Int32};
    key.readonly = key.required = key.hidden = key.linkfield = true;
    RecordSet rs = emptyTable({key, {"VALOR", FieldType::Fixed, 15, 2}});
    appendRow(rs, {std::int64_t{7}, Decimal::parse("-0.5")});
    const std::string xml = datapacketToString(rs);
    EXPECT_NE(xml.find("<FIELD attrname=\"CODIGO\" fieldtype=\"i4\" readonly=\"true\" required=\"true\" "
                       "hidden=\"true\" linkfield=\"true\"/>"
                       "<FIELD attrname=\"VALOR\" fieldtype=\"fixed\" WIDTH=\"15\" DECIMALS=\"2\"/>"),
              std::string::npos)
        << xml;
    // Appended to a table created empty: a pending insert.
    EXPECT_NE(xml.find("<ROWDATA><ROW RowState=\"4\" CODIGO=\"7\" VALOR=\"-0.5\"/></ROWDATA>"), std::string::npos) << xml;

    RecordSet back = reload(rs);
    const FieldDef& k = back.fields()[0];
    EXPECT_TRUE(k.readonly && k.required && k.hidden && k.linkfield);
    EXPECT_EQ(back.fields()[1].decimals, 2);
    EXPECT_EQ(back.rows()[0].state, RowState::Unchanged);
    // Once merged, rows are no longer pending inserts.
    back.mergeChangeLog();
    EXPECT_NE(datapacketToString(back).find("<ROW CODIGO=\"7\""), std::string::npos);
}

TEST(DatapacketTypes, EveryTypeIsWrittenAsTheLayoutSaysAndReadsBack) {
    const struct {
        FieldDef def;
        Value value;
        const char* written;
    } cases[] = {
        {{"S", FieldType::String, 10}, std::string("abc"), "abc"},
        {{"S", FieldType::Int16}, std::int64_t{-5}, "-5"},
        {{"S", FieldType::Int32}, std::int64_t{2147483647}, "2147483647"},
        {{"S", FieldType::Int64}, std::int64_t{-9000000000}, "-9000000000"},
        {{"S", FieldType::Float}, 0.1, "0.1"},
        {{"S", FieldType::Float}, -2.5e-7, "-2.5e-07"},
        {{"S", FieldType::Fixed, 15, 2}, Decimal::parse("-1234.56"), "-1234.56"},
        {{"S", FieldType::Fixed, 15, 2}, Decimal::parse("0.05"), "0.05"},
        {{"S", FieldType::FixedFMT, 15, 2}, Decimal::parse("100"), "100"},
        {{"S", FieldType::Boolean}, true, "TRUE"},
        {{"S", FieldType::Boolean}, false, "FALSE"},
        {{"S", FieldType::Date}, makeDate(2008, 1, 31), "20080131"},
        {{"S", FieldType::Time}, TimeOfDay::of(8, 5, 7, 250), "08:05:07250"},
        {{"S", FieldType::Time}, TimeOfDay::of(10, 22, 33), "10:22:33000"},
        {{"S", FieldType::Time}, TimeOfDay::of(0, 0, 0), "00:00:00000"},
        {{"S", FieldType::DateTime}, DateTime{makeDate(2007, 3, 1), {}}, "20070301"},
        {{"S", FieldType::DateTime}, DateTime{makeDate(2007, 3, 1), TimeOfDay::of(23, 59, 59, 999)},
         "20070301T23:59:59999"},
        {{"S", FieldType::SQLDateTime}, DateTime{makeDate(1999, 12, 31), TimeOfDay::of(0, 0, 1)}, "19991231T00:00:01000"},
        {{"S", FieldType::Memo}, std::string("linha 1\r\nlinha 2"), "linha 1&#013;&#010;linha 2"},
        {{"S", FieldType::Blob}, std::string("\x00\xFF\x41", 3), "AP9B"},
        {{"S", FieldType::Blob}, std::string("\xFB\xEF", 2), "++8="},
        {{"S", FieldType::Blob}, std::string("\x00", 1), "AA=="},
        {{"S", FieldType::Blob}, std::string(), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        RecordSet rs = emptyTable({c.def});
        appendRow(rs, {c.value});
        const std::string xml = datapacketToString(rs);
        EXPECT_NE(xml.find(std::string(" S=\"") + c.written + "\"/>"), std::string::npos) << xml;

        RecordSet back = reload(rs);
        ASSERT_EQ(back.recordCount(), 1);
        EXPECT_EQ(back.fields()[0].type, c.def.type);
        EXPECT_EQ(back.fields()[0].width, c.def.width);
        EXPECT_EQ(back.fields()[0].decimals, c.def.decimals);
        EXPECT_EQ(back.valueAt(0, 0), c.value);
    }
}

TEST(DatapacketTypes, ValuesOfAnotherKindAreConvertedByTheField) {
    const struct {
        FieldDef def;
        Value value;
        const char* written;  // nullptr: absent (NULL)
    } cases[] = {
        {{"S", FieldType::Date}, DateTime{makeDate(2007, 1, 2), TimeOfDay::of(5, 0, 0)}, "20070102"},
        {{"S", FieldType::DateTime}, makeDate(2007, 1, 2), "20070102"},
        {{"S", FieldType::Int32}, std::string("12"), "12"},
        {{"S", FieldType::Fixed, 15, 2}, std::int64_t{3}, "3"},
        {{"S", FieldType::String, 10}, std::int64_t{42}, "42"},
        {{"S", FieldType::Date}, std::string(""), nullptr},
    };
    for (const auto& c : cases) {
        RecordSet rs = emptyTable({c.def});
        appendRow(rs, {c.value});
        const std::string xml = datapacketToString(rs);
        if (c.written)
            EXPECT_NE(xml.find(std::string(" S=\"") + c.written + "\""), std::string::npos) << xml;
        else
            EXPECT_NE(xml.find("<ROW RowState=\"4\"/>"), std::string::npos) << xml;
    }
    RecordSet bad = emptyTable({{"QTD", FieldType::Int32}});
    appendRow(bad, {std::string("doze")});
    EXPECT_THROW(datapacketToString(bad), DatapacketError);
}

TEST(DatapacketTypes, NullStaysAbsentAndEmptyTextStaysEmpty) {
    RecordSet rs = emptyTable(logFields());
    appendRow(rs, {std::string(""), std::monostate{}, std::int64_t{3}, std::monostate{}, std::string("x"),
                   std::monostate{}, std::monostate{}});
    const std::string xml = datapacketToString(rs);
    EXPECT_NE(xml.find("<ROW RowState=\"4\" ARQUIVO=\"\" LINHA=\"3\" RESOLVER=\"x\"/>"), std::string::npos) << xml;

    RecordSet back = reload(rs);
    EXPECT_FALSE(back.field("ARQUIVO").isNull());
    EXPECT_EQ(back.field("ARQUIVO").asString(), "");
    EXPECT_TRUE(back.field("STATUS").isNull());
    EXPECT_TRUE(back.field("DESCRICAO").isNull());
    EXPECT_TRUE(back.field("DATA").isNull());
    EXPECT_TRUE(back.field("HORA").isNull());
}

TEST(DatapacketNames, NamesThatAreNotXmlNamesTravelAsFieldname) {
    RecordSet rs = emptyTable({{"NUM DOC", FieldType::String, 10},
                               {"VALOR#", FieldType::Int32},
                               {"NUM_DOC", FieldType::Int32},  // collides with the first one's attrname
                               {"RowState", FieldType::Int32},  // collides with the row-state attribute
                               {"1º PRAZO", FieldType::Int32},
                               {"SITUAÇÃO", FieldType::Int32}});  // a name of its own, in Windows-1252
    appendRow(rs, {std::string("A-1"), std::int64_t{1}, std::int64_t{2}, std::int64_t{3}, std::int64_t{4}, std::int64_t{5}});
    const std::string xml = datapacketToString(rs);
    EXPECT_NE(xml.find("<FIELD fieldname=\"NUM DOC\" attrname=\"NUM_DOC\" fieldtype=\"string\" WIDTH=\"10\"/>"),
              std::string::npos)
        << xml;
    EXPECT_NE(xml.find("<FIELD fieldname=\"VALOR#\" attrname=\"VALOR_\" fieldtype=\"i4\"/>"), std::string::npos) << xml;

    EXPECT_NE(xml.find("<FIELD attrname=\"SITUA\xC7\xC3O\" fieldtype=\"i4\"/>"), std::string::npos) << xml;

    RecordSet back = reload(rs);
    ASSERT_EQ(back.fieldCount(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(back.fields()[i].name, rs.fields()[i].name);
        EXPECT_EQ(back.valueAt(0, i), rs.valueAt(0, i)) << rs.fields()[i].name;
    }
}

TEST(DatapacketRead, DeclarationFormsAndCharacterReferences) {
    const std::string body =
        "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
        "<FIELD attrname=\"NOME\" fieldtype=\"string\" WIDTH=\"30\"/></FIELDS><PARAMS/></METADATA>"
        "<ROWDATA><ROW NOME=\"";
    const struct {
        const char* what;
        std::string bytes;
        const char* nome;
    } cases[] = {
        {"program's form, Windows-1252", std::string(kDecl) + body + "CONCEI\xC7\xC3O \x80\"/></ROWDATA></DATAPACKET>",
         "CONCEIÇÃO €"},
        {"UTF-8 declared", "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>" + body +
                               "CONCEIÇÃO €\"/></ROWDATA></DATAPACKET>",
         "CONCEIÇÃO €"},
        {"no declaration", body + "JOS\xC9\"/></ROWDATA></DATAPACKET>", "JOSÉ"},
        {"references", std::string(kDecl) + body + "&#128512;&#x142;&#13;&#10;&lt;\"/></ROWDATA></DATAPACKET>",
         "😀ł\r\n<"},
    };
    for (const auto& c : cases) {
        RecordSet rs;
        ASSERT_NO_THROW(loadDatapacketFromString(rs, c.bytes)) << c.what;
        EXPECT_EQ(rs.field("NOME").asString(), c.nome) << c.what;
    }
}

TEST(DatapacketRead, LayoutVariantsGiveTheSameTable) {
    const std::string compact =
        std::string(kDecl) +
        "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"COD\" fieldtype=\"i4\"/>"
        "<FIELD attrname=\"VAL\" fieldtype=\"fixed\" WIDTH=\"15\" DECIMALS=\"2\"/><FIELD attrname=\"OK\" "
        "fieldtype=\"boolean\"/><FIELD attrname=\"F\" fieldtype=\"r8\"/></FIELDS><PARAMS/></METADATA><ROWDATA>"
        "<ROW COD=\"1\" VAL=\"10.5\" OK=\"TRUE\" F=\"1.5\"/><ROW COD=\"2\" VAL=\"-3\" OK=\"FALSE\"/></ROWDATA>"
        "</DATAPACKET>";
    // Blanks and line breaks everywhere, row state, attributes out of field order,
    // comma decimals, booleans in any case, unknown attributes and elements.
    const std::string pretty =
        std::string(kDecl) +
        "\r\n<DATAPACKET Version=\"2.0\">\r\n  <METADATA>\r\n    <FIELDS>\r\n"
        "      <FIELD attrname=\"COD\" fieldtype=\"i4\"/>\r\n"
        "      <FIELD attrname=\"VAL\" fieldtype=\"fixed\" DECIMALS=\"2\" WIDTH=\"15\"/>\n"
        "      <FIELD attrname=\"OK\" fieldtype=\"boolean\"/>\n\t<FIELD attrname=\"F\" fieldtype=\"r8\" SUBTYPE=\"Money\"/>\n"
        "    </FIELDS>\n    <PARAMS LCID=\"1046\"/>\n  </METADATA>\n  <ROWDATA>\n"
        "    <ROW RowState=\"4\" OK=\"true\" VAL=\"10,5\" COD=\"1\" F=\"1,5\" EXTRA=\"x\"/>\n"
        "    <ROW RowState=\"4\" COD=\"2\" VAL=\"-3.00\" OK=\"False\"><X/></ROW>\n"
        "  </ROWDATA>\n</DATAPACKET>\n";
    RecordSet a, b;
    loadDatapacketFromString(a, compact);
    loadDatapacketFromString(b, pretty);
    ASSERT_EQ(a.recordCount(), 2);
    ASSERT_EQ(b.recordCount(), 2);
    EXPECT_EQ(a.fields()[1].width, 15);
    EXPECT_EQ(b.fields()[1].decimals, 2);
    for (int r = 0; r < 2; ++r)
        for (int f = 0; f < 4; ++f) EXPECT_EQ(a.valueAt(r, f), b.valueAt(r, f)) << r << "," << f;
    EXPECT_EQ(std::get<Decimal>(a.valueAt(0, 1)), Decimal::parse("10.5"));
    EXPECT_TRUE(isNull(a.valueAt(1, 3)));
}

TEST(DatapacketRead, FieldnameGivesTheNameAndAttrnameTheAttribute) {
    const std::string xml =
        std::string(kDecl) +
        "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
        "<FIELD fieldname=\"N\xBA DOC#\" attrname=\"N_DOC_\" fieldtype=\"string\" WIDTH=\"10\"/>"
        "<FIELD attrname=\"dt_AnoAtivacao\" fieldtype=\"string.uni\" WIDTH=\"8\"/>"
        "<FIELD attrname=\"nu_SequencialTC\" fieldtype=\"i8\"/></FIELDS><PARAMS/></METADATA>"
        "<ROWDATA><ROW N_DOC_=\"12/2007\" dt_AnoAtivacao=\"2007\" nu_SequencialTC=\"5\"/></ROWDATA></DATAPACKET>";
    RecordSet rs;
    loadDatapacketFromString(rs, xml);
    EXPECT_EQ(rs.field("Nº DOC#").asString(), "12/2007");
    EXPECT_EQ(rs.field("DT_ANOATIVACAO").asString(), "2007");  // names ignore case
    EXPECT_EQ(rs.fields()[1].width, 4);
    EXPECT_EQ(rs.fields()[2].type, FieldType::Int64);
    EXPECT_EQ(rs.field("nu_SequencialTC").asInteger(), 5);
}

TEST(DatapacketRead, BadInputNamesTheSourceAndLeavesTheTableAsItWas) {
    const std::string head = std::string(kDecl) + "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>";
    const std::string meta = head + "<FIELD attrname=\"LINHA\" fieldtype=\"i4\"/><FIELD attrname=\"DATA\" "
                                    "fieldtype=\"date\"/></FIELDS><PARAMS/></METADATA><ROWDATA>";
    const std::string good = meta + "<ROW LINHA=\"1\" DATA=\"20070131\"/></ROWDATA></DATAPACKET>";
    const struct {
        const char* what;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"empty", "", "no element found"},
        {"truncated", good.substr(0, good.size() - 20), "linha 1"},
        {"not XML", "LINHA;DATA\r\n1;20070131\r\n", "XML inválido"},
        {"broken tag", meta + "<ROW LINHA=\"1\" DATA=20070131/></ROWDATA></DATAPACKET>", "XML inválido"},
        {"another root", std::string(kDecl) + "<TABLE><ROW/></TABLE>", "TABLE"},
        {"no METADATA", std::string(kDecl) + "<DATAPACKET Version=\"2.0\"></DATAPACKET>", "METADATA"},
        {"no FIELDS", std::string(kDecl) + "<DATAPACKET Version=\"2.0\"><METADATA><PARAMS/></METADATA></DATAPACKET>",
         "FIELDS"},
        {"rows before fields",
         std::string(kDecl) + "<DATAPACKET Version=\"2.0\"><ROWDATA><ROW/></ROWDATA></DATAPACKET>", "ROWDATA"},
        {"integer", meta + "<ROW LINHA=\"abc\"/></ROWDATA></DATAPACKET>", "'abc'"},
        {"date", meta + "<ROW LINHA=\"1\" DATA=\"20070230\"/></ROWDATA></DATAPACKET>", "'20070230'"},
        {"date text", meta + "<ROW DATA=\"31/01/2007\"/></ROWDATA></DATAPACKET>", "DATA"},
        {"unknown type", head + "<FIELD attrname=\"X\" fieldtype=\"nested\"/></FIELDS></METADATA></DATAPACKET>",
         "nested"},
        {"no attrname", head + "<FIELD fieldtype=\"i4\"/></FIELDS></METADATA></DATAPACKET>", "attrname"},
        {"bad width", head + "<FIELD attrname=\"X\" fieldtype=\"string\" WIDTH=\"x\"/></FIELDS></METADATA></DATAPACKET>",
         "WIDTH"},
        {"repeated field",
         head + "<FIELD attrname=\"A\" fieldtype=\"i4\"/><FIELD attrname=\"a\" fieldtype=\"i4\"/></FIELDS></METADATA>"
                "</DATAPACKET>",
         "repetido"},
        // Rows read before a second description would not have its fields.
        {"second METADATA after the rows",
         "<DATAPACKET ><METADATA><FIELDS></FIELDS></METADATA><ROWDATA><ROW/><ROW/></ROWDATA>\n"
         "<METADATA><FIELDS><FIELD attrname=\"b\" fieldtype=\"string\" H=\"5\"/></FIELDS></METADATA></DATAPACKET>",
         "linha 2: METADATA repetido"},
        {"second METADATA before the rows",
         head + "<FIELD attrname=\"A\" fieldtype=\"i4\"/></FIELDS></METADATA>\n\n<METADATA><FIELDS>"
                "<FIELD attrname=\"B\" fieldtype=\"i4\"/></FIELDS></METADATA><ROWDATA><ROW A=\"1\"/></ROWDATA></DATAPACKET>",
         "linha 3: METADATA repetido"},
        {"second FIELDS",
         head + "<FIELD attrname=\"A\" fieldtype=\"i4\"/></FIELDS>\n<FIELDS><FIELD attrname=\"B\" fieldtype=\"i4\"/>"
                "</FIELDS></METADATA><ROWDATA><ROW A=\"1\" B=\"2\"/></ROWDATA></DATAPACKET>",
         "linha 2: FIELDS repetido"},
        {"second ROWDATA", meta + "<ROW LINHA=\"1\"/></ROWDATA>\n<ROWDATA><ROW/></ROWDATA></DATAPACKET>",
         "linha 2: ROWDATA repetido"},
        {"field named as the row state",
         head + "<FIELD attrname=\"RowState\" fieldtype=\"i4\"/></FIELDS></METADATA><ROWDATA/></DATAPACKET>", "RowState"},
        {"row state not a number", meta + "\n<ROW RowState=\"x\" LINHA=\"1\"/></ROWDATA></DATAPACKET>",
         "linha 2: registro 1: RowState 'x'"},
        {"UTF-8 declared, Windows-1252 bytes",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
         "<FIELD attrname=\"N\" fieldtype=\"string\" WIDTH=\"9\"/></FIELDS></METADATA><ROWDATA><ROW N=\"JOS\xC9\"/>"
         "</ROWDATA></DATAPACKET>",
         "XML inválido"},
    };
    RecordSet before = emptyTable({{"NOME", FieldType::String, 10}, {"QTD", FieldType::Int32}}, "CdsXml");
    appendRow(before, {std::string("A"), std::int64_t{1}});
    appendRow(before, {std::string("B"), std::int64_t{2}});
    before.first();
    before.next();
    for (const auto& c : cases) {
        RecordSet rs = before;
        try {
            loadDatapacketFromString(rs, c.bytes, "TESTE.XML");
            ADD_FAILURE() << c.what << ": no error";
        } catch (const DatapacketError& e) {
            const std::string m = e.what();
            EXPECT_NE(m.find("TESTE.XML"), std::string::npos) << c.what << ": " << m;
            EXPECT_NE(m.find(c.message), std::string::npos) << c.what << ": " << m;
        }
        EXPECT_EQ(rs.fieldCount(), 2) << c.what;
        EXPECT_EQ(rs.fields()[0].name, "NOME") << c.what;
        EXPECT_EQ(rs.recordCount(), 2) << c.what;
        EXPECT_EQ(rs.recNo(), 2) << c.what;
        EXPECT_EQ(rs.field("NOME").asString(), "B") << c.what;
    }
    RecordSet ok;
    EXPECT_NO_THROW(loadDatapacketFromString(ok, good));
}

TEST_F(DatapacketFile, LongLogTextSurvivesSaveAndLoad) {
    std::string text;
    const std::string piece = "LINHA \"1\" <A & B>\tC:\\DOC\r\nJOSÉ 'X' ";
    while (utf8Length(text) < 5000) text += piece;
    text = std::string(utf8Prefix(text, 5000));
    RecordSet log = emptyTable(logFields(), "CdsLog");
    appendRow(log, {std::string("EMPENHO.TXT"), std::string("ERRO"), std::int64_t{12}, text, std::string("VERIFIQUE"),
                    makeDate(2007, 3, 31), TimeOfDay::of(8, 5, 7, 250)});
    const fs::path file = dir_ / "LOG032007.XML";
    saveDatapacket(log, file);

    const std::string bytes = readBytes(file);
    EXPECT_EQ(bytes.rfind(kDecl, 0), 0u);
    EXPECT_NE(bytes.find("HORA=\"08:05:07250\""), std::string::npos);
    EXPECT_NE(bytes.find("DATA=\"20070331\""), std::string::npos);
    EXPECT_EQ(bytes.find('\t'), std::string::npos);
    EXPECT_FALSE(fs::exists(dir_ / "LOG032007.XML.tmp"));

    RecordSet back("CdsLog");
    loadDatapacket(back, file);
    ASSERT_EQ(back.recordCount(), 1);
    EXPECT_EQ(back.field("DESCRICAO").asString(), text);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(back.valueAt(0, i), log.valueAt(0, i)) << i;
}

TEST_F(DatapacketFile, AccentedTextIsOneWindows1252BytePerCharacter) {
    RecordSet rs = emptyTable({{"NOME", FieldType::String, 30}});
    appendRow(rs, {std::string("JOSÉ")});
    appendRow(rs, {std::string("CONCEIÇÃO")});
    const fs::path file = dir_ / "nomes.xml";
    saveDatapacket(rs, file);
    const std::string bytes = readBytes(file);
    EXPECT_NE(bytes.find("NOME=\"JOS\xC9\""), std::string::npos);
    EXPECT_NE(bytes.find("NOME=\"CONCEI\xC7\xC3O\""), std::string::npos);
    EXPECT_EQ(bytes.find("\xC3\x89"), std::string::npos);  // no UTF-8 É

    RecordSet back;
    loadDatapacket(back, file);
    EXPECT_EQ(back.valueAt(0, 0), Value(std::string("JOSÉ")));
    EXPECT_EQ(back.valueAt(1, 0), Value(std::string("CONCEIÇÃO")));
}

TEST_F(DatapacketFile, SaveReplacesTheFileOrFailsKeepingIt) {
    const fs::path file = dir_ / "ORC_TCE_SE.XML";
    writeBytes(file, "old content");
    RecordSet rs = emptyTable({{"LEI_PPA", FieldType::String, 20}});
    appendRow(rs, {std::string("123/2005")});
    saveDatapacket(rs, file);
    RecordSet back;
    loadDatapacket(back, file);
    EXPECT_EQ(back.field("LEI_PPA").asString(), "123/2005");

    // A value that cannot be written: the previous file stays whole.
    const std::string saved = readBytes(file);
    RecordSet bad = emptyTable({{"LEI_PPA", FieldType::String, 20}});
    appendRow(bad, {std::string("x\x02")});
    EXPECT_THROW(saveDatapacket(bad, file), DatapacketError);
    EXPECT_EQ(readBytes(file), saved);

    // Targets that cannot be written name the file and leave no temporary behind.
    const fs::path targets[] = {dir_ / "missing" / "LOG.XML", dir_};
    for (const auto& target : targets) {
        try {
            saveDatapacket(rs, target);
            ADD_FAILURE() << target << ": no error";
        } catch (const DatapacketError& e) {
            EXPECT_NE(std::string(e.what()).find(target.string()), std::string::npos) << e.what();
        }
    }
    for (const auto& entry : fs::directory_iterator(dir_))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

TEST_F(DatapacketFile, MissingOrUnreadableFileNamesIt) {
    RecordSet rs = emptyTable({{"A", FieldType::Int32}});
    appendRow(rs, {std::int64_t{1}});
    for (const fs::path& p : {dir_ / "RECEITA_TCESE.XML", dir_}) {
        try {
            loadDatapacket(rs, p);
            ADD_FAILURE() << p;
        } catch (const DatapacketError& e) {
            EXPECT_NE(std::string(e.what()).find(p.string()), std::string::npos) << e.what();
        }
        EXPECT_EQ(rs.recordCount(), 1);
        EXPECT_EQ(rs.fields()[0].name, "A");
    }
}

// A platform that saves without merging its changes keeps the superseded version of
// a modified row (RowState bit 1) and deleted rows (bit 2) beside the live rows.
TEST(DatapacketRead, ChangeLogGivesOnlyTheLiveRowsInTheirOrder) {
    const std::string fields =
        "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
        "<FIELD attrname=\"NOME\" fieldtype=\"string\" WIDTH=\"20\"/>"
        "<FIELD attrname=\"CIDADE\" fieldtype=\"string\" WIDTH=\"20\"/></FIELDS>";
    const struct {
        const char* what;
        std::string bytes;
        std::vector<std::string> cities;  // the records, in order
    } cases[] = {
        {"modified after insert: original version, then the live row",
         fields + "<PARAMS CHANGE_LOG=\"1 0 4 2 1 8\"/></METADATA><ROWDATA><ROW RowState=\"5\" NOME=\"pedro\"/>"
                  "<ROW RowState=\"12\" NOME=\"pedro\" CIDADE=\"Belo Horizonte\"/></ROWDATA></DATAPACKET>",
         {"Belo Horizonte"}},
        {"inserted then deleted, deleted, modified",
         fields + "<PARAMS CHANGE_LOG=\"3 0 4 5 0 8\"/></METADATA><ROWDATA>"
                  "<ROW NOME=\"a\" CIDADE=\"Aracaju\"/>"
                  "<ROW RowState=\"2\" NOME=\"b\" CIDADE=\"Lagarto\"/>"
                  "<ROW RowState=\"6\" NOME=\"c\" CIDADE=\"Itabaiana\"/>"
                  "<ROW RowState=\"1\" NOME=\"d\" CIDADE=\"Estancia\"/>"
                  "<ROW RowState=\"8\" NOME=\"d\" CIDADE=\"Propria\"/>"
                  "<ROW RowState=\"4\" NOME=\"e\" CIDADE=\"Tobias Barreto\"/>"
                  "<ROW RowState=\"0\" NOME=\"f\" CIDADE=\"Simao Dias\"/></ROWDATA></DATAPACKET>",
         {"Aracaju", "Propria", "Tobias Barreto", "Simao Dias"}},
        {"the program's own form: every row inserted",
         fields + "<PARAMS/></METADATA><ROWDATA><ROW RowState=\"4\" CIDADE=\"Aracaju\"/>"
                  "<ROW RowState=\"4\" CIDADE=\"Lagarto\"/></ROWDATA></DATAPACKET>",
         {"Aracaju", "Lagarto"}},
    };
    for (const auto& c : cases) {
        RecordSet rs;
        loadDatapacketFromString(rs, c.bytes);
        std::vector<std::string> cities;
        for (rs.first(); !rs.eof(); rs.next()) cities.push_back(rs.field("CIDADE").asString());
        EXPECT_EQ(cities, c.cities) << c.what;
        EXPECT_EQ(rs.changeCount(), 0) << c.what;
    }
}

TEST(DatapacketRead, BinaryValuesAreBase64) {
    const std::string head =
        "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
        "<FIELD attrname=\"B\" fieldtype=\"bin.hex\" SUBTYPE=\"Binary\"/></FIELDS><PARAMS/></METADATA><ROWDATA>";
    const struct {
        const char* value;
        std::string bytes;
    } cases[] = {
        {"AAAA", std::string(3, '\0')},  // looks like hex, is three zero bytes
        {"TWFu", "Man"},
        {"TWE=", "Ma"},
        {"TQ==", "M"},
        {"TWFu&#013;&#010;TWE=", "ManMa"},  // line breaks between groups
        {"", ""},
    };
    for (const auto& c : cases) {
        RecordSet rs;
        loadDatapacketFromString(rs, head + "<ROW B=\"" + c.value + "\"/></ROWDATA></DATAPACKET>");
        EXPECT_EQ(rs.valueAt(0, 0), Value(c.bytes)) << c.value;
    }
}

// Values that the field's type cannot hold as they are: refused with the file, the
// line and the field, never rounded, cut or wrapped.
TEST(DatapacketRead, ValuesTheTypeCannotHoldNameFileLineAndField) {
    const struct {
        const char* fieldtype;
        const char* value;
        bool accepted;
    } cases[] = {
        {"fixed\" DECIMALS=\"6\" WIDTH=\"12", "0.123456", false},
        {"fixed\" DECIMALS=\"6\" WIDTH=\"12", "0.000050", false},
        {"fixedFMT\" DECIMALS=\"6\" WIDTH=\"12", "-7.00001", false},
        {"fixed\" DECIMALS=\"6\" WIDTH=\"12", "1.5E-5", false},
        {"fixed\" DECIMALS=\"6\" WIDTH=\"12", "0.123400", true},
        {"fixed\" DECIMALS=\"2\" WIDTH=\"12", "1.5E2", true},
        {"i4", "4500247353", false},
        {"i4", "2147483648", false},
        {"i4", "-2147483649", false},
        {"i4", "2147483647", true},
        {"i4", "-2147483648", true},
        {"i2", "70000", false},
        {"i2", "32768", false},
        {"i2", "-32768", true},
        {"i1", "128", false},
        {"i1", "-128", true},
        {"ui1", "300", false},
        {"ui1", "-1", false},
        {"ui1", "255", true},
        {"ui2", "65536", false},
        {"ui2", "65535", true},
        {"ui4", "4294967296", false},
        {"ui4", "4294967295", true},
        {"i8", "9223372036854775808", false},
        {"i8", "-9223372036854775808", true},
        {"r8", "1e999", false},
        {"r8", "nan", false},
        {"r8", "inf", false},
        {"bin.hex", "00FF41", false},  // hex, not base64
        {"bin.hex", "AB=C", false},
        {"bin.hex", "AB==", false},  // bits the padding drops are not zero
        {"date", "00000101", false},
    };
    for (const auto& c : cases) {
        const std::string xml = std::string(kDecl) +
                                "\r\n<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                                "<FIELD attrname=\"COD\" fieldtype=\"i4\"/><FIELD attrname=\"QTD\" fieldtype=\"" +
                                c.fieldtype + "\"/></FIELDS><PARAMS/></METADATA><ROWDATA>\r\n<ROW COD=\"1\"/>\r\n"
                                "<ROW COD=\"2\" QTD=\"" + c.value + "\"/>\r\n</ROWDATA></DATAPACKET>";
        RecordSet rs;
        if (c.accepted) {
            EXPECT_NO_THROW(loadDatapacketFromString(rs, xml, "ORC_TCE_SE.XML")) << c.fieldtype << " " << c.value;
            continue;
        }
        try {
            loadDatapacketFromString(rs, xml, "ORC_TCE_SE.XML");
            ADD_FAILURE() << c.fieldtype << " " << c.value << ": no error";
        } catch (const DatapacketError& e) {
            const std::string m = e.what();
            for (const std::string& part :
                 std::vector<std::string>{"ORC_TCE_SE.XML", "linha 4", "campo QTD", "'" + std::string(c.value) + "'"})
                EXPECT_NE(m.find(part), std::string::npos) << part << " in " << m;
        }
    }
    RecordSet kept;
    loadDatapacketFromString(kept,
                             std::string(kDecl) +
                                 "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"Q\" fieldtype=\"fixed\" "
                                 "DECIMALS=\"6\" WIDTH=\"12\"/></FIELDS></METADATA><ROWDATA><ROW Q=\"0.123400\"/>"
                                 "</ROWDATA></DATAPACKET>");
    EXPECT_EQ(kept.valueAt(0, 0), Value(Decimal::fromScaled(1234)));
}

TEST(DatapacketWrite, IntegersOutsideTheirTypeAreRefused) {
    const struct {
        FieldType type;
        std::int64_t value;
    } cases[] = {{FieldType::Int16, 32768}, {FieldType::Int16, -32769}, {FieldType::Int32, 2147483648LL}};
    for (const auto& c : cases) {
        RecordSet rs = emptyTable({{"N", c.type}});
        appendRow(rs, {c.value});
        EXPECT_THROW(datapacketToString(rs), DatapacketError) << c.value;
    }
}

// Files written on Windows label Windows-1252 text as ISO-8859-1.
TEST(DatapacketRead, Iso88591LabelIsReadAsWindows1252) {
    for (const char* label : {"ISO-8859-1", "iso-8859-1", "latin1"}) {
        const std::string xml = std::string("<?xml version=\"1.0\" encoding=\"") + label +
                                "\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                                "<FIELD attrname=\"NOME\" fieldtype=\"string\" WIDTH=\"30\"/></FIELDS></METADATA>"
                                "<ROWDATA><ROW NOME=\"\x80 10 \x93" "CONCEI\xC7\xC3O\x94 \x85\"/></ROWDATA></DATAPACKET>";
        RecordSet rs;
        loadDatapacketFromString(rs, xml);
        EXPECT_EQ(rs.field("NOME").asString(), "€ 10 “CONCEIÇÃO” …") << label;
    }
}

#include <gtest/gtest.h>

#include "data/recordset.h"

using namespace tcese;

namespace {
RecordSet people() {
    RecordSet rs("people");
    rs.addField({"CODIGO", FieldType::Int32});
    rs.addField({"NOME", FieldType::String, 40});
    rs.addField({"VALOR", FieldType::Fixed, 15, 2});
    rs.addField({"DATA", FieldType::Date});
    rs.createDataSet();
    const std::tuple<int, const char*, const char*, const char*> rows[] = {
        {3, "JOSÉ", "10.5", "31/01/2007"}, {1, "maria", "-99.99", ""}, {2, "CONCEIÇÃO", "0", "29/02/2008"}};
    for (auto [c, n, v, d] : rows) {
        rs.append();
        rs.field("codigo").setAsInteger(c);
        rs.field("NOME").setAsString(n);
        rs.field("Valor").setAsString(v);
        rs.field("DATA").setAsString(d);
        rs.post();
    }
    rs.mergeChangeLog();
    rs.first();
    return rs;
}
}  // namespace

TEST(RecordSet, CursorCountAndTextForms) {
    RecordSet rs = people();
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_FALSE(rs.eof());
    EXPECT_EQ(rs.recNo(), 1);
    EXPECT_EQ(rs.field("nome").asString(), "JOSÉ");
    EXPECT_EQ(rs.field("VALOR").asString(), "10.5");
    EXPECT_EQ(rs.field("DATA").asString(), "31/01/2007");
    rs.next();
    EXPECT_EQ(rs.field("VALOR").asDecimal().scaled(), -999900);
    EXPECT_TRUE(rs.field("DATA").isNull());
    EXPECT_EQ(rs.field("DATA").asString(), "");
    rs.next();
    rs.next();
    EXPECT_TRUE(rs.eof());
    EXPECT_THROW(rs.field("NADA"), RecordSetError);

    RecordSet empty("e");
    empty.addField({"A", FieldType::String, 1});
    empty.createDataSet();
    EXPECT_EQ(empty.recordCount(), 0);
    EXPECT_TRUE(empty.eof());
    EXPECT_EQ(empty.recNo(), 0);
}

TEST(RecordSet, LocateOptions) {
    RecordSet rs = people();
    EXPECT_TRUE(rs.locate("NOME", "maria"));
    EXPECT_EQ(rs.field("CODIGO").asInteger(), 1);
    EXPECT_FALSE(rs.locate("NOME", "MARIA"));
    EXPECT_TRUE(rs.locate("NOME", "MARIA", LocateCaseInsensitive));
    EXPECT_FALSE(rs.locate("NOME", "CONCEI"));
    EXPECT_TRUE(rs.locate("NOME", "CONCEI", LocatePartialKey));
    EXPECT_EQ(rs.recNo(), 3);
    EXPECT_TRUE(rs.locate("NOME", "conceição", LocateCaseInsensitive));
    EXPECT_TRUE(rs.locate("CODIGO;NOME", std::vector<std::string>{"3", "JOSÉ"}));
}

TEST(RecordSet, IndexOrdersRows) {
    RecordSet rs = people();
    rs.setIndexFieldNames("CODIGO");
    std::string order;
    for (rs.first(); !rs.eof(); rs.next()) order += rs.field("CODIGO").asString();
    EXPECT_EQ(order, "123");
    rs.setIndexFieldNames("DATA;CODIGO");  // NULL first
    rs.first();
    EXPECT_EQ(rs.field("CODIGO").asInteger(), 1);
}

TEST(RecordSet, PendingChanges) {
    RecordSet rs = people();
    EXPECT_EQ(rs.changeCount(), 0);
    rs.locate("CODIGO", "2");
    rs.edit();
    rs.field("NOME").setAsString("CONCEIÇÃO II");
    rs.post();
    rs.locate("CODIGO", "3");
    rs.deleteRecord();
    rs.append();
    rs.field("CODIGO").setAsInteger(9);
    rs.post();
    EXPECT_EQ(rs.changeCount(), 3);
    EXPECT_EQ(rs.deletedRows().size(), 1u);
    rs.cancelUpdates();
    EXPECT_EQ(rs.changeCount(), 0);
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_TRUE(rs.locate("NOME", "CONCEIÇÃO"));
}

TEST(RecordSet, ConversionErrorsNameFieldAndValue) {
    RecordSet rs = people();
    rs.append();
    try {
        rs.field("DATA").setAsString("31/02/2007");
        FAIL();
    } catch (const RecordSetError& e) {
        EXPECT_NE(std::string(e.what()).find("DATA"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("31/02/2007"), std::string::npos);
    }
    EXPECT_THROW(rs.field("VALOR").setAsString("1,2,3"), RecordSetError);
    rs.cancel();
}

TEST(RecordSet, ValueTextForms) {
    EXPECT_EQ(valueToText(Value{}), "");
    EXPECT_EQ(valueToText(Value{std::int64_t{-5}}), "-5");
    EXPECT_EQ(valueToText(Value{0.1 + 0.2}), "0.3");
    EXPECT_EQ(valueToText(Value{DateTime{makeDate(2007, 1, 31), TimeOfDay::of(10, 22, 33)}}), "31/01/2007 10:22:33");
    EXPECT_EQ(valueToText(Value{DateTime{makeDate(2007, 1, 31), {}}}), "31/01/2007");
    EXPECT_EQ(valueToText(Value{TimeOfDay::of(8, 5, 7, 250)}), "08:05:07");
}

// Cursors, indexes and searches read one value per field in every row.
TEST(RecordSet, AssignRefusesRowsOfAnotherWidthAndKeepsTheTable) {
    const std::vector<FieldDef> two = {{"A", FieldType::String, 5}, {"B", FieldType::Int32}};
    const struct {
        const char* what;
        std::vector<FieldDef> defs;
        std::vector<std::size_t> widths;  // values in each row
        const char* message;
    } cases[] = {
        {"a short row", two, {2, 0, 2}, "registro 2 tem 0 valores para 2 campos"},
        {"a long row", two, {3}, "registro 1 tem 3 valores para 2 campos"},
        {"rows without fields", {}, {0, 1}, "registro 2 tem 1 valores para 0 campos"},
        {"a repeated name", {{"A", FieldType::String, 5}, {"a", FieldType::Int32}}, {2}, "campo repetido a"},
    };
    for (const auto& c : cases) {
        RecordSet rs = people();
        rs.setIndexFieldNames("NOME");
        rs.next();
        std::vector<RecordSet::Row> rows;
        for (std::size_t w : c.widths) rows.push_back({std::vector<Value>(w), RowState::Unchanged, nullptr});
        try {
            rs.assign(c.defs, rows);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const RecordSetError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.what << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find("people"), std::string::npos) << e.what();
        }
        EXPECT_EQ(rs.fieldCount(), 4) << c.what;
        EXPECT_EQ(rs.recordCount(), 3) << c.what;
        EXPECT_EQ(rs.field("NOME").asString(), "JOSÉ") << c.what;
        EXPECT_TRUE(rs.locate("CODIGO", "1"));
    }
}

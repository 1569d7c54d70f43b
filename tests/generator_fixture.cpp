#include "generator_fixture.h"

#include <algorithm>

#include "config/encoding.h"

namespace tcese::testing {

std::string sp(int n) { return std::string(static_cast<std::size_t>(std::max(n, 0)), ' '); }
std::string zeros(int n) { return std::string(static_cast<std::size_t>(std::max(n, 0)), '0'); }
std::string pad(const std::string& bytes, int width) { return bytes + sp(width - static_cast<int>(bytes.size())); }
std::string padText(const std::string& utf8, int width) {
    return utf8ToCp1252(utf8 + sp(width - static_cast<int>(utf8Length(utf8))));
}

std::string asParameter(std::string sql, std::string_view literal, std::string_view placeholder) {
    const auto at = sql.rfind(literal);
    if (at == std::string::npos) return "<" + std::string(literal) + " not in the statement>";
    return sql.replace(at, literal.size(), placeholder);
}

std::string courtQuery(std::string_view name) {
    const auto file = std::filesystem::path(TCESE_SOURCE_DIR) / "tests" / "fixtures" / "queries" /
                      (std::string(name) + ".sql");
    std::string sql = readFixture(file);
    while (sql.rfind("--", 0) == 0) sql.erase(0, sql.find('\n') + 1);  // comment lines first
    if (sql.empty() || sql.back() != ';') {
        ADD_FAILURE() << file << " is missing or does not end with ';'";
        return sql;
    }
    sql.pop_back();
    return sql;
}

GeneratorTest::GeneratorTest() {
    ini = db.installAsYear("2007");
    db.connect(dm);
    ex = std::make_unique<Exporter>(dm, obs, ini);
    ex->ctx.fiscalYear = "2007";
    ex->ctx.monthCode = "03";
    ex->ctx.monthEnd = "31";
    ex->ctx.entityCode = "01";
    ex->ctx.outputDir = out.str();
}

std::vector<std::string> GeneratorTest::fileLines(const std::string& fileName) const {
    std::vector<std::string> r;
    const std::string bytes = readBytes(std::filesystem::path(ex->ctx.outputDir) / (fileName + ".txt"));
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) {
            r.push_back(bytes.substr(at) + "<no CR LF>");
            break;
        }
        r.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    return r;
}

std::vector<std::string> GeneratorTest::lines(const GeneratedFile& f) {
    f.run(*ex, f.name);
    std::vector<std::string> r = fileLines(f.name);
    for (std::size_t i = 1; i + 1 < r.size(); ++i) {
        const auto size = static_cast<int>(r[i].size());
        if (size != f.shortLength || f.shortLength == 0) {
            EXPECT_EQ(size, f.length) << f.name << " line " << i + 1 << ": " << r[i];
        }
    }
    return r;
}

std::vector<std::string> GeneratorTest::sortedLines(const GeneratedFile& f) {
    std::vector<std::string> l = lines(f);
    if (l.size() > 2) std::sort(l.begin() + 1, l.end() - 1);
    return l;
}

std::vector<std::string> GeneratorTest::entries() {
    std::vector<std::string> r;
    RecordSet& log = dm.CdsLog;
    if (!log.active()) return r;
    for (log.first(); !log.eof(); log.next()) {
        r.push_back(log.field("ARQUIVO").asString() + "|" + log.field("STATUS").asString() + "|" +
                    log.field("LINHA").asString() + "|" + log.field("DESCRICAO").asString() + "|" +
                    log.field("RESOLVER").asString());
    }
    return r;
}

}  // namespace tcese::testing

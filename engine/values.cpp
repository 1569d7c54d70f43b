#include "engine/values.h"

#include "config/encoding.h"
#include "engine/ret.h"

namespace tcese {

std::string_view trimText(std::string_view s) {
    // Blank and every control character, as the product's trim does.
    auto drop = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!s.empty() && drop(s.front())) s.remove_prefix(1);
    while (!s.empty() && drop(s.back())) s.remove_suffix(1);
    return s;
}

std::string col(RecordSet& rs, std::string_view field) {
    if (rs.recordCount() == 0 || rs.eof()) return {};
    return rs.field(field).asString();
}

std::string entityFilter(const RunContext& ctx, std::string_view alias) {
    if (ctx.entityCode == "00") return {};
    return " AND " + std::string(alias) + ".EMPRESA = '" + ctx.entityCode + "'";
}

std::string flattenLineBreaks(std::string_view text, std::size_t n) {
    std::string r(utf8Prefix(text, n));
    for (char& c : r)
        if (c == '\r' || c == '\n') c = ' ';
    return r;
}

std::string idOrBlanks(const RunContext& ctx, int width, std::string_view value) {
    return isBlank(value) ? Ret(ctx, width, "", "S", "T") : Ret(ctx, width, value, "S", "I");
}

}  // namespace tcese

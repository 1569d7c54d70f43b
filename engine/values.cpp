#include "engine/values.h"

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

}  // namespace tcese

#pragma once
// Small value rules the generators share.
#include <string>
#include <string_view>

#include "data/recordset.h"

namespace tcese {

// Without leading and trailing blanks and control characters.
std::string_view trimText(std::string_view s);

// "Blank": empty once leading and trailing blanks and control characters are removed
// (NULL reads as empty text).
inline bool isBlank(std::string_view s) { return trimText(s).empty(); }

// The current row's field as text; empty when the record set has no current row.
std::string col(RecordSet& rs, std::string_view field);

}  // namespace tcese

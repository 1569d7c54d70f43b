#pragma once
// Small value rules the generators share.
#include <cstddef>
#include <string>
#include <string_view>

#include "data/recordset.h"
#include "engine/runcontext.h"

namespace tcese {

// Without leading and trailing blanks and control characters.
std::string_view trimText(std::string_view s);

// "Blank": empty once leading and trailing blanks and control characters are removed
// (NULL reads as empty text).
inline bool isBlank(std::string_view s) { return trimText(s).empty(); }

// The current row's field as text; empty when the record set has no current row.
std::string col(RecordSet& rs, std::string_view field);

// " AND <alias>.EMPRESA = '<entity>'" for one entity; nothing for "00", which
// exports every entity.
std::string entityFilter(const RunContext& ctx, std::string_view alias);

// The first n characters of a text with each CR and each LF turned into one blank,
// so that a description cannot split the record the court reads by position.
std::string flattenLineBreaks(std::string_view text, std::size_t n);

// Kind "I" of a value, but blanks instead of zeros when the value is blank: an
// absent number must not read as number zero.
std::string idOrBlanks(const RunContext& ctx, int width, std::string_view value);

}  // namespace tcese

#pragma once
// Datapacket XML: a record set's field descriptions followed by its rows.
// Files are Windows-1252 (no encoding in the declaration) or UTF-8 when declared so.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "data/recordset.h"

namespace tcese {

class DatapacketError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Replaces the definitions and rows of `rs` with those of the file. On any error
// (missing, unreadable, truncated, not XML, not a datapacket, a value that does not
// decode) throws DatapacketError naming the file and what is wrong; `rs` is then
// left as it was.
void loadDatapacket(RecordSet& rs, const std::filesystem::path& file);
void loadDatapacketFromString(RecordSet& rs, std::string_view bytes, std::string_view sourceName = "XML");

// Writes the whole table in the program's form: declaration without encoding,
// Windows-1252 text. Throws DatapacketError when the file cannot be written.
void saveDatapacket(const RecordSet& rs, const std::filesystem::path& file);
std::string datapacketToString(const RecordSet& rs);

// Attribute-value escaping of the layout (exposed for tests): < > & ' " CR LF TAB and
// backslash; a character that Windows-1252 lacks becomes a numeric reference. Returns
// Windows-1252 bytes. Throws DatapacketError for control characters XML cannot carry.
std::string escapeDatapacketValue(std::string_view utf8);

}  // namespace tcese

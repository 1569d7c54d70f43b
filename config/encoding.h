#pragma once
// Windows-1252 <-> UTF-8. Inside the program every text is UTF-8; the database,
// the export files and the XML files are Windows-1252. Convert only at those edges.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tcese {

class EncodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Every byte has a meaning: the five bytes Windows-1252 leaves undefined
// (0x81 0x8D 0x8F 0x90 0x9D) map to the C1 controls of the same value, as Windows does.
std::string cp1252ToUtf8(std::string_view bytes);

// Throws EncodingError naming the first character that Windows-1252 lacks,
// or a malformed UTF-8 sequence.
std::string utf8ToCp1252(std::string_view utf8);

// The Windows-1252 byte for a code point, or -1 when there is none.
int cp1252FromCodePoint(char32_t cp);
char32_t cp1252ToCodePoint(unsigned char byte);

// UTF-8 helpers: widths count characters, never bytes.
std::size_t utf8Length(std::string_view s);
// The first n characters of s (all of s when it has fewer).
std::string_view utf8Prefix(std::string_view s, std::size_t n);
// Characters [from, from+n) of s, 0-based, clipped to s.
std::string_view utf8Mid(std::string_view s, std::size_t from, std::size_t n);
// Decodes one code point at s[i], advancing i; malformed bytes throw EncodingError.
char32_t utf8Next(std::string_view s, std::size_t& i);
void utf8Append(std::string& out, char32_t cp);

// ASCII-only case folding, enough for keys, codes and field names.
std::string asciiUpper(std::string_view s);
std::string asciiLower(std::string_view s);
bool iequals(std::string_view a, std::string_view b);

// Upper case for Portuguese text (accented letters of Latin-1 included), as the
// entity list and the log descriptions need it.
std::string upperText(std::string_view utf8);

}  // namespace tcese

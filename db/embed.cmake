cmake_minimum_required(VERSION 3.25)
# Writes OUT, a C++ source whose function returns the text of IN (db/schema.sql)
# as a raw string literal. Run by the build with cmake -DIN=... -DOUT=... -P.
file(READ "${IN}" text)
set(delim "tcese_sql")
string(FIND "${text}" ")${delim}\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${IN} holds the literal's closing sequence )${delim}\"")
endif()
file(CONFIGURE OUTPUT "${OUT}" CONTENT "// Generated from db/schema.sql by db/embed.cmake: do not edit.
#include <string_view>

namespace tcese {

std::string_view embeddedSchemaSql() {
    static constexpr char text[] = R\"${delim}(@text@)${delim}\";
    return {text, sizeof text - 1};
}

}  // namespace tcese
" @ONLY)

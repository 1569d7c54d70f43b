#pragma once
// CPF and CNPJ numbers by their published check-digit rules.
#include <string_view>

namespace tcese {

// A number may be typed with blanks, "-", ".", "/" and "_" around its digits; any
// other character makes it invalid. A text without digits is valid (emptiness is
// checked on its own). Numbers whose digits are all equal are not rejected.
bool cpfValido(std::string_view text);   // 11 digits
bool cnpjValido(std::string_view text);  // 14 digits

}  // namespace tcese

#include "engine/documentos.h"

#include <array>
#include <optional>
#include <string>

namespace tcese {

namespace {

// The digits of a typed number; nothing when a character other than the usual
// punctuation appears.
std::optional<std::string> typedDigits(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            digits.push_back(c);
        } else if (c != ' ' && c != '-' && c != '.' && c != '/' && c != '_') {
            return std::nullopt;
        }
    }
    return digits;
}

// Check digit over digits[0..n) with the given weights: sum mod 11 mod 10.
template <std::size_t N>
int checkDigit(const std::string& digits, const std::array<int, N>& weights) {
    int sum = 0;
    for (std::size_t i = 0; i < N; ++i) sum += weights[i] * (digits[i] - '0');
    return sum % 11 % 10;
}

}  // namespace

bool cpfValido(std::string_view text) {
    const auto digits = typedDigits(text);
    if (!digits) return false;
    if (digits->empty()) return true;
    if (digits->size() != 11) return false;
    const std::string& d = *digits;
    if (checkDigit(d, std::array{1, 2, 3, 4, 5, 6, 7, 8, 9}) != d[9] - '0') return false;
    // d10 is now known to be the first check digit, so it stands for it here.
    return checkDigit(d, std::array{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}) == d[10] - '0';
}

bool cnpjValido(std::string_view text) {
    const auto digits = typedDigits(text);
    if (!digits) return false;
    if (digits->empty()) return true;
    if (digits->size() != 14) return false;
    const std::string& d = *digits;
    if (checkDigit(d, std::array{6, 7, 8, 9, 2, 3, 4, 5, 6, 7, 8, 9}) != d[12] - '0') return false;
    return checkDigit(d, std::array{5, 6, 7, 8, 9, 2, 3, 4, 5, 6, 7, 8, 9}) == d[13] - '0';
}

}  // namespace tcese

#include "engine/ret.h"

#include <charconv>

#include "config/encoding.h"
#include "data/numbers.h"

namespace tcese {

std::string zero(int count, std::string_view text) {
    std::string r(count > 0 ? static_cast<std::size_t>(count) : 0, '0');
    r.append(text);
    return r;
}

std::string vazio(int count) { return std::string(count > 0 ? static_cast<std::size_t>(count) : 0, ' '); }

namespace {

// Digits of an amount rounded to `decimals`, sign in front, no separator, no
// leading zeros: 1234.5 -> "123450", 0.05 -> "05", 0 -> "000" for V2? no: "" + "00".
std::string amountDigits(std::string_view value, int decimals) {
    const Decimal d = Decimal::parse(value);
    const std::int64_t u = d.roundedUnits(decimals);
    const bool neg = u < 0;
    const std::uint64_t a = neg ? static_cast<std::uint64_t>(-(u + 1)) + 1 : static_cast<std::uint64_t>(u);
    std::uint64_t p = 1;
    for (int i = 0; i < decimals; ++i) p *= 10;
    std::string s;
    if (a / p != 0) s = std::to_string(a / p);
    std::string frac = std::to_string(a % p);
    s += std::string(static_cast<std::size_t>(decimals) - frac.size(), '0') + frac;
    return neg ? "-" + s : s;
}

// Line breaks inside a text field would split the record the court reads by position.
std::string flattenBreaks(std::string_view v) {
    std::string s(v);
    for (auto& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

std::string signedAmount(int width, std::string_view value, int decimals) {
    const std::string digits = amountDigits(value, decimals);
    const int d = width - static_cast<int>(digits.size());
    if (d <= 0) return digits;
    if (digits[0] == '-') return "-" + zero(d, std::string_view(digits).substr(1));
    return zero(d, digits);
}

}  // namespace

std::string Ret(const RunContext& ctx, int width, std::string_view value, std::string_view /*flag*/, std::string_view kind) {
    if (ctx.cancelRequested) return {};
    if (kind == "I") {
        std::string r;
        r.reserve(value.size());
        for (char c : value) {
            switch (c) {
            case 'x': case 'X': case '.': case ',': case '-': case '/': case '(': case ')': case ' ':
                break;
            default:
                r.push_back(c);
            }
        }
        const int len = static_cast<int>(utf8Length(r));
        if (len < width) return zero(width - len, r);
        return std::string(utf8Prefix(r, static_cast<std::size_t>(width > 0 ? width : 0)));
    }
    if (kind == "T") {
        const std::string v = flattenBreaks(value);
        const int len = static_cast<int>(utf8Length(v));
        if (len < width) return v + vazio(width - len);
        return std::string(utf8Prefix(v, static_cast<std::size_t>(width > 0 ? width : 0)));
    }
    if (kind == "V2") return signedAmount(width, value, 2);
    if (kind == "V3") return signedAmount(width, value, 3);
    if (kind == "DP") {
        const std::string digits = amountDigits(value, 3);
        const int d = width - static_cast<int>(digits.size());
        if (d <= 0) return digits;
        return zero(d, digits);
    }
    if (kind == "D") {
        std::size_t a = 0, b = value.size();
        while (a < b && value[a] == ' ') ++a;
        while (b > a && value[b - 1] == ' ') --b;
        if (a == b) return vazio(8);
        // Characters 7-10, 4-5 and 1-2 of the value itself, by position.
        return std::string(utf8Mid(value, 6, 4)) + std::string(utf8Mid(value, 3, 2)) + std::string(utf8Mid(value, 0, 2));
    }
    return {};
}

std::string PEGANUMERO(std::string_view text) {
    std::string r;
    for (char c : text)
        if (c >= '0' && c <= '9') r.push_back(c);
    return r;
}

std::string retorna_digito(std::string_view text) {
    std::string result = "00";
    const std::size_t n = utf8Length(text);
    // Right to left, every match replaces: the leftmost separator wins.
    for (std::size_t i = n; i >= 2; --i) {
        const std::string_view c = utf8Mid(text, i - 2, 1);
        if (c == "-" || c == ".") result = std::string(utf8Mid(text, i - 1, 2));
    }
    return result;
}

bool AnoBiSexto(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

std::string PegaDia(const RunContext& ctx, std::string_view month) {
    if (month == "01" || month == "03" || month == "05" || month == "07" || month == "08" || month == "10" || month == "12")
        return "31";
    if (month == "04" || month == "06" || month == "09" || month == "11") return "30";
    if (month == "02") {
        int year = 0;
        const std::string& y = ctx.fiscalYear;
        auto [p, ec] = std::from_chars(y.data(), y.data() + y.size(), year);
        if (y.empty() || ec != std::errc() || p != y.data() + y.size())
            throw NumberError("'" + y + "' não é um ano válido");
        return AnoBiSexto(year) ? "29" : "28";
    }
    return {};
}

}  // namespace tcese

#include "data/numbers.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace tcese {
namespace {

constexpr std::int64_t kPow10[] = {1,          10,          100,          1000,          10000,
                                   100000,     1000000,     10000000,     100000000,     1000000000,
                                   10000000000, 100000000000, 1000000000000, 10000000000000,
                                   100000000000000, 1000000000000000, 10000000000000000,
                                   100000000000000000, 1000000000000000000};

[[noreturn]] void notANumber(std::string_view text) {
    throw NumberError("'" + std::string(text) + "' não é um valor numérico válido");
}

std::int64_t roundDiv(std::int64_t v, std::int64_t d) {
    // Half away from zero.
    std::int64_t q = v / d;
    std::int64_t r = v % d;
    if (r < 0) r = -r;
    if (2 * r >= d) q += (v < 0 ? -1 : 1);
    return q;
}

}  // namespace

Decimal Decimal::fromInt(std::int64_t v) {
    if (v > std::numeric_limits<std::int64_t>::max() / kOne || v < std::numeric_limits<std::int64_t>::min() / kOne)
        throw NumberError(std::to_string(v) + " está fora da faixa de valores");
    return fromScaled(v * kOne);
}

std::optional<Decimal> Decimal::tryParse(std::string_view t) {
    std::size_t i = 0, n = t.size();
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (i < n && isBlank(t[i])) ++i;
    while (n > i && isBlank(t[n - 1])) --n;
    if (i == n) return std::nullopt;
    bool neg = false;
    if (t[i] == '+' || t[i] == '-') {
        neg = t[i] == '-';
        ++i;
    }
    // Collect significant digits as text, remember where the point was.
    std::string digits;
    int pointPos = -1;
    bool anyDigit = false;
    for (; i < n; ++i) {
        const char c = t[i];
        if (c >= '0' && c <= '9') {
            digits.push_back(c);
            anyDigit = true;
        } else if ((c == '.' || c == ',') && pointPos < 0) {
            pointPos = static_cast<int>(digits.size());
        } else {
            break;
        }
    }
    if (!anyDigit) return std::nullopt;
    long exponent = 0;
    if (i < n && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        bool eneg = false;
        if (i < n && (t[i] == '+' || t[i] == '-')) {
            eneg = t[i] == '-';
            ++i;
        }
        if (i == n) return std::nullopt;
        for (; i < n; ++i) {
            if (t[i] < '0' || t[i] > '9') return std::nullopt;
            exponent = exponent * 10 + (t[i] - '0');
            if (exponent > 400) return std::nullopt;
        }
        if (eneg) exponent = -exponent;
    }
    if (i != n) return std::nullopt;
    if (pointPos < 0) pointPos = static_cast<int>(digits.size());
    // value = 0.digits... : integer part = digits[0, pointPos + exponent)
    long intLen = pointPos + exponent;
    // Strip leading zeros to keep the arithmetic small.
    std::size_t lead = 0;
    while (lead < digits.size() && digits[lead] == '0' && static_cast<long>(lead) < intLen) ++lead;
    digits.erase(0, lead);
    intLen -= static_cast<long>(lead);
    // Units of 10^-5: one digit more than kept, for rounding.
    if (intLen > 20) return std::nullopt;
    __int128 acc = 0;
    for (long k = 0; k <= intLen + kScale; ++k)
        acc = acc * 10 + (k < static_cast<long>(digits.size()) ? digits[static_cast<std::size_t>(k)] - '0' : 0);
    // Round the last digit away from zero.
    __int128 units = acc / 10;
    if (acc % 10 >= 5) units += 1;
    if (units > std::numeric_limits<std::int64_t>::max()) return std::nullopt;
    auto v = static_cast<std::int64_t>(units);
    return fromScaled(neg ? -v : v);
}

Decimal Decimal::parse(std::string_view text) {
    auto d = tryParse(text);
    if (!d) notANumber(text);
    return *d;
}

std::int64_t Decimal::roundedUnits(int decimals) const {
    if (decimals >= kScale) return units_ * kPow10[decimals - kScale];
    return roundDiv(units_, kPow10[kScale - decimals]);
}

std::string Decimal::toFixed(int decimals) const {
    const std::int64_t u = roundedUnits(decimals);
    const bool neg = u < 0;
    const std::uint64_t a = neg ? static_cast<std::uint64_t>(-(u + 1)) + 1 : static_cast<std::uint64_t>(u);
    const auto p = static_cast<std::uint64_t>(kPow10[decimals]);
    std::string s = std::to_string(a / p);
    if (decimals > 0) {
        std::string frac = std::to_string(a % p);
        s += "." + std::string(static_cast<std::size_t>(decimals) - frac.size(), '0') + frac;
    }
    return neg ? "-" + s : s;
}

std::string Decimal::toString() const {
    std::string s = toFixed(kScale);
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}

Decimal Decimal::operator+(Decimal o) const {
    std::int64_t r;
    if (__builtin_add_overflow(units_, o.units_, &r)) throw NumberError("estouro na soma de valores");
    return fromScaled(r);
}
Decimal Decimal::operator-(Decimal o) const {
    std::int64_t r;
    if (__builtin_sub_overflow(units_, o.units_, &r)) throw NumberError("estouro na subtração de valores");
    return fromScaled(r);
}
Decimal Decimal::operator-() const { return fromScaled(-units_); }

std::string scaledToText(std::int64_t value, int scale) {
    if (scale <= 0) {
        std::string s = std::to_string(value);
        if (value != 0) s += std::string(static_cast<std::size_t>(-scale), '0');
        return s;
    }
    const bool neg = value < 0;
    const std::uint64_t a = neg ? static_cast<std::uint64_t>(-(value + 1)) + 1 : static_cast<std::uint64_t>(value);
    std::string digits = std::to_string(a);
    if (digits.size() <= static_cast<std::size_t>(scale))
        digits.insert(0, static_cast<std::size_t>(scale) + 1 - digits.size(), '0');
    std::string s = digits.substr(0, digits.size() - scale) + "." + digits.substr(digits.size() - scale);
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    if (neg && s != "0") s.insert(0, "-");
    return s;
}

Decimal decimalFromScaled(std::int64_t value, int scale) { return Decimal::parse(scaledToText(value, scale)); }

std::string floatToText15(double v) {
    if (std::isnan(v)) return "NAN";
    if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
    if (v == 0) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14E", v);  // d.ddddddddddddddE+xx
    std::string s = buf;
    const bool neg = s[0] == '-';
    if (neg) s.erase(0, 1);
    const auto epos = s.find('E');
    int exp = std::stoi(s.substr(epos + 1));
    std::string mant = s.substr(0, 1) + s.substr(2, epos - 2);  // 15 digits
    while (mant.size() > 1 && mant.back() == '0') mant.pop_back();
    std::string out;
    if (exp >= 15 || exp < -5) {
        out = mant.substr(0, 1);
        if (mant.size() > 1) out += "." + mant.substr(1);
        out += "E" + std::to_string(exp);
    } else if (exp >= 0) {
        const auto intDigits = static_cast<std::size_t>(exp) + 1;
        if (mant.size() <= intDigits) {
            out = mant + std::string(intDigits - mant.size(), '0');
        } else {
            out = mant.substr(0, intDigits) + "." + mant.substr(intDigits);
        }
    } else {
        out = "0." + std::string(static_cast<std::size_t>(-exp - 1), '0') + mant;
    }
    return neg ? "-" + out : out;
}

}  // namespace tcese

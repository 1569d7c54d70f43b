#pragma once
// Exact amounts: a 64-bit integer scaled by 10^4, like the product's currency type.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tcese {

class NumberError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Decimal {
public:
    static constexpr int kScale = 4;
    static constexpr std::int64_t kOne = 10000;

    constexpr Decimal() = default;
    static constexpr Decimal fromScaled(std::int64_t units) {
        Decimal d;
        d.units_ = units;
        return d;
    }
    static Decimal fromInt(std::int64_t v);

    // Decimal text: optional blanks, sign, digits, "." or "," and decimals,
    // optional exponent ("1.5E-5", as a 15-digit float text may carry).
    // Rounds to four decimals, half away from zero. Throws NumberError naming the text.
    static Decimal parse(std::string_view text);
    static std::optional<Decimal> tryParse(std::string_view text);

    constexpr std::int64_t scaled() const { return units_; }

    // Rounded to `decimals` (0..4) places, half away from zero, as an integer count
    // of 10^-decimals units.
    std::int64_t roundedUnits(int decimals) const;

    // Shortest text: "1234.5", "0.05", "-12.3", "0". Decimal separator ".".
    std::string toString() const;
    // Fixed number of decimals: toFixed(2) of 1234.5 is "1234.50".
    std::string toFixed(int decimals) const;

    friend constexpr bool operator==(Decimal a, Decimal b) { return a.units_ == b.units_; }
    friend constexpr auto operator<=>(Decimal a, Decimal b) { return a.units_ <=> b.units_; }
    Decimal operator+(Decimal o) const;
    Decimal operator-(Decimal o) const;
    Decimal operator-() const;

private:
    std::int64_t units_ = 0;
};

// A NUMERIC/DECIMAL value (integer and its scale) to Decimal; throws when it
// does not fit or has more than four decimals that are not zero after rounding.
Decimal decimalFromScaled(std::int64_t value, int scale);
// Exact text of a NUMERIC/DECIMAL value with its own scale, shortest form ("1234.5").
std::string scaledToText(std::int64_t value, int scale);

// A floating-point value as text with 15 significant digits, trailing zeros dropped,
// exponent form ("1E-6", "1.5E20") outside fixed range: the product's number-to-text.
std::string floatToText15(double v);

}  // namespace tcese

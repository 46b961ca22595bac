#pragma once

#include "controls/numberformat.h"

#include <QString>
#include <QStringView>

#include <compare>
#include <cstdint>
#include <limits>
#include <optional>

// Money arithmetic and the amount texts. These functions are the only place in the program
// that turns amounts into text and text into amounts; pages and reports call them instead of
// formatting numbers on their own.
//
// Two rounding rules meet here and must not be mixed:
//  - text (or a double) to a Currency keeps four decimals and rounds a half to even;
//  - a Currency (or a double) to text with two decimals rounds a half away from zero.

namespace zorv {

// A money amount: a signed 64-bit integer holding the amount times 10000.
class Currency
{
public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromRaw(std::int64_t raw)
    {
        Currency c;
        c.m_raw = raw;
        return c;
    }
    // The double's shortest decimal form, rounded to four decimals (half to even); empty for
    // NaN, infinities and amounts the representation cannot hold.
    static std::optional<Currency> fromDouble(double value);

    constexpr std::int64_t raw() const { return m_raw; }
    double toDouble() const { return static_cast<double>(m_raw) / kScale; }
    // The amount rounded to whole cents, halves away from zero (what two-decimal text shows).
    Currency roundedToCents() const;

    friend constexpr auto operator<=>(Currency, Currency) = default;
    // Plain arithmetic; the caller keeps within range (see the checked forms below), which
    // the asserts hold it to.
    friend constexpr Currency operator+(Currency a, Currency b)
    {
        std::int64_t sum = 0;
        [[maybe_unused]] const bool overflow = __builtin_add_overflow(a.m_raw, b.m_raw, &sum);
        Q_ASSERT(!overflow);
        return fromRaw(sum);
    }
    friend constexpr Currency operator-(Currency a, Currency b)
    {
        std::int64_t difference = 0;
        [[maybe_unused]] const bool overflow = __builtin_sub_overflow(a.m_raw, b.m_raw, &difference);
        Q_ASSERT(!overflow);
        return fromRaw(difference);
    }
    friend constexpr Currency operator-(Currency a)
    {
        Q_ASSERT(a.m_raw != std::numeric_limits<std::int64_t>::min());
        return fromRaw(-a.m_raw);
    }
    Currency &operator+=(Currency other) { return *this = *this + other; }
    Currency &operator-=(Currency other) { return *this = *this - other; }

private:
    std::int64_t m_raw = 0;
};

// Arithmetic that reports leaving the representable range instead of wrapping.
std::optional<Currency> checkedAdd(Currency a, Currency b);
std::optional<Currency> checkedSub(Currency a, Currency b);
std::optional<Currency> checkedMul(Currency a, std::int64_t factor);

// ---- Text to amount -------------------------------------------------------------------

// The strict reading of the amount field: optional "+" or "-", digits, optional decimal
// separator and digits (at least one digit in all), nothing else; no spaces, thousands
// separators or currency string. Beyond four decimals a half rounds to even. Empty when the
// text does not parse or the amount does not fit.
std::optional<Currency> parseCurrency(QStringView text, const NumberFormat &fmt = activeNumberFormat());

// What the amount field takes: the strict reading above, or else the amount written the
// Brazilian way. A thousands separator followed by exactly three digits groups ("1.800" is
// 1.800,00, "1.250.000" is 1.250.000,00); one followed by any other number of digits, as the
// last separator, is the decimal separator ("12.5" is 12,50). Before a final decimal
// separator with one or two decimals the digits may be grouped in threes by the thousands
// separator or by the decimal separator ("1.234,56", "1,234,56", "-12.345.678,90"). "1,234"
// stays the strict 1,234; a text like "1,234,567", whose last group may be thousands or
// decimals, is no amount at all. Empty when the text is none of these.
std::optional<Currency> parseTypedAmount(QStringView text, const NumberFormat &fmt = activeNumberFormat());

// Removes every space, every thousands separator, then the first occurrence of the currency
// string (when the format has one).
QString CleanNumberText(QStringView text, const NumberFormat &fmt = activeNumberFormat());

// The lenient reading used for amounts in files and labels ("1.234,50", "R$ 1.234,50",
// "  1.234,50"): the text "-" alone is zero; otherwise CleanNumberText, then the strict
// reading above.
std::optional<Currency> parseAmount(QStringView text, const NumberFormat &fmt = activeNumberFormat());

// The same lenient reading into a double, decimals kept as written. Amounts beyond the
// Currency range are refused here too, so a value read this way always converts.
std::optional<double> parseReal(QStringView text, const NumberFormat &fmt = activeNumberFormat());

// ---- Amount to text -------------------------------------------------------------------

// "0.0,0": thousands grouped, at least one integer digit, exactly two decimals, "-" in front
// when negative: 1.234,50; 0,00; -12,00. Halves away from zero; an amount that shows as
// zero carries no sign.
QString formatAmount(Currency amount, const NumberFormat &fmt = activeNumberFormat());
// "#0.00": the same without grouping: 1234,50.
QString formatPlain(Currency amount, const NumberFormat &fmt = activeNumberFormat());

// Number styles of the numeric text control.
enum class RealFormat {
    Number, // grouped number, "n"
    Money,  // grouped, with the currency string placed as the format says, "m"
    Fixed,  // no grouping, "f"
};

// A width.decimals size as in "10.2": optional "-" (pad on the right instead of the left),
// optional width, optional "." and decimals. Missing decimals mean two for Number and Fixed
// and the format's currency decimals for Money.
struct RealFormatSize
{
    int width = 0;
    std::optional<int> decimals;
    bool leftJustify = false;
};
// Empty for a size that is not of that shape. The empty text is the valid "no size".
std::optional<RealFormatSize> parseRealFormatSize(QStringView size);

// The %<size>n, %<size>m and %<size>f patterns: the double's shortest decimal form rounded
// to the decimals (halves away from zero), grouped for Number and Money, padded with spaces
// to the width. formatReal(1234.5, Number, "10.2") gives "  1.234,50". A size that does not
// parse counts as no size. NaN and infinities give "NAN", "INF", "-INF".
QString formatReal(double value, RealFormat style, QStringView size,
                   const NumberFormat &fmt = activeNumberFormat());
QString formatReal(double value, RealFormat style, const RealFormatSize &size,
                   const NumberFormat &fmt = activeNumberFormat());

// A double rounded to `decimals` places the way formatReal shows it (halves away from zero
// on the shortest decimal form, so 2.675 gives 2.68).
double roundReal(double value, int decimals = 2);

} // namespace zorv

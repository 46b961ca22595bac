#pragma once

#include "controls/money.h"

#include <QString>

#include <compare>
#include <optional>

namespace zorv {

// A 128-bit whole number: wide enough for any sum of 64-bit amounts a ledger can hold.
using WideInt = __int128;

// A sum of currency amounts, at the scale of Currency (the amount times 10000) but held in
// 128 bits. Every amount a ledger line can carry fits in 64 bits, so adding them here never
// overflows: the totals, balances and percentages worked out from a sum are exact, where a
// 64-bit sum would have to drop the amount that pushed it out of range.
class AmountSum
{
public:
    constexpr AmountSum() = default;
    constexpr AmountSum(Currency amount) // NOLINT: every amount is a sum of one
        : m_raw(amount.raw())
    {}
    static constexpr AmountSum fromRaw(WideInt raw)
    {
        AmountSum s;
        s.m_raw = raw;
        return s;
    }

    constexpr WideInt raw() const { return m_raw; }
    // The sum rounded to whole cents, halves away from zero (what two-decimal text shows).
    AmountSum roundedToCents() const;

    friend constexpr auto operator<=>(AmountSum, AmountSum) = default;
    AmountSum &operator+=(AmountSum other)
    {
        m_raw += other.m_raw;
        return *this;
    }
    friend constexpr AmountSum operator+(AmountSum a, AmountSum b) { return fromRaw(a.m_raw + b.m_raw); }
    friend constexpr AmountSum operator-(AmountSum a, AmountSum b) { return fromRaw(a.m_raw - b.m_raw); }

private:
    WideInt m_raw = 0;
};

// The sum in "0.0,0" (thousands grouped, two decimals, halves away from zero, no sign on
// an amount that shows as zero), however large: the same text formatAmount gives for a
// Currency wherever the sum fits one.
QString formatAmount(AmountSum sum, const NumberFormat &fmt = activeNumberFormat());

// `part` as a whole percentage of `whole`, both taken at whole cents, halves away from
// zero; empty when `whole` shows as zero (the division has no result).
std::optional<WideInt> wholePercentage(AmountSum part, AmountSum whole);

// A whole number in plain decimal digits, "-" in front when negative.
QString wideIntText(WideInt value);

} // namespace zorv

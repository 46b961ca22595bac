#include "amountsum.h"

namespace zorv {

namespace {

using WideUInt = unsigned __int128;

WideUInt magnitude(WideInt value)
{
    return value < 0 ? WideUInt(0) - WideUInt(value) : WideUInt(value);
}

// A 128-bit magnitude has at most 39 digits; grouped with a separator every three, at
// most 52 characters.
constexpr int kMaxDigitChars = 64;

// Writes the digits of `n` backwards, ending at `end`, with a separator between groups of
// three when `separator` is set; returns the first character written.
char16_t *writeDigits(WideUInt n, char16_t *end, char16_t separator)
{
    char16_t *p = end;
    int inGroup = 0;
    do {
        if (separator && inGroup == 3) {
            *--p = separator;
            inGroup = 0;
        }
        *--p = char16_t(u'0' + int(n % 10));
        n /= 10;
        ++inGroup;
    } while (n != 0);
    return p;
}

} // namespace

AmountSum AmountSum::roundedToCents() const
{
    const WideUInt cents = (magnitude(m_raw) + 50) / 100;
    const WideInt rounded = WideInt(cents * 100);
    return fromRaw(m_raw < 0 ? -rounded : rounded);
}

QString formatAmount(AmountSum sum, const NumberFormat &fmt)
{
    const WideUInt cents = (magnitude(sum.raw()) + 50) / 100;
    char16_t buf[kMaxDigitChars + 4];
    char16_t *end = buf + sizeof buf / sizeof buf[0];
    char16_t *p = end;
    *--p = char16_t(u'0' + int(cents % 10));
    *--p = char16_t(u'0' + int(cents / 10 % 10));
    *--p = fmt.decimalSeparator.unicode();
    p = writeDigits(cents / 100, p, fmt.thousandSeparator.unicode());
    if (sum.raw() < 0 && cents != 0)
        *--p = u'-';
    return QString(reinterpret_cast<const QChar *>(p), end - p);
}

std::optional<WideInt> wholePercentage(AmountSum part, AmountSum whole)
{
    // In whole cents, so the percentage is that of the two texts the screen shows.
    const WideInt w = whole.roundedToCents().raw() / 100;
    if (w == 0)
        return std::nullopt;
    const WideInt scaled = part.roundedToCents().raw(); // cents times 100
    WideInt quotient = scaled / w;
    const WideUInt rest = magnitude(scaled % w);
    if (2 * rest >= magnitude(w))
        quotient += (scaled < 0) != (w < 0) ? -1 : 1;
    return quotient;
}

QString wideIntText(WideInt value)
{
    char16_t buf[kMaxDigitChars];
    char16_t *end = buf + sizeof buf / sizeof buf[0];
    char16_t *p = writeDigits(magnitude(value), end, 0);
    if (value < 0)
        *--p = u'-';
    return QString(reinterpret_cast<const QChar *>(p), end - p);
}

} // namespace zorv

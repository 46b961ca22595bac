#include "controls/money.h"

#include <QVarLengthArray>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace zorv {

namespace {

constexpr std::uint64_t kMaxPositiveRaw =
    static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
constexpr std::uint64_t kMaxNegativeRaw = kMaxPositiveRaw + 1; // magnitude of the smallest int64
// Whole units beyond this can never fit; accumulating stops there so nothing wraps.
constexpr std::uint64_t kWholeCap = kMaxNegativeRaw / Currency::kScale + 1;

// Shortest decimal text a double reads back from, in fixed notation ("1234.567", "-0.001").
// Large enough for every finite double.
struct ShortestFixed
{
    char buf[400];
    std::size_t len = 0;
};

bool shortestFixed(double value, ShortestFixed &out)
{
    if (!std::isfinite(value))
        return false;
    const auto res = std::to_chars(out.buf, out.buf + sizeof out.buf, value, std::chars_format::fixed);
    if (res.ec != std::errc())
        return false;
    out.len = static_cast<std::size_t>(res.ptr - out.buf);
    return true;
}

// Reads [+-]digits[<decimal>digits] into a raw Currency value, four decimals kept, a half
// beyond them rounded to even. Works on UTF-16 text and on the ASCII text of to_chars.
template<typename Ch> std::optional<std::int64_t> parseScaled(const Ch *p, const Ch *end, char16_t decimal)
{
    bool negative = false;
    if (p != end && (*p == Ch('+') || *p == Ch('-'))) {
        negative = *p == Ch('-');
        ++p;
    }
    auto isDigit = [](Ch c) { return c >= Ch('0') && c <= Ch('9'); };

    bool anyDigit = false;
    std::uint64_t whole = 0;
    for (; p != end && isDigit(*p); ++p) {
        anyDigit = true;
        if (whole < kWholeCap)
            whole = whole * 10 + static_cast<unsigned>(*p - Ch('0'));
    }
    std::uint64_t frac = 0;
    int fracDigits = 0;
    unsigned roundDigit = 0; // the fifth decimal
    bool sticky = false;     // anything non-zero after the fifth decimal
    if (p != end && static_cast<char16_t>(*p) == decimal) {
        ++p;
        for (; p != end && isDigit(*p); ++p) {
            anyDigit = true;
            const unsigned d = static_cast<unsigned>(*p - Ch('0'));
            if (fracDigits < 4)
                frac = frac * 10 + d;
            else if (fracDigits == 4)
                roundDigit = d;
            else if (d != 0)
                sticky = true;
            ++fracDigits;
        }
    }
    if (p != end || !anyDigit)
        return std::nullopt;
    for (int i = fracDigits; i < 4; ++i)
        frac *= 10;
    if (whole >= kWholeCap)
        return std::nullopt;
    std::uint64_t mag = whole * Currency::kScale + frac;
    if (roundDigit > 5 || (roundDigit == 5 && (sticky || (mag & 1))))
        ++mag;
    if (mag > (negative ? kMaxNegativeRaw : kMaxPositiveRaw))
        return std::nullopt;
    if (negative)
        return mag == kMaxNegativeRaw ? std::numeric_limits<std::int64_t>::min()
                                      : -static_cast<std::int64_t>(mag);
    return static_cast<std::int64_t>(mag);
}

using CleanBuffer = QVarLengthArray<char16_t, 64>;

// CleanNumberText into a stack buffer, so reading an amount allocates nothing.
void cleanInto(QStringView text, const NumberFormat &fmt, CleanBuffer &out)
{
    const char16_t thousands = fmt.thousandSeparator.unicode();
    out.reserve(text.size());
    for (const char16_t c : std::u16string_view(text.utf16(), static_cast<std::size_t>(text.size()))) {
        if (c != u' ' && c != thousands)
            out.append(c);
    }
    if (fmt.currencyString.isEmpty())
        return;
    const std::u16string_view cleaned(out.constData(), static_cast<std::size_t>(out.size()));
    const std::u16string_view currency(QStringView(fmt.currencyString).utf16(),
                                       static_cast<std::size_t>(fmt.currencyString.size()));
    const auto at = cleaned.find(currency);
    if (at == std::u16string_view::npos)
        return;
    std::copy(out.begin() + at + currency.size(), out.end(), out.begin() + at);
    out.resize(out.size() - static_cast<qsizetype>(currency.size()));
}

bool isLoneMinus(QStringView text)
{
    return text.size() == 1 && text.front() == QLatin1Char('-');
}

// Two-decimal text of a raw amount, halves away from zero, optionally grouped.
QString formatCents(std::int64_t raw, bool group, const NumberFormat &fmt)
{
    const std::uint64_t mag = raw < 0 ? 0 - static_cast<std::uint64_t>(raw) : static_cast<std::uint64_t>(raw);
    std::uint64_t cents = (mag + 50) / 100;
    const bool negative = raw < 0 && cents != 0;

    char16_t buf[48];
    char16_t *end = buf + sizeof buf / sizeof buf[0];
    char16_t *p = end;
    *--p = static_cast<char16_t>(u'0' + cents % 10);
    cents /= 10;
    *--p = static_cast<char16_t>(u'0' + cents % 10);
    cents /= 10;
    *--p = fmt.decimalSeparator.unicode();
    int inGroup = 0;
    do {
        if (group && inGroup == 3) {
            *--p = fmt.thousandSeparator.unicode();
            inGroup = 0;
        }
        *--p = static_cast<char16_t>(u'0' + cents % 10);
        cents /= 10;
        ++inGroup;
    } while (cents != 0);
    if (negative)
        *--p = u'-';
    return QString(reinterpret_cast<const QChar *>(p), end - p);
}

// A decimal number as digit strings, for formatting doubles with any number of decimals.
struct DecimalText
{
    bool negative = false;
    std::string whole;
    std::string frac;
};

DecimalText toDecimalText(const ShortestFixed &fixed)
{
    DecimalText d;
    std::string_view s(fixed.buf, fixed.len);
    if (!s.empty() && s.front() == '-') {
        d.negative = true;
        s.remove_prefix(1);
    }
    const auto dot = s.find('.');
    d.whole = std::string(s.substr(0, dot));
    if (dot != std::string_view::npos)
        d.frac = std::string(s.substr(dot + 1));
    return d;
}

// Rounds to `decimals` places, a half (or more) going away from zero; pads with zeros.
void roundDecimal(DecimalText &d, int decimals)
{
    const auto keep = static_cast<std::size_t>(decimals);
    if (d.frac.size() <= keep) {
        d.frac.append(keep - d.frac.size(), '0');
    } else {
        const bool up = d.frac[keep] >= '5';
        d.frac.resize(keep);
        if (up) {
            bool carry = true;
            for (auto it = d.frac.rbegin(); carry && it != d.frac.rend(); ++it) {
                carry = *it == '9';
                *it = carry ? '0' : static_cast<char>(*it + 1);
            }
            for (auto it = d.whole.rbegin(); carry && it != d.whole.rend(); ++it) {
                carry = *it == '9';
                *it = carry ? '0' : static_cast<char>(*it + 1);
            }
            if (carry)
                d.whole.insert(d.whole.begin(), '1');
        }
    }
    if (d.whole.empty())
        d.whole.push_back('0');
    const auto nonZero = [](const std::string &s) { return s.find_first_not_of('0') != std::string::npos; };
    if (!nonZero(d.whole) && !nonZero(d.frac))
        d.negative = false;
}

QString renderUnsigned(const DecimalText &d, bool group, const NumberFormat &fmt)
{
    QString out;
    out.reserve(static_cast<qsizetype>(d.whole.size() + d.whole.size() / 3 + d.frac.size() + 1));
    const std::size_t n = d.whole.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (group && i != 0 && (n - i) % 3 == 0)
            out.append(fmt.thousandSeparator);
        out.append(QLatin1Char(d.whole[i]));
    }
    if (!d.frac.empty()) {
        out.append(fmt.decimalSeparator);
        out.append(QLatin1String(d.frac.data(), static_cast<qsizetype>(d.frac.size())));
    }
    return out;
}

// Places the currency string around an unsigned number text as the format says.
QString placeCurrency(const QString &number, bool negative, const NumberFormat &fmt)
{
    static const char *const positive[] = {"$1", "1$", "$ 1", "1 $"};
    static const char *const negativePatterns[] = {"($1)", "-$1",  "$-1",   "$1-",  "(1$)", "-1$",
                                                   "1-$",  "1$-",  "-1 $",  "-$ 1", "1 $-", "$ 1-",
                                                   "$ -1", "1- $", "($ 1)", "(1 $)"};
    const char *pattern = negative ? negativePatterns[std::clamp(fmt.negCurrFormat, 0, 15)]
                                   : positive[std::clamp(fmt.currencyFormat, 0, 3)];
    QString out;
    for (const char *c = pattern; *c; ++c) {
        if (*c == '$')
            out.append(fmt.currencyString);
        else if (*c == '1')
            out.append(number);
        else
            out.append(QLatin1Char(*c));
    }
    return out;
}

constexpr int kMaxDecimals = 18;
constexpr int kMaxWidth = 4096;

} // namespace

// ---- Currency ---------------------------------------------------------------------------

std::optional<Currency> Currency::fromDouble(double value)
{
    ShortestFixed fixed;
    if (!shortestFixed(value, fixed))
        return std::nullopt;
    const auto raw = parseScaled(fixed.buf, fixed.buf + fixed.len, u'.');
    if (!raw)
        return std::nullopt;
    return fromRaw(*raw);
}

Currency Currency::roundedToCents() const
{
    const std::uint64_t mag =
        m_raw < 0 ? 0 - static_cast<std::uint64_t>(m_raw) : static_cast<std::uint64_t>(m_raw);
    const auto rounded = static_cast<std::int64_t>((mag + 50) / 100 * 100);
    return fromRaw(m_raw < 0 ? -rounded : rounded);
}

std::optional<Currency> checkedAdd(Currency a, Currency b)
{
    std::int64_t r;
    if (__builtin_add_overflow(a.raw(), b.raw(), &r))
        return std::nullopt;
    return Currency::fromRaw(r);
}

std::optional<Currency> checkedSub(Currency a, Currency b)
{
    std::int64_t r;
    if (__builtin_sub_overflow(a.raw(), b.raw(), &r))
        return std::nullopt;
    return Currency::fromRaw(r);
}

std::optional<Currency> checkedMul(Currency a, std::int64_t factor)
{
    std::int64_t r;
    if (__builtin_mul_overflow(a.raw(), factor, &r))
        return std::nullopt;
    return Currency::fromRaw(r);
}

// ---- Text to amount ---------------------------------------------------------------------

std::optional<Currency> parseCurrency(QStringView text, const NumberFormat &fmt)
{
    const char16_t *p = text.utf16();
    const auto raw = parseScaled(p, p + text.size(), fmt.decimalSeparator.unicode());
    if (!raw)
        return std::nullopt;
    return Currency::fromRaw(*raw);
}

std::optional<Currency> parseTypedAmount(QStringView text, const NumberFormat &fmt)
{
    if (const auto strict = parseCurrency(text, fmt))
        return strict;
    const QChar decimal = fmt.decimalSeparator;
    const QChar thousands = fmt.thousandSeparator;
    QStringView rest = text;
    QString digits;
    if (!rest.isEmpty() && (rest.front() == u'-' || rest.front() == u'+')) {
        digits.append(rest.front());
        rest = rest.sliced(1);
    }
    // The digit runs and the separators between them.
    QVarLengthArray<QStringView, 8> runs;
    QVarLengthArray<QChar, 8> seps;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= rest.size(); ++i) {
        if (i < rest.size() && rest[i] != thousands && rest[i] != decimal) {
            if (rest[i] < u'0' || rest[i] > u'9')
                return std::nullopt;
            continue;
        }
        runs.append(rest.sliced(start, i - start));
        if (i < rest.size())
            seps.append(rest[i]);
        start = i + 1;
    }
    if (seps.isEmpty())
        return std::nullopt;
    // The last separator is the decimal one, unless it is a thousands mark followed by
    // exactly three digits ("1.800" is one thousand eight hundred). A thousands mark
    // followed by any other number of digits reads as the decimal comma ("12.5" is 12,5),
    // as the field used to turn every typed point into a comma.
    const QStringView tail = runs.back();
    const bool lastIsDecimal = seps.back() == decimal || tail.size() != 3;
    if (lastIsDecimal && seps.size() == 1)
        return parseCurrency(digits + runs.front().toString() + decimal + tail.toString(), fmt);
    // Beyond one separator the amount is grouped: one to three digits, then threes, all
    // split by one and the same separator, and at most two decimals.
    if (lastIsDecimal && (tail.isEmpty() || tail.size() > 2))
        return std::nullopt;
    const qsizetype groupRuns = lastIsDecimal ? runs.size() - 1 : runs.size();
    for (qsizetype i = 0; i < groupRuns; ++i) {
        const QStringView group = runs[i];
        if (group.isEmpty() || group.size() > 3 || (i > 0 && group.size() != 3))
            return std::nullopt;
        if (i > 0 && seps[i - 1] != seps[0])
            return std::nullopt;
        digits.append(group);
    }
    if (lastIsDecimal) {
        digits.append(decimal);
        digits.append(tail);
    }
    return parseCurrency(digits, fmt);
}

QString CleanNumberText(QStringView text, const NumberFormat &fmt)
{
    CleanBuffer buf;
    cleanInto(text, fmt, buf);
    return QString(reinterpret_cast<const QChar *>(buf.constData()), buf.size());
}

std::optional<Currency> parseAmount(QStringView text, const NumberFormat &fmt)
{
    if (isLoneMinus(text))
        return Currency();
    CleanBuffer buf;
    cleanInto(text, fmt, buf);
    const auto raw = parseScaled(buf.cbegin(), buf.cend(), fmt.decimalSeparator.unicode());
    if (!raw)
        return std::nullopt;
    return Currency::fromRaw(*raw);
}

std::optional<double> parseReal(QStringView text, const NumberFormat &fmt)
{
    if (isLoneMinus(text))
        return 0.0;
    CleanBuffer buf;
    cleanInto(text, fmt, buf);
    // The scaled reading checks the shape and the range; the double is then read as written.
    if (!parseScaled(buf.cbegin(), buf.cend(), fmt.decimalSeparator.unicode()))
        return std::nullopt;
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(buf.size()));
    for (const char16_t c : buf) {
        if (c == u'+')
            continue;
        ascii.push_back(c == fmt.decimalSeparator.unicode() ? '.' : static_cast<char>(c));
    }
    double value = 0;
    const auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (res.ec != std::errc() || res.ptr != ascii.data() + ascii.size())
        return std::nullopt;
    // Near the top of the range the nearest double can lie just beyond it.
    if (!Currency::fromDouble(value))
        return std::nullopt;
    return value;
}

// ---- Amount to text ---------------------------------------------------------------------

QString formatAmount(Currency amount, const NumberFormat &fmt)
{
    return formatCents(amount.raw(), true, fmt);
}

QString formatPlain(Currency amount, const NumberFormat &fmt)
{
    return formatCents(amount.raw(), false, fmt);
}

std::optional<RealFormatSize> parseRealFormatSize(QStringView size)
{
    RealFormatSize result;
    qsizetype i = 0;
    const qsizetype n = size.size();
    auto readNumber = [&](int &out) {
        long long v = 0;
        while (i < n && size[i].isDigit() && size[i].unicode() < 128) {
            v = std::min<long long>(v * 10 + (size[i].unicode() - u'0'), 1000000);
            ++i;
        }
        out = static_cast<int>(v);
    };
    if (i < n && size[i] == QLatin1Char('-')) {
        result.leftJustify = true;
        ++i;
    }
    readNumber(result.width);
    if (i < n && size[i] == QLatin1Char('.')) {
        ++i;
        int decimals = 0;
        readNumber(decimals);
        result.decimals = decimals;
    }
    if (i != n)
        return std::nullopt;
    return result;
}

QString formatReal(double value, RealFormat style, QStringView size, const NumberFormat &fmt)
{
    return formatReal(value, style, parseRealFormatSize(size).value_or(RealFormatSize()), fmt);
}

QString formatReal(double value, RealFormat style, const RealFormatSize &size, const NumberFormat &fmt)
{
    QString text;
    ShortestFixed fixed;
    if (!shortestFixed(value, fixed)) {
        text = std::isnan(value) ? QStringLiteral("NAN")
               : value < 0       ? QStringLiteral("-INF")
                                 : QStringLiteral("INF");
    } else {
        const int defaultDecimals = style == RealFormat::Money ? fmt.currencyDecimals : 2;
        const int decimals = std::clamp(size.decimals.value_or(defaultDecimals), 0, kMaxDecimals);
        DecimalText d = toDecimalText(fixed);
        roundDecimal(d, decimals);
        const QString number = renderUnsigned(d, style != RealFormat::Fixed, fmt);
        if (style == RealFormat::Money)
            text = placeCurrency(number, d.negative, fmt);
        else
            text = d.negative ? QStringLiteral("-") + number : number;
    }
    const int width = std::min(size.width, kMaxWidth);
    if (text.size() < width) {
        const QString pad(width - text.size(), QLatin1Char(' '));
        text = size.leftJustify ? text + pad : pad + text;
    }
    return text;
}

double roundReal(double value, int decimals)
{
    ShortestFixed fixed;
    if (!shortestFixed(value, fixed))
        return value;
    DecimalText d = toDecimalText(fixed);
    roundDecimal(d, std::clamp(decimals, 0, kMaxDecimals));
    std::string s = (d.negative ? "-" : "") + d.whole;
    if (!d.frac.empty())
        s += '.' + d.frac;
    double out = 0;
    std::from_chars(s.data(), s.data() + s.size(), out);
    return out;
}

} // namespace zorv

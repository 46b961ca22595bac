// The money parser: any text parses or is refused without a fault, and an amount read from
// text shows as two-decimal text that reads back as the same amount rounded to cents.
#include "controls/money.h"
#include "fuzzcheck.h"

using namespace zorv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Amounts are typed and stored in the code page: read the bytes as Latin-1 text.
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));

    if (const auto strict = parseCurrency(text)) {
        // The strict reading is a special case of the lenient one.
        FUZZ_CHECK(parseAmount(text) == strict);
    }
    if (const auto amount = parseAmount(text)) {
        const Currency cents = amount->roundedToCents();
        const QString shown = formatAmount(*amount);
        const auto back = parseAmount(shown);
        FUZZ_CHECK(back.has_value());
        FUZZ_CHECK(*back == cents);
        const auto plain = parseCurrency(formatPlain(*amount));
        FUZZ_CHECK(plain.has_value() && *plain == cents);
    }
    if (const auto real = parseReal(text))
        FUZZ_CHECK(Currency::fromDouble(*real).has_value());
    return 0;
}

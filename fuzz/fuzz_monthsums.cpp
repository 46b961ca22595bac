// The month sums over a ledger file of any bytes: no fault; the file saved back and loaded
// again gives the same sums; and the sums of the file's two halves add up to the sums of
// the whole whenever nothing overflows.
#include "finance/ledger.h"
#include "fuzzcheck.h"
#include "store/textcodec.h"

#include <limits>

using namespace zorv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TextEncoding encoding = TextEncoding::Ansi;
    const QStringList lines = decodeLines(fuzz::bytesOf(data, size), &encoding);
    const MonthSums sums = computeMonthSums(lines);

    const MonthSums reloaded = computeMonthSums(decodeLines(encodeLines(lines, encoding)));
    FUZZ_CHECK(reloaded.entrances == sums.entrances && reloaded.exits == sums.exits);

    // Whenever no sum can leave the range, the halves add up to the whole.
    __int128 magnitude = 0;
    for (const QString &line : lines) {
        if (const auto amount = lineAmount(line))
            magnitude += amount->raw() < 0 ? -__int128(amount->raw()) : __int128(amount->raw());
    }
    if (magnitude <= std::numeric_limits<std::int64_t>::max()) {
        const qsizetype half = lines.size() / 2;
        const MonthSums first = computeMonthSums(lines.mid(0, half));
        const MonthSums second = computeMonthSums(lines.mid(half));
        FUZZ_CHECK(first.entrances + second.entrances == sums.entrances);
        FUZZ_CHECK(first.exits + second.exits == sums.exits);
    }

    if (const auto percent = exitPercentage(sums.entrances, sums.exits))
        FUZZ_CHECK(clampGauge(*percent) >= 0 && clampGauge(*percent) <= 100);
    return 0;
}

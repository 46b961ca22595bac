// The tagged-record readers: the copying and the viewing reading of a line agree, each
// field is what the field routines give, and the lookups find what a plain scan finds.
#include "fuzzcheck.h"
#include "store/records.h"
#include "store/textcodec.h"

using namespace zorv;

namespace {

bool beginsWithIgnoringCase(const QString &line, const QString &key)
{
    return line.startsWith(key, Qt::CaseInsensitive);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Ledger bytes as the loader reads them (a mark selects UTF-8 or UTF-16), lines kept joined.
    const QString text = decodeText(fuzz::bytesOf(data, size));

    const TaggedFields fields = extractFields(text);
    const TaggedFieldViews views = extractFieldViews(text);
    FUZZ_CHECK(fields.f0 == views.f0 && fields.f1 == views.f1 && fields.f2 == views.f2);
    FUZZ_CHECK(fields.f3 == views.f3 && fields.f4 == views.f4);
    FUZZ_CHECK(fields.f0 == FieldBefore(text, kMarker1));
    FUZZ_CHECK(fields.f1 == FieldBefore(FieldAfter(text, kMarker1), kMarker2));
    FUZZ_CHECK(FieldAfter(text, kMarker1).size() <= 255);

    // LastPos against the library's own search, on the text cut in two at its first character.
    const qsizetype cut = text.isEmpty() ? 0 : text[0].unicode() % (text.size() + 1);
    const QString sub = text.mid(1, cut);
    const QString hay = text.mid(1 + cut);
    FUZZ_CHECK(LastPos(sub, hay) == int(sub.size() > hay.size() ? 0 : hay.lastIndexOf(sub) + 1));

    // The lookups search from the second line to the last, then the first.
    const QStringList lines = text.split(QLatin1Char('\n'));
    const QString key = lines.first().left(4);
    qsizetype expected = -1;
    for (qsizetype i = 1; i <= lines.size() && expected < 0; ++i) {
        const qsizetype at = i % lines.size();
        if (beginsWithIgnoringCase(lines[at], key))
            expected = at;
    }
    FUZZ_CHECK(findLineByPrefix(lines, key) == expected);
    const qsizetype whole = findWholeLine(lines, key);
    FUZZ_CHECK(whole < 0 || lines[whole].compare(key, Qt::CaseInsensitive) == 0);

    const QString one = oneLineText(text);
    FUZZ_CHECK(!one.contains(QLatin1Char('\r')) && !one.contains(QLatin1Char('\n')) &&
               !one.contains(QChar(0)));
    return 0;
}

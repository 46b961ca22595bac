// The text-list decoder and encoder: any bytes load without a fault, and whatever the
// decoder accepts as one of its encodings saves back to bytes that load to the same lines
// and save to the same bytes again. The one-line append matches load, append and save.
#include "fuzzcheck.h"
#include "store/textcodec.h"

using namespace zorv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    TextEncoding encoding = TextEncoding::Ansi;
    const QStringList lines = decodeLines(bytes, &encoding);

    // The whole-text reader breaks lines the same way.
    TextEncoding textEncoding = TextEncoding::Ansi;
    QStringList walked;
    forEachLine(decodeText(bytes, &textEncoding), [&](QStringView line) { walked.append(line.toString()); });
    FUZZ_CHECK(textEncoding == encoding);
    FUZZ_CHECK(walked == lines);

    const QByteArray saved = encodeLines(lines, encoding);
    TextEncoding again = TextEncoding::Ansi;
    const QStringList reloaded = decodeLines(saved, &again);
    if (!lines.isEmpty())
        FUZZ_CHECK(again == encoding);
    FUZZ_CHECK(reloaded == lines);
    FUZZ_CHECK(encodeLines(reloaded, encoding) == saved);

    const QString line = lines.isEmpty() ? QStringLiteral("x") : lines.last();
    FUZZ_CHECK(appendLineToFileBytes(bytes, line) == encodeLines(QStringList(lines) << line, encoding));

    // Characters the code page holds survive it.
    for (const QString &l : lines) {
        if (fitsWindows1252(l))
            FUZZ_CHECK(decodeWindows1252(encodeWindows1252(l)) == l);
    }
    return 0;
}

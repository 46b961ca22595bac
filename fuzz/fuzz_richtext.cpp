// The rich-text reader and writer: any bytes read as RTF, the document written and read
// again, without a fault (AddressSanitizer, UndefinedBehaviorSanitizer, libFuzzer's time
// and memory limits). scripts/fuzz richtext runs it over the fixtures and the seeds in
// fuzz/seeds/richtext.
#include "store/rtf/rtfreader.h"
#include "store/rtf/rtfwriter.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Text layout needs a GUI application; the offscreen platform needs no display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QTextDocument doc;
    zorv::readRtf(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)), doc);
    const QByteArray written = zorv::writeRtf(doc);
    QTextDocument again;
    zorv::readRtf(written, again);
    return 0;
}

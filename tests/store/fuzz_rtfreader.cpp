// libFuzzer target: any bytes read as RTF, the document written and read again. Built only
// with -DZORV_FUZZ=ON and clang; run it on the fixtures, e.g.
//   build-fuzz/bin/fuzz_rtfreader -max_total_time=300 tests/store/data/rtf
#include "store/rtfreader.h"
#include "store/rtfwriter.h"

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

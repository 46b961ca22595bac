// Reading rich-text pages of unusual shapes (a huge font table, one very long line, many
// small groups, long runs of text under many format changes) against a plain page of the
// same size: every shape should read in time proportional to its size. Each shape is
// measured at two sizes; compare the time per byte (bytes_per_second) of a shape with the
// plain page's at the same size, and of one shape at both sizes.
#include "store/rtf/rtfreader.h"

#include <QAbstractTextDocumentLayout>
#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <functional>
#include <map>

namespace {

const QByteArray kHeader("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1046");
const QByteArray kWords("Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod ");

// Paragraphs of ordinary text in one font.
QByteArray plainPage(qsizetype size)
{
    QByteArray rtf =
        kHeader + "{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs24 ";
    while (rtf.size() < size)
        rtf += kWords + kWords + "\\par\r\n";
    return rtf + "}\r\n";
}

// A font table of as many entries as fit, then one line of text.
QByteArray fontHeavyPage(qsizetype size)
{
    QByteArray rtf = kHeader + "{\\fonttbl";
    for (int i = 0; rtf.size() < size; ++i)
        rtf += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 Fonte " + QByteArray::number(i) + ";}";
    return rtf + "}\r\n\\viewkind4\\uc1\\pard\\f0\\fs24 " + kWords + "\\par\r\n}\r\n";
}

// Many fonts, each of them used in the text, in one line.
QByteArray fontsUsedPage(qsizetype size)
{
    QByteArray table = "{\\fonttbl";
    QByteArray body = "\\viewkind4\\uc1\\pard\\fs24 ";
    for (int i = 0; table.size() + body.size() < size; ++i) {
        table += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 Fonte " + QByteArray::number(i) + ";}";
        body += "\\f" + QByteArray::number(i) + " palavra ";
    }
    return kHeader + table + "}\r\n" + body + "\\par\r\n}\r\n";
}

// One paragraph on one line of the file: text with a bold word now and then.
QByteArray longLinePage(qsizetype size)
{
    QByteArray rtf =
        kHeader + "{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs24 ";
    while (rtf.size() < size)
        rtf += kWords + "\\b negrito\\b0  ";
    return rtf + "\\par}";
}

// Many colours and sizes, each used in the text, and links, in one line.
QByteArray coloursUsedPage(qsizetype size)
{
    QByteArray table = "{\\colortbl ;";
    QByteArray body = "\\viewkind4\\uc1\\pard\\f0 ";
    for (int i = 1; table.size() + body.size() < size; ++i) {
        table += "\\red" + QByteArray::number(i % 256) + "\\green" + QByteArray::number(i / 256 % 256) +
                 "\\blue" + QByteArray::number(i / 65536) + ";";
        body += "\\cf" + QByteArray::number(i) + "\\fs" + QByteArray::number(2 + i % 3000) + " cor ";
        if (i % 8 == 0)
            body += "{\\field{\\*\\fldinst{HYPERLINK \"https://x.invalid/" + QByteArray::number(i) +
                    "\"}}{\\fldrslt{elo}}} ";
    }
    return kHeader + "{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}}\r\n" + table + "}\r\n" + body +
           "\\par\r\n}\r\n";
}

// One paragraph on one line, its accented letters and symbols written as escapes.
QByteArray escapedLinePage(qsizetype size)
{
    QByteArray rtf =
        kHeader + "{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs24 ";
    while (rtf.size() < size)
        rtf += "P\\'e1gina \\u8364? ol\\'e1\\tab x\\line ";
    return rtf + "\\par}";
}

// One paragraph, one line, plain text only.
QByteArray longRunPage(qsizetype size)
{
    QByteArray rtf =
        kHeader + "{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs24 ";
    while (rtf.size() < size)
        rtf += kWords;
    return rtf + "\\par}";
}

// One paragraph holding a single word with no space in it.
QByteArray longWordPage(qsizetype size)
{
    QByteArray rtf =
        kHeader + "{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs24 ";
    rtf += QByteArray(size - rtf.size(), 'x');
    return rtf + "\\par}";
}

// Text in many small groups, some nested, on one line.
QByteArray manyGroupsPage(qsizetype size)
{
    QByteArray rtf =
        kHeader + "{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs24 ";
    while (rtf.size() < size)
        rtf += "{\\i a}{\\b b{\\ul c}}{d}{\\*\\unknown e}";
    return rtf + "\\par}";
}

using Shape = std::function<QByteArray(qsizetype)>;

const QByteArray &page(const char *name, const Shape &shape, qsizetype size)
{
    static std::map<std::pair<std::string, qsizetype>, QByteArray> pages;
    auto &bytes = pages[{name, size}];
    if (bytes.isEmpty())
        bytes = shape(size);
    return bytes;
}

void read(benchmark::State &state, const char *name, const Shape &shape)
{
    const QByteArray &rtf = page(name, shape, state.range(0));
    for (auto _ : state) {
        QTextDocument doc;
        zorv::readRtf(rtf, doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}

// Read into a document laid out 800 pixels wide, as the editor shows it: the layout is part
// of the time.
void readLaidOut(benchmark::State &state, const char *name, const Shape &shape)
{
    const QByteArray &rtf = page(name, shape, state.range(0));
    for (auto _ : state) {
        QTextDocument doc;
        doc.setTextWidth(800);
        doc.documentLayout();
        zorv::readRtf(rtf, doc);
        benchmark::DoNotOptimize(doc.size());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}

void BM_PlainLaidOut(benchmark::State &s)
{
    readLaidOut(s, "plain", plainPage);
}
void BM_LongWordLaidOut(benchmark::State &s)
{
    readLaidOut(s, "longword", longWordPage);
}

void BM_Plain(benchmark::State &s)
{
    read(s, "plain", plainPage);
}
void BM_FontHeavy(benchmark::State &s)
{
    read(s, "fontheavy", fontHeavyPage);
}
void BM_FontsUsed(benchmark::State &s)
{
    read(s, "fontsused", fontsUsedPage);
}
void BM_LongLine(benchmark::State &s)
{
    read(s, "longline", longLinePage);
}
void BM_ColoursUsed(benchmark::State &s)
{
    read(s, "coloursused", coloursUsedPage);
}
void BM_EscapedLine(benchmark::State &s)
{
    read(s, "escapedline", escapedLinePage);
}
void BM_LongRun(benchmark::State &s)
{
    read(s, "longrun", longRunPage);
}
void BM_ManyGroups(benchmark::State &s)
{
    read(s, "manygroups", manyGroupsPage);
}

// 512 KB and 2 MB: four times the bytes should take four times as long.
#define SHAPE(fn) BENCHMARK(fn)->Arg(512 << 10)->Arg(2 << 20)->Unit(benchmark::kMillisecond)
SHAPE(BM_Plain);
SHAPE(BM_FontHeavy);
SHAPE(BM_FontsUsed);
SHAPE(BM_LongLine);
SHAPE(BM_ColoursUsed);
SHAPE(BM_EscapedLine);
SHAPE(BM_LongRun);
SHAPE(BM_ManyGroups);
BENCHMARK(BM_PlainLaidOut)->Arg(128 << 10)->Arg(512 << 10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LongWordLaidOut)->Arg(128 << 10)->Arg(512 << 10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // Fonts are resolved through the GUI application; the offscreen platform needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

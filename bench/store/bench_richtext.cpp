// Reading and writing a 2 MB rich-text document through the RTF codec, against Qt's own
// HTML import and export of the same document measured in the same run.
#include "benchdata.h"

#include "store/richtextfile.h"
#include "store/rtf/rtfreader.h"
#include "store/rtf/rtfwriter.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {

struct Stress
{
    QByteArray rtf;
    QString html; // the same document as HTML, its picture inline as a data address
    QTextDocument doc;
};

Stress &stress()
{
    static Stress *s = [] {
        auto *st = new Stress;
        QFile f(zorv::bench::stressRtf());
        f.open(QIODevice::ReadOnly);
        st->rtf = f.readAll();
        zorv::readRichText(st->rtf, st->doc);
        st->html = st->doc.toHtml();
        // Pictures go inline so that both imports decode the same PNG.
        static const QRegularExpression src(QStringLiteral("src=\"(zorv-image:[0-9]+)\""));
        QString html;
        qsizetype from = 0;
        for (auto it = src.globalMatch(st->html); it.hasNext();) {
            const auto m = it.next();
            const QImage image =
                st->doc.resource(QTextDocument::ImageResource, QUrl(m.captured(1))).value<QImage>();
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            html += QStringView(st->html).sliced(from, m.capturedStart() - from);
            html +=
                QStringLiteral("src=\"data:image/png;base64,") + QString::fromLatin1(png.toBase64()) + u'"';
            from = m.capturedEnd();
        }
        html += QStringView(st->html).sliced(from);
        st->html = html;
        return st;
    }();
    return *s;
}

void BM_RtfRead(benchmark::State &state)
{
    const QByteArray &rtf = stress().rtf;
    for (auto _ : state) {
        QTextDocument doc;
        zorv::readRichText(rtf, doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}

void BM_HtmlRead(benchmark::State &state)
{
    const QString &html = stress().html;
    for (auto _ : state) {
        QTextDocument doc;
        doc.setHtml(html);
        benchmark::DoNotOptimize(doc.characterCount());
    }
}

// A 2 MB page of 25 000 bullet paragraphs as the rich-edit control writes it, and the same
// text as an HTML list.
struct BulletPage
{
    QByteArray rtf;
    QString html;
};

const BulletPage &bulletPage()
{
    static const BulletPage page = [] {
        constexpr int items = 25000;
        BulletPage p;
        p.rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1046{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}"
                "{\\f1\\fnil\\fcharset2 Symbol;}}\r\n{\\colortbl ;\\red192\\green192\\blue192;}\r\n"
                "\\viewkind4\\uc1\\pard{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\fi-200\\li200"
                "\\cf1\\f0\\fs24 ";
        p.html = QStringLiteral("<ul>");
        for (int i = 0; i < items; ++i) {
            const QByteArray text = "Item " + QByteArray::number(i).rightJustified(5, '0') +
                                    ": anotado na lista de tarefas da semana";
            p.rtf += "{\\pntext\\f1\\'b7\\tab}" + text + "\\par\r\n";
            p.html += QStringLiteral("<li>") + QString::fromLatin1(text) + QStringLiteral("</li>");
        }
        p.rtf += "}\r\n";
        p.html += QStringLiteral("</ul>");
        return p;
    }();
    return page;
}

void BM_RtfReadBulletList(benchmark::State &state)
{
    const QByteArray &rtf = bulletPage().rtf;
    for (auto _ : state) {
        QTextDocument doc;
        zorv::readRichText(rtf, doc);
        benchmark::DoNotOptimize(doc.blockCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}

void BM_HtmlReadBulletList(benchmark::State &state)
{
    const QString &html = bulletPage().html;
    for (auto _ : state) {
        QTextDocument doc;
        doc.setHtml(html);
        benchmark::DoNotOptimize(doc.blockCount());
    }
}

void BM_RtfWrite(benchmark::State &state)
{
    const QTextDocument &doc = stress().doc;
    for (auto _ : state)
        benchmark::DoNotOptimize(zorv::writeRtf(doc).size());
}

void BM_HtmlWrite(benchmark::State &state)
{
    const QTextDocument &doc = stress().doc;
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.toHtml().size());
}

} // namespace

BENCHMARK(BM_RtfRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HtmlRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfReadBulletList)->Unit(benchmark::kMillisecond);
// Qt's HTML import makes the list one paragraph at a time, each one walking every paragraph
// of the list already made: one run is minutes long.
BENCHMARK(BM_HtmlReadBulletList)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_HtmlWrite)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

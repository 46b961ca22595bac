// The word lookup's extraction over a 1 MB synthetic dictionary page:
//   BM_ParseOnly               the baseline: the HTML parser's parse of the bytes alone
//   BM_Extraction              parse, the meaning element by id (it is last), its inner
//                              markup and the meaning's lines
//   BM_ExtractionAgainstParse  both in turn, many rounds; reports the medians and their ratio

#include "benchdata.h"

#include "organizer/htmlpage.h"
#include "organizer/wordlookup.h"

#include <QElapsedTimer>

#include <benchmark/benchmark.h>
#include <libxml/HTMLparser.h>

#include <algorithm>
#include <vector>

namespace {

const QByteArray &page()
{
    static const QByteArray bytes = zorv::bench::syntheticDictionaryPage();
    return bytes;
}

void parseOnly()
{
    const QByteArray &bytes = page();
    htmlDocPtr doc =
        htmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, "utf-8",
                       HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING);
    benchmark::DoNotOptimize(doc);
    xmlFreeDoc(doc);
}

QStringList extract()
{
    zorv::HtmlPage doc(page(), "utf-8");
    return zorv::meaningLines(zorv::HtmlPage::innerHtml(doc.elementById(QStringLiteral("significado"))));
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void BM_ParseOnly(benchmark::State &state)
{
    for (auto _ : state)
        parseOnly();
    state.SetBytesProcessed(state.iterations() * page().size());
}

void BM_Extraction(benchmark::State &state)
{
    qsizetype lines = 0;
    for (auto _ : state)
        lines = extract().size();
    state.counters["lines"] = double(lines);
    state.SetBytesProcessed(state.iterations() * page().size());
}

void BM_ExtractionAgainstParse(benchmark::State &state)
{
    std::vector<double> extraction, parse;
    QElapsedTimer clock;
    for (auto _ : state) {
        for (int round = 0; round < 15; ++round) {
            clock.start();
            benchmark::DoNotOptimize(extract());
            extraction.push_back(clock.nsecsElapsed() / 1e6);
            clock.start();
            parseOnly();
            parse.push_back(clock.nsecsElapsed() / 1e6);
        }
    }
    const double extractionMs = median(extraction), parseMs = median(parse);
    state.counters["extraction_ms"] = extractionMs;
    state.counters["parse_ms"] = parseMs;
    state.counters["ratio"] = parseMs > 0 ? extractionMs / parseMs : 0;
}

} // namespace

BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Extraction)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractionAgainstParse)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();

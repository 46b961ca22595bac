// The word lookup's extraction over a 1 MB synthetic dictionary page:
//   BM_ParseOnly               the baseline: the HTML parser's parse of the bytes alone
//   BM_Extraction              parse, the meaning element by id (it is last), its inner
//                              markup and the meaning's lines
//   BM_ExtractionAgainstParse  both in turn, many rounds; reports the medians and their ratio

#include "benchdata.h"
#include "rounds.h"

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
    zorv::bench::compareInRounds(
        state, 15, "extraction_ms", [&] { benchmark::DoNotOptimize(extract()); }, "parse_ms",
        [&] { parseOnly(); });
}

} // namespace

BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Extraction)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractionAgainstParse)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();

#pragma once

#include <QString>
#include <QStringList>

namespace zorv::bench {

struct GeneratedData
{
    int firstYear = 2006;
    int years = 20;
    int entriesPerMonth = 400;
};

// Writes a synthetic installation under `root`: root/dados with 20 years of month and
// year ledgers (Portuguese sources, all five operations and payment forms), the sources
// list, the currency symbol, shortcuts, aliases, contacts, notes and diary pages.
// Deterministic: the same call always writes the same bytes.
bool generateDataFolder(const QString &root, const GeneratedData &shape = {});

// The rich-text files: root/richtext/stress.rtf (about 2 MB: fonts, colours, \'xx and \uN
// escapes, tables and a 300 KB PNG; outside the data folder), a 50 KB quick-notes file in
// the rich-edit shape and a diary page of about 2 KB for every day of 2013.
bool generateRichTextFiles(const QString &root);
// Native path of the stress document.
QString stressRtf();

// The installation the benchmarks work on: $ZORV_BENCH_DATA when set (generated there
// when it holds no data folder yet), else a folder under the system temp folder.
QString benchRoot();

// Native path of a file of that installation, relative to its root ("dados/Finance/2025.CX").
QString benchFile(const QString &relative);

// The year ledger with the most bytes, and the month ledger with the most lines.
QString largestYearLedger();
QString largestMonthLedger();

} // namespace zorv::bench

#pragma once

#include <QString>
#include <QStringList>

namespace zorv::bench {

struct GeneratedData
{
    int firstYear = 2006;
    int years = 20;
    int entriesPerMonth = 400;
    // Contacts of the phone book (".tel") and, as many, of the activity map (".map").
    int contacts = 10;
};

// Writes a synthetic installation under `root`: root/dados with 20 years of month and
// year ledgers (Portuguese sources, all five operations and payment forms), the sources
// list, the currency symbol, shortcuts, aliases, contacts, notes and diary pages.
// Deterministic: the same call always writes the same bytes.
bool generateDataFolder(const QString &root, const GeneratedData &shape = {});

// Writes `count` phone-book contacts and `count` activity-map contacts into root/dados/Notas
// (which must exist), each file holding one to three lines in the pages' own line layout,
// and the activity-map notes "Map.next". Deterministic.
bool generateContactFiles(const QString &root, int count);

// The installation the benchmarks work on: $ZORV_BENCH_DATA when set (generated there
// when it holds no data folder yet), else a folder under the system temp folder.
QString benchRoot();

// Native path of a file of that installation, relative to its root ("dados/Finance/2025.CX").
QString benchFile(const QString &relative);

// The year ledger with the most bytes, and the month ledger with the most lines.
QString largestYearLedger();
QString largestMonthLedger();

} // namespace zorv::bench

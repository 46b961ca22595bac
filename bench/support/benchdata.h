#pragma once

#include <QByteArray>
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

// The appointments of that installation: "dados/Notas/Tasks.go" with 5 000 records over
// twenty years in file order (some without a time, accented texts up to 300 characters)
// and "dados/notas/Music.comp". Deterministic; generateDataFolder writes them too.
inline constexpr int kAppointmentRecords = 5000;
bool generateAppointments(const QString &root);

// The Windows-directory stand-in beside the data folder (root/windows) with an access
// password file. Part of generateDataFolder; callable alone for a folder generated before.
bool generateAccessPassword(const QString &root);

// A dictionary page of about `bytes` bytes: blocks of deeply nested elements, most with an
// id, then the meaning element (id "significado", upper-case tags as a page model writes
// them) as the body's last element. Deterministic.
QByteArray syntheticDictionaryPage(qsizetype bytes = 1024 * 1024);

// The installation the benchmarks work on: $ZORV_BENCH_DATA when set (generated there
// when it holds no data folder yet), else a folder under the system temp folder.
QString benchRoot();

// Native path of a file of that installation, relative to its root ("dados/Finance/2025.CX").
QString benchFile(const QString &relative);

// The year ledger with the most bytes, and the month ledger with the most lines.
QString largestYearLedger();
QString largestMonthLedger();

} // namespace zorv::bench

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

// root/Musicas beside the data folder: 2 000 empty files, 1 600 of them music (".mp3" and
// ".wma" in mixed case, accented names) and 400 others, and "dados\Play.list" naming it.
// Part of generateDataFolder.
bool generateMusicFolder(const QString &root);

// root/Imagens beside the data folder: 12 small pictures (JPEG, PNG, BMP, TIFF) and one
// 6000 x 4000 JPEG "grande.jpg", and "dados\Slide.list" naming it. Part of generateDataFolder.
bool generatePictureFolder(const QString &root);

// The installation the benchmarks work on: $ZORV_BENCH_DATA when set (generated there
// when it holds no data folder yet), else a folder under the system temp folder.
QString benchRoot();

// Native path of a file of that installation, relative to its root ("dados/Finance/2025.CX").
QString benchFile(const QString &relative);

// The year ledger with the most bytes, and the month ledger with the most lines.
QString largestYearLedger();
QString largestMonthLedger();

} // namespace zorv::bench

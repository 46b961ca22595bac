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
    // Contacts of the phone book (".tel") and, as many, of the activity map (".map").
    int contacts = 10;
};

// Writes a synthetic installation under `root`: root/dados with 20 years of month and
// year ledgers (Portuguese sources, all five operations and payment forms), the sources
// list, the currency symbol, contacts, notes and diary pages; the shortcut list, aliases,
// automatic tasks and folder history naming items of every kind under root/alvos.
// Deterministic: the same call always writes the same bytes.
bool generateDataFolder(const QString &root, const GeneratedData &shape = {});

// The Windows-directory stand-in beside the data folder (root/windows) with an access
// password file. Part of generateDataFolder; callable alone for a folder generated before.
bool generateAccessPassword(const QString &root);
// The appointments of that installation: "dados/Notas/Tasks.go" with 5 000 records over
// twenty years in file order (some without a time, accented texts up to 300 characters)
// and "dados/notas/Music.comp". Deterministic; generateDataFolder writes them too.
inline constexpr int kAppointmentRecords = 5000;
bool generateAppointments(const QString &root);
// root/Musicas beside the data folder: 2 000 empty files, 1 600 of them music (".mp3" and
// ".wma" in mixed case, accented names) and 400 others, and "dados\Play.list" naming it.
// Part of generateDataFolder.
bool generateMusicFolder(const QString &root);

// The employee list of the stand-in (root/windows/MSWinDirBase.vxd, 200 released programs)
// and their executables under root/Aplicativos, every tenth one missing. Part of
// generateDataFolder; callable alone for a folder generated before.
bool generateEmployeeList(const QString &root);
// Writes `count` phone-book contacts and `count` activity-map contacts into root/dados/Notas
// (which must exist), each file holding one to three lines in the pages' own line layout,
// and the activity-map notes "Map.next". Deterministic.
bool generateContactFiles(const QString &root, int count);
// root/Imagens beside the data folder: 12 small pictures (JPEG, PNG, BMP, TIFF) and one
// 6000 x 4000 JPEG "grande.jpg", and "dados\Slide.list" naming it. Part of generateDataFolder.
bool generatePictureFolder(const QString &root);
// The rich-text files: root/richtext/stress.rtf (about 2 MB: fonts, colours, \'xx and \uN
// escapes, tables and a 300 KB PNG; outside the data folder), a 50 KB quick-notes file in
// the rich-edit shape and a diary page of about 2 KB for every day of 2013.
bool generateRichTextFiles(const QString &root);
// Native path of the stress document.
QString stressRtf();
// A dictionary page of about `bytes` bytes: blocks of deeply nested elements, most with an
// id, then the meaning element (id "significado", upper-case tags as a page model writes
// them) as the body's last element. Deterministic.
QByteArray syntheticDictionaryPage(qsizetype bytes = 1024 * 1024);

// A bank statement as banks export it (OFX 1.x SGML, "CHARSET:1252", one tag a line) for
// the year 2025 with `transactions` movements: credits and debits, Windows-1252 accents,
// dates with a time zone, amounts with a comma or a point, memos with "&", a FITID on most
// and a few repeated or empty. Deterministic.
inline constexpr int kStatementTransactions = 5000;
QByteArray syntheticStatement(int transactions = kStatementTransactions);

// The installation the benchmarks work on: $ZORV_BENCH_DATA when set (generated there
// when it holds no data folder yet), else a folder under the system temp folder.
QString benchRoot();

// Native path of a file of that installation, relative to its root ("dados/Finance/2025.CX").
QString benchFile(const QString &relative);

// The year ledger with the most bytes, and the month ledger with the most lines.
QString largestYearLedger();
QString largestMonthLedger();

// The full suite switched on over an installation generated before: the flag file
// "dados/Suite.full", and the one page file the generator leaves out, the personal trainer's
// interval "dados/Personal.not", so every page has something to show.
bool generateFullSuite(const QString &root);

} // namespace zorv::bench

#pragma once

#include "finance/ledger.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace zorv::bench {

// The sample installation that `scripts/run --demo` starts from: a household's last three
// years of ledger entries up to today, and the organizer's files a user of the full suite
// sees. Unlike the benchmarks' random shape it is meant to be looked at.

// The same seed and the same day always give the same bytes.
inline constexpr quint32 kDemoSeed = 20240311;
// Bills still to pay or to receive may lie up to this many days after today; nothing else
// is dated after today.
inline constexpr int kDemoBillDays = 21;
// The number of months the ledgers cover, the month of today included.
inline constexpr int kDemoMonths = 36;

// The folders the demo lays beside the data folder: the playlist's music and the backup
// folder the backup bar is set to.
inline const QString kDemoMusicFolder = QStringLiteral("Musicas");
inline const QString kDemoBackupFolder = QStringLiteral("Backup");
// The daily backup hour the demo sets.
inline const QString kDemoBackupHour = QStringLiteral("20:00:00");

// One purchase paid in monthly portions, as the entry row records it: `entry` holds what
// was typed (its date the day of the purchase) and `portions` the number in "Portions".
struct DemoPurchase
{
    LedgerEntry entry;
    int portions = 1;
};

struct DemoLedger
{
    QDate firstMonth; // the first day of the first month with entries
    // Every ledger entry in the order the entry row wrote it: the entries of each day in
    // turn, a purchase's portions on the day it was made (each dated one month after the one
    // before, the first one month after the purchase), and bills for the coming weeks as
    // they arrived.
    QList<LedgerEntry> entries;
    QList<DemoPurchase> purchases;
    // Every source the entries name, in the order first used.
    QStringList sources;
};

// The household's ledger for the three years up to `today`: a monthly salary and now and
// then extra income as "Entrance"; rent, condominium, power, water, phone, school, health
// plan, groceries, market, bakery, pharmacy, fuel, transport and leisure as "Exit", in the
// ranges of a Brazilian family's budget, so that most months end positive and Decembers
// and the months of a repair end negative.
DemoLedger demoLedger(const QDate &today, quint32 seed = kDemoSeed);

// Writes the demo installation under `root` (which may hold the programs, but no data
// folder yet): root/dados with the ledgers of demoLedger (written by the finance code that
// writes entries), the sources list, the currency symbol "R$", a few appointments around
// today, two diary pages, quick notes, three phone-book contacts, the playlist naming
// root/Musicas with two short tracks, and the backup settings naming root/Backup at
// kDemoBackupHour. False when `root` already holds a data folder (nothing is written then)
// or when anything could not be written.
bool generateDemoFolder(const QString &root, const QDate &today, quint32 seed = kDemoSeed);

// A short tone as a WAV file (16-bit mono PCM): the notes in hertz one after another,
// each `noteMs` long, softened at both ends so nothing clicks.
QByteArray demoToneWav(const QList<double> &notes, int noteMs);

} // namespace zorv::bench

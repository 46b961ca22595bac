// Runs one ledger change in an installation and is stopped, as a kill would stop it, right
// after step k of the store's file groups: ledgercrashchild <exe folder> <stand-in> <change> <k>.
// Ends with 0 when the change ran to its end before step k came, 1 when it failed.
#include "finance/corrections.h"
#include "finance/ledger.h"
#include "store/filegroup.h"
#include "store/textlist.h"

#include <QString>

#include <cstdio>

using namespace zorv;

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: ledgercrashchild <exe folder> <stand-in> <change> <k>\n");
        return 2;
    }
    const Paths paths(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    const QString change = QString::fromLatin1(argv[3]);
    setFileGroupStopStep(QByteArray(argv[4]).toInt());

    const QString entry = QStringLiteral("9,99<1>20/03/2013<2>Exit<3>Farmácia<4>Cartão");
    bool ok = false;
    if (change == QLatin1String("append")) {
        ok = LedgerFiles(paths)
                 .appendEntry(QStringLiteral("03.2013"), QStringLiteral("2013"), entry, true)
                 .ok();
    } else if (change == QLatin1String("append to a new month")) {
        ok = LedgerFiles(paths)
                 .appendEntry(QStringLiteral("05.2013"), QStringLiteral("2013"), entry, true)
                 .ok();
    } else if (change == QLatin1String("remove entry")) {
        const QString monthPath = paths.resolve(monthLedgerName(QStringLiteral("03.2013")));
        TextList month;
        ok = month.load(monthPath) == TextList::LoadResult::Loaded &&
             LedgerCorrections(paths).removeEntry(monthPath, entryRowOf(month.lines().value(1)),
                                                  QStringLiteral("2013")) ==
                 LedgerCorrections::Removal::MonthAndYear;
    } else if (change.startsWith(QLatin1String("correct entry"))) {
        // The second entry of March corrected: into March again, or moved to May.
        const QString month =
            change.endsWith(QLatin1String("May")) ? QStringLiteral("05.2013") : QStringLiteral("03.2013");
        const QString monthPath = paths.resolve(monthLedgerName(QStringLiteral("03.2013")));
        TextList march;
        LedgerCorrections::EntryChange done;
        ok = march.load(monthPath) == TextList::LoadResult::Loaded &&
             LedgerCorrections(paths)
                 .changeEntry(
                     monthPath, entryRowOf(march.lines().value(1)), QStringLiteral("2013"),
                     {{monthLedgerName(month), entry}, {yearLedgerName(QStringLiteral("2013")), entry}}, done)
                 .ok();
    } else if (change == QLatin1String("delete month")) {
        ok = LedgerCorrections(paths).deleteMonth(QStringLiteral("03.2013.fin")).ok();
    } else {
        return 2;
    }
    return ok ? 0 : 1;
}

#include "finance/corrections.h"
#include "finance/ledger.h"
#include "settings/backupcopy.h"
#include "store/textlist.h"
#include "tempdatafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTest>

using namespace zorv;

namespace {

const QByteArray kFebruary("5,00<1>10/02/2013<2>Entrance<3>Venda<4>Dinheiro\r\n");
const QByteArray kMarket("12,50<1>05/03/2013<2>Exit<3>Mercado<4>Dinheiro\r\n");
const QByteArray kBakery("3,20<1>06/03/2013<2>Exit<3>Padaria S\xe3o Jo\xe3o<4>Cart\xe3o\r\n");
const QByteArray kApril("7,00<1>02/04/2013<2>Exit<3>ref 03/2013<4>Dinheiro\r\n");

constexpr int kStopped = 86; // the store's stop code for crash tests

bool writeFixture(const TempDataFolder &data)
{
    return data.write("dados/Finance/03.2013.fin", kMarket + kBakery) &&
           data.write("dados/Finance/04.2013.fin", kApril) &&
           data.write("dados/Finance/2013.CX", kFebruary + kMarket + kBakery + kApril);
}

// Every name in the folder, work files included, with its bytes, read without the store.
QMap<QString, QByteArray> folderContents(const QString &path)
{
    QMap<QString, QByteArray> state;
    const QDir folder(path);
    for (const QString &name :
         folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        QFile file(folder.filePath(name));
        state.insert(name, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>"));
    }
    return state;
}

// The finance folder as the next start of the program finds it: the month list (which
// settles the folder first), then everything in it.
QMap<QString, QByteArray> folderAfterNextStart(const TempDataFolder &data)
{
    const LedgerFiles ledgers(data.paths());
    const QByteArray monthList = ledgers.monthFileNames().join(u',').toUtf8();
    QMap<QString, QByteArray> state = folderContents(ledgers.financeFolder());
    state.insert(QStringLiteral("<month list>"), monthList);
    return state;
}

QMap<QString, QByteArray> withoutMonthList(QMap<QString, QByteArray> state)
{
    state.remove(QStringLiteral("<month list>"));
    return state;
}

int runChild(const TempDataFolder &data, const QString &change, int step)
{
    QProcess child;
    child.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/ledgercrashchild"));
    child.setArguments({data.paths().exeDir(), data.paths().windowsDir(), change, QString::number(step)});
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start();
    if (!child.waitForFinished(30000) || child.exitStatus() != QProcess::NormalExit)
        return -1;
    return child.exitCode();
}

} // namespace

class TestLedgerCrash : public QObject
{
    Q_OBJECT

private slots:
    void killedAtAnyStepLeavesLedgersThatAgree_data();
    void killedAtAnyStepLeavesLedgersThatAgree();
    void groupWhoseTemporaryNeverReachedTheDiskIsDropped();
};

void TestLedgerCrash::killedAtAnyStepLeavesLedgersThatAgree_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("backupFirst");
    QTest::newRow("new entry") << "append" << false;
    QTest::newRow("new entry in a new month") << "append to a new month" << false;
    QTest::newRow("entry removed") << "remove entry" << false;
    QTest::newRow("entry corrected") << "correct entry" << false;
    QTest::newRow("entry corrected into another month") << "correct entry to May" << false;
    QTest::newRow("month deleted") << "delete month" << false;
    QTest::newRow("new entry, then a backup") << "append" << true;
    QTest::newRow("month deleted, then a backup") << "delete month" << true;
}

// The change runs in a child process that stops dead after step k of its file group, for
// k = 1, 2, ... until one run gets through. After each stop the next start must find the
// ledgers exactly as before the change or exactly as after it, with nothing else left in
// the folder, and once a run has passed the commit point every later one must too. A backup
// taken before anything else touches the folder copies one of the two states as well.
void TestLedgerCrash::killedAtAnyStepLeavesLedgersThatAgree()
{
    QFETCH(QString, change);
    QFETCH(bool, backupFirst);

    TempDataFolder reference;
    QVERIFY(writeFixture(reference));
    const auto before = folderAfterNextStart(reference);
    QCOMPARE(runChild(reference, change, 0), 0);
    const auto after = folderAfterNextStart(reference);
    QVERIFY(after != before);

    bool committed = false;
    int step = 1;
    for (;; ++step) {
        QVERIFY2(step < 100, "the change never got through");
        TempDataFolder data;
        QVERIFY(writeFixture(data));
        const int code = runChild(data, change, step);
        QVERIFY2(code == kStopped || code == 0, qPrintable(QStringLiteral("child ended with %1").arg(code)));
        const QString at = QStringLiteral("stopped after step %1").arg(step);
        if (backupFirst) {
            const QString backupFolder = data.root() + QStringLiteral("/backup");
            QVERIFY(backupDataFolder(data.paths().dataDir(), backupFolder));
            const auto copied = folderContents(backupFolder + QStringLiteral("/dados/Finance"));
            QVERIFY2(copied == withoutMonthList(before) || copied == withoutMonthList(after),
                     qPrintable(
                         at + ": the backup holds neither state: " + QStringList(copied.keys()).join(u' ')));
        }
        const auto found = folderAfterNextStart(data);
        if (found == after) {
            committed = true;
        } else {
            QVERIFY2(found == before, qPrintable(at + ": neither the old nor the new ledgers: " +
                                                 QStringList(found.keys()).join(u' ')));
            QVERIFY2(!committed, qPrintable(at + ": a committed change came undone"));
        }
        if (code == 0)
            break;
    }
    QVERIFY(committed);
    QVERIFY2(step > 5, "the stop seam was never reached");
}

// A machine that stops before the syncs are through may leave a complete intent file beside
// a temporary that lost its content. Such a group never happened: the next start keeps the
// old ledgers instead of putting a damaged one in place.
void TestLedgerCrash::groupWhoseTemporaryNeverReachedTheDiskIsDropped()
{
    TempDataFolder reference;
    QVERIFY(writeFixture(reference));
    const auto before = folderAfterNextStart(reference);

    // The last step at which the intent file and every temporary are there, none renamed.
    auto workFiles = [](const TempDataFolder &data) {
        QStringList names = folderContents(data.file("dados/Finance")).keys();
        names.removeIf([](const QString &n) { return !n.startsWith(QLatin1Char('.')); });
        return names;
    };
    int lastWhole = 0;
    for (int step = 1; step < 100; ++step) {
        TempDataFolder data;
        QVERIFY(writeFixture(data));
        if (runChild(data, "append", step) != kStopped)
            break;
        const QStringList names = workFiles(data);
        if (names.size() == 3 && names.contains(".file-group.intent"))
            lastWhole = step;
    }
    QVERIFY(lastWhole > 0);

    TempDataFolder data;
    QVERIFY(writeFixture(data));
    QCOMPARE(runChild(data, "append", lastWhole), kStopped);
    const QStringList names = workFiles(data);
    const auto yearTemp =
        std::find_if(names.begin(), names.end(), [](const QString &n) { return n.startsWith(".2013.CX."); });
    QVERIFY(yearTemp != names.end());
    QFile damaged(data.file("dados/Finance/" + *yearTemp));
    QVERIFY(damaged.resize(damaged.size() / 2));

    QCOMPARE(folderAfterNextStart(data), before);
}

QTEST_GUILESS_MAIN(TestLedgerCrash)
#include "tst_ledgercrash.moc"

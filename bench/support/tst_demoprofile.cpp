// The sample household of scripts/run --demo: its ledgers look like a real family's, and
// every file it writes is read by the pages as if a user had typed it.
#include "demoprofile.h"

#include "controls/contactnamebox.h"
#include "controls/currencyedit.h"
#include "controls/numberformat.h"
#include "finance/financepage.h"
#include "media/audiopage.h"
#include "organizer/appointmentspage.h"
#include "organizer/diaryfiles.h"
#include "organizer/diarypage.h"
#include "organizer/notespage.h"
#include "organizer/phonebookpage.h"
#include "organizer/richtextedit.h"
#include "platform/fakes.h"
#include "settings/backupbar.h"
#include "settings/backupcopy.h"
#include "store/records.h"
#include "store/textlist.h"
#include "tempdatafolder.h"
#include "treesnapshot.h"
#include "typing.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace zorv;
using namespace zorv::bench;

namespace {

// A demo installation generated into a temporary folder, with the program's paths over it.
struct DemoFolder
{
    QTemporaryDir dir;
    Paths paths{dir.path(), dir.path() + QStringLiteral("/windows")};
    bool generated = false;

    explicit DemoFolder(const QDate &today)
    {
        generated = dir.isValid() && generateDemoFolder(dir.path(), today);
    }

    QStringList lines(const QString &name) const
    {
        TextList list;
        list.load(paths.resolve(name));
        return list.lines();
    }
};

// The raw lines of a file, each without its CR LF.
QList<QByteArray> rawLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = f.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines)
        line.chop(1); // the CR
    return lines;
}

// Shows a page as the suite window does and makes it the active window.
bool showActive(QWidget &page)
{
    page.resize(1000, 700);
    page.show();
    QApplication::setActiveWindow(&page);
    return QTest::qWaitForWindowActive(&page);
}

const QStringList kIncomeSources = {QStringLiteral("Salário"), QStringLiteral("13º salário"),
                                    QStringLiteral("Reembolso da empresa"),
                                    QStringLiteral("Restituição do Imposto de Renda")};

} // namespace

class TestDemoProfile : public QObject
{
    Q_OBJECT

private slots:
    void ledgersLookLikeAHousehold_data();
    void ledgersLookLikeAHousehold();
    void portionsAreWhatTheEntryRowWrites();
    void financePageShowsTheCurrentMonth();
    void organizerFilesLoadInThePages();
    void sameDayGivesTheSameBytesAndADataFolderIsKept();
};

void TestDemoProfile::ledgersLookLikeAHousehold_data()
{
    QTest::addColumn<QDate>("today");
    QTest::newRow("the clock's today") << QDate::currentDate();
    QTest::newRow("mid December") << QDate(2026, 12, 11);
    QTest::newRow("New Year's Day") << QDate(2025, 1, 1);
    QTest::newRow("a Sunday, first of the month") << QDate(2026, 11, 1);
    QTest::newRow("leap day") << QDate(2024, 2, 29);
    QTest::newRow("end of July") << QDate(2027, 7, 31);
}

void TestDemoProfile::ledgersLookLikeAHousehold()
{
    QFETCH(QDate, today);
    DemoFolder demo(today);
    QVERIFY(demo.generated);

    const QStringList sources = demo.lines(kSourcesFile);
    QCOMPARE(demo.lines(kSymbolFile), QStringList{QStringLiteral("R$")});

    // Every month up to today has entries, and at least three months of four end positive;
    // some (Decembers, a repair) end negative.
    const QDate thisMonth(today.year(), today.month(), 1);
    const QDate firstMonth = thisMonth.addMonths(-(kDemoMonths - 1));
    int positive = 0;
    int negative = 0;
    for (QDate month = firstMonth; month <= thisMonth; month = month.addMonths(1)) {
        const QStringList lines = demo.lines(monthLedgerName(monthKey(month)));
        const bool hasPastEntry = std::any_of(lines.begin(), lines.end(), [&](const QString &line) {
            return parseShortDate(extractFields(line).f1) <= today;
        });
        QVERIFY2(hasPastEntry, qPrintable(monthKey(month)));
        const MonthSums sums = computeMonthSums(lines);
        (sums.entrances > sums.exits ? positive : negative) += 1;
    }
    QVERIFY2(positive * 4 >= kDemoMonths * 3, qPrintable(QStringLiteral("%1 positive").arg(positive)));
    QVERIFY(negative >= 2);

    // Every line: a known operation and payment form, in the ledger of its own month, dated
    // up to today unless it is a bill of the coming weeks; income is always an entrance;
    // its source is in the sources list. The year ledgers hold the same lines.
    const QDir finance(demo.paths.resolve(kFinanceFolder));
    QMap<QString, QStringList> linesOfYear;
    int bills = 0;
    for (const QString &name : finance.entryList({QStringLiteral("*.fin")}, QDir::Files)) {
        for (const QString &line : demo.lines(kFinanceFolder + QLatin1Char('\\') + name)) {
            const TaggedFields f = extractFields(line);
            const QDate date = parseShortDate(f.f1);
            QVERIFY2(date.isValid(), qPrintable(line));
            QCOMPARE(name, monthKey(date) + QStringLiteral(".fin"));
            QVERIFY2(kOperations.contains(f.f2) && f.f2 != QStringLiteral("Quarrels"), qPrintable(line));
            QVERIFY2(kPaymentForms.contains(f.f4), qPrintable(line));
            QVERIFY2(lineAmount(line) && *lineAmount(line) > Currency(), qPrintable(line));
            if (date > today) {
                QVERIFY2(f.f2 == QStringLiteral("To pay") || f.f2 == QStringLiteral("To receive"),
                         qPrintable(line));
                QVERIFY2(date <= today.addDays(kDemoBillDays), qPrintable(line));
            }
            if (f.f2 == QStringLiteral("To pay") || f.f2 == QStringLiteral("To receive")) {
                QVERIFY2(date > today, qPrintable(line));
                ++bills;
            }
            if (kIncomeSources.contains(f.f3))
                QVERIFY2(f.f2 == kOperationEntrance, qPrintable(line));
            QVERIFY2(sources.contains(f.f3), qPrintable(f.f3));
            linesOfYear[yearKey(date)].append(line);
        }
    }
    QVERIFY(bills > 0);
    QCOMPARE(finance.entryList({QStringLiteral("*.CX")}, QDir::Files).size(), linesOfYear.size());
    for (auto it = linesOfYear.begin(); it != linesOfYear.end(); ++it) {
        QStringList year = demo.lines(yearLedgerName(it.key()));
        year.sort();
        it->sort();
        QCOMPARE(year, *it);
    }
}

void TestDemoProfile::portionsAreWhatTheEntryRowWrites()
{
    // Each purchase in portions typed into the entry row of a fresh installation leaves in
    // every month ledger the very bytes the demo wrote for it there.
    const QDate today(2026, 12, 11);
    DemoFolder demo(today);
    QVERIFY(demo.generated);
    const DemoLedger ledger = demoLedger(today);
    QVERIFY(ledger.purchases.size() >= 3);
    for (const DemoPurchase &purchase : ledger.purchases) {
        TempDataFolder typed;
        FakeServices fake;
        fake.clock.set(purchase.entry.date);
        FinancePage page(typed.paths(), fake.services());
        QVERIFY(showActive(page));
        page.ReadSymbol();
        page.SetDateToToday();
        page.FocusValue();

        const qint64 cents = purchase.entry.value.raw() / (Currency::kScale / 100);
        typeText(page.FN1,
                 QStringLiteral("%1,%2").arg(cents / 100).arg(cents % 100, 2, 10, QLatin1Char('0')));
        QTest::keyClick(page.FN1, Qt::Key_Return);
        QTest::keyClick(page.AL, Qt::Key_Return);
        QTest::keyClick(page.fn2, Qt::Key_Return);
        page.fn3->setCurrentIndex(int(kOperations.indexOf(purchase.entry.operation)));
        QTest::keyClick(page.fn3, Qt::Key_Return);
        typeText(page.FN4->lineEdit(), purchase.entry.source);
        QTest::keyClick(page.FN4->lineEdit(), Qt::Key_Return);
        typeText(page.PCL, QString::number(purchase.portions));
        QTest::keyClick(page.PCL, Qt::Key_Return);
        QTest::keyClick(page.QT, Qt::Key_Return);
        page.FN5->setCurrentIndex(int(kPaymentForms.indexOf(purchase.entry.paymentForm)));
        QTest::keyClick(page.FN5, Qt::Key_Return);
        while (page.TMPC.isActive())
            page.TMPCTimer();

        const QDir written(typed.paths().resolve(kFinanceFolder));
        const QStringList months = written.entryList({QStringLiteral("*.fin")}, QDir::Files);
        QCOMPARE(months.size(), purchase.portions);
        for (const QString &name : months) {
            const QList<QByteArray> mine = rawLines(written.filePath(name));
            QCOMPARE(mine.size(), 1);
            QVERIFY2(
                rawLines(demo.paths.resolve(kFinanceFolder + QLatin1Char('\\') + name)).count(mine.first()) ==
                    1,
                mine.first().constData());
        }
    }
}

void TestDemoProfile::financePageShowsTheCurrentMonth()
{
    // What the demo's screenshot shows: the current month, found by typing it into
    // "Locate month", with its entrances, exits and balance.
    const QDate today(2026, 12, 11);
    DemoFolder demo(today);
    QVERIFY(demo.generated);
    FakeServices fake;
    fake.clock.set(today);
    FinancePage page(demo.paths, fake.services());
    QVERIFY(showActive(page));
    page.ReadSymbol();
    page.Atualizar3Click();
    QCOMPARE(page.lvd1->count(), kDemoMonths); // no bill of the coming weeks falls in January
    page.MKD->setFocus();
    typeText(page.MKD, QStringLiteral("122026"));
    QTest::keyClick(page.MKD, Qt::Key_Return);
    page.tmcalcTimer();
    const MonthSums sums = computeMonthSums(demo.lines(monthLedgerName(QStringLiteral("12.2026"))));
    QVERIFY(sums.entrances > sums.exits);
    QCOMPARE(page.le->text(), QStringLiteral("R$ ") + formatAmount(sums.entrances));
    QCOMPARE(page.ls->text(), QStringLiteral("R$ ") + formatAmount(sums.exits));
    QCOMPARE(page.SD->text(), QStringLiteral("R$ ") + formatAmount(sums.entrances - sums.exits));
}

void TestDemoProfile::organizerFilesLoadInThePages()
{
    const QDate today(2026, 12, 11);
    DemoFolder demo(today);
    QVERIFY(demo.generated);
    FakeServices fake;
    fake.clock.set(today);

    // Appointments around today: some before, one today, some to come.
    AppointmentsPage appointments(demo.paths, fake.services());
    appointments.LoadAppointments();
    QCOMPARE(appointments.LVC->topLevelItemCount(), 6);
    int before = 0, after = 0;
    for (int i = 0; i < appointments.LVC->topLevelItemCount(); ++i) {
        const QDate day = parseShortDate(appointments.LVC->topLevelItem(i)->text(0));
        QVERIFY(qAbs(day.daysTo(today)) <= 14);
        (day < today ? before : after) += 1;
    }
    QVERIFY(before >= 2 && after >= 2);
    appointments.GetComp3();
    QCOMPARE(appointments.LVC->topLevelItemCount(), 1);

    // Two diary pages, listed and shown with their text when clicked.
    DiaryPage diary(demo.paths, fake.services());
    QVERIFY(showActive(diary));
    diary.LoadDiaryList();
    QCOMPARE(diary.LBD->count(), 2);
    for (int i = 0; i < 2; ++i) {
        QListWidgetItem *item = diary.LBD->item(i);
        QTest::mouseClick(diary.LBD->viewport(), Qt::LeftButton, {},
                          diary.LBD->visualItemRect(item).center());
        QCOMPARE(diary.cal->date(), dateOfDiaryPage(item->text()));
        QVERIFY(diary.cal->date() < today);
        QVERIFY(diary.RE->toPlainText().size() > 40);
    }

    NotesPage notes(demo.paths, fake.services());
    notes.LoadQuickNotes();
    QVERIFY(notes.AN->toPlainText().startsWith(QStringLiteral("Lista do mercado")));

    // Three contacts in the phone book's name list.
    PhoneBookPage phoneBook(demo.paths, fake.services());
    phoneBook.e1->rebuild();
    QCOMPARE(phoneBook.e1->count(), 3);

    // The playlist's folder lists its two tracks, which are sound.
    AudioPage audio(demo.paths, fake.services());
    audio.LoadPlaylist();
    QCOMPARE(audio.FL2->count(), 2);
    const QString music = QDir(demo.dir.path()).filePath(kDemoMusicFolder);
    for (int i = 0; i < 2; ++i) {
        QFile track(QDir(music).filePath(audio.FL2->item(i)->text()));
        QVERIFY(track.open(QIODevice::ReadOnly));
        const QByteArray bytes = track.readAll();
        QVERIFY(bytes.startsWith("RIFF") && bytes.mid(8, 8) == "WAVEfmt ");
        const double seconds = (bytes.size() - 44) / (22050.0 * 2);
        QVERIFY2(seconds >= 2 && seconds <= 6, qPrintable(QString::number(seconds)));
    }

    // The backup bar has its hour and a folder inside the installation it can back up into.
    BackupBar bar(demo.paths, fake.services());
    QCOMPARE(bar.hourText(), kDemoBackupHour);
    QCOMPARE(bar.folderText(), QDir::toNativeSeparators(QDir(demo.dir.path()).filePath(kDemoBackupFolder)));
    QVERIFY(QFileInfo(bar.folderText()).isDir());
    QVERIFY(!backupCopyPath(demo.paths.dataDir(), bar.folderText()).isEmpty());
}

void TestDemoProfile::sameDayGivesTheSameBytesAndADataFolderIsKept()
{
    const QDate today(2026, 3, 4);
    DemoFolder first(today);
    DemoFolder second(today);
    QVERIFY(first.generated && second.generated);
    QMap<QString, QByteArray> a = snapshot(first.dir.path());
    QMap<QString, QByteArray> b = snapshot(second.dir.path());
    // The playlist and the backup settings name their own installation's folders.
    for (const char *name : {"dados/Play.list", "dados/Back.auto"}) {
        a[QLatin1String(name)].replace(first.dir.path().toUtf8(), "<root>");
        b[QLatin1String(name)].replace(second.dir.path().toUtf8(), "<root>");
    }
    QCOMPARE(a, b);

    // A second run over an installation that has a data folder (in any letter case) writes
    // nothing: the user's own data is never mixed with the sample household.
    QVERIFY(QDir(first.dir.path()).rename(QStringLiteral("dados"), QStringLiteral("Dados")));
    const QMap<QString, QByteArray> before = snapshot(first.dir.path());
    QVERIFY(!generateDemoFolder(first.dir.path(), today));
    QCOMPARE(snapshot(first.dir.path()), before);
}

QTEST_MAIN(TestDemoProfile)
#include "tst_demoprofile.moc"

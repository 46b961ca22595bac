#include "settings/backupbar.h"
#include "settings/backupcopy.h"

#include "controls/linklabel.h"
#include "platform/fakes.h"

#include "tempdatafolder.h"
#include "treesnapshot.h"

#include <QLabel>
#include <QLineEdit>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>

using namespace zorv;

namespace {

// A suite-window stand-in: the bar on a temporary installation with fake services.
struct Fixture
{
    Fixture()
    {
        data.write("dados/Finance/03.2013.fin",
                   "1.234,56<1>15/03/2013<2>Entrada<3>Sal\xe1rio<4>Dinheiro\r\n");
        data.write("dados/Notas/Ana.tel", "Ana\r\n");
        fake.clock.set(QDate(2013, 3, 15), QTime(10, 0));
    }
    BackupBar &make()
    {
        bar = std::make_unique<BackupBar>(data.paths(), fake.services());
        return *bar;
    }
    QString backupFolder() const { return data.root() + "/backup"; }

    TempDataFolder data;
    FakeServices fake;
    std::unique_ptr<BackupBar> bar;
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void clickLink(LinkLabel *link)
{
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
}

} // namespace

class TestBackupBar : public QObject
{
    Q_OBJECT

private slots:
    void barCarriesItsControls();
    void settingsReadAtCreation_data();
    void settingsReadAtCreation();
    void folderCapitalsWhereNamesIgnoreCase();
    void hourTypedThroughTheMask();
    void applyStoresHourAndFolder();
    void applyCancelledStoresNothing();
    void nowBacksUpAndShowsStatus();
    void nowWithoutFolderFails();
    void restoreReportsAndKeepsStatus();
    void nowMovesAsideAFolderItDidNotWrite();
    void dailyBackupAtTheSetHour();
    void dailyBackupWaitsForRunningCopy();
    void statusTimers();
    void restoreIsAskedForWithNoAsTheDefault();
    void statusThatMattersStaysUntilDismissed();
    void editorsAreSavedBeforeEveryCopy();
};

void TestBackupBar::barCarriesItsControls()
{
    Fixture f;
    BackupBar &bar = f.make();
    QCOMPARE(bar.objectName(), QStringLiteral("backupBar"));
    QCOMPARE(bar.height(), 37);
    const QList<std::pair<const char *, QString>> captions = {
        {"Label70", "Backup"},
        {"Label71", "Hour"},
        {"pma", "Apply"},
        {"pma1", "Now!"},
        {"Label99", "(it will be saved with the name data)"},
        {"pmo", "Restore Backup"},
        {"Label76", "Status:"},
        {"wst", ""},
    };
    for (const auto &[name, caption] : captions) {
        auto *label = bar.findChild<QLabel *>(name);
        QVERIFY2(label, name);
        QCOMPARE(label->text(), caption);
    }
    for (LinkLabel *link : {bar.pma, bar.pma1, bar.pmo}) {
        QCOMPARE(bar.findChild<LinkLabel *>(link->objectName()), link);
        QCOMPARE(link->currentColor(), QColor(LinkLabel::kSilver));
    }
    QVERIFY(bar.wst->font().bold());
    QCOMPARE(bar.findChild<QLineEdit *>("CS"), bar.CS);
    QCOMPARE(bar.findChild<QLineEdit *>("LC"), bar.LC);
    QCOMPARE(bar.CS->inputMask(), QStringLiteral("09:99:99;_"));
    QCOMPARE(bar.hourText(), QStringLiteral("  :  :  "));
    QCOMPARE(bar.folderText(), QString());
    QCOMPARE(bar.TMWS.interval(), 1000);
    QVERIFY(!bar.TMWS.isActive());
    QCOMPARE(bar.Timer7.interval(), 4000);
    QVERIFY(bar.Timer7.isActive());
}

void TestBackupBar::settingsReadAtCreation_data()
{
    QTest::addColumn<QByteArray>("file"); // empty: no file
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("folder");

    QTest::newRow("no file") << QByteArray() << "  :  :  "
                             << "";
    QTest::newRow("hour and folder") << QByteArray("07:30:00\r\n/media/Backup\r\n") << "07:30:00"
                                     << "/media/Backup";
    QTest::newRow("blank first digit") << QByteArray(" 7:30:00\r\n/media/x\r\n") << " 7:30:00"
                                       << "/media/x";
    QTest::newRow("blank places") << QByteArray("07:3 :  \r\n\r\n") << "07:3 :  "
                                  << "";
    QTest::newRow("empty hour, no folder line") << QByteArray("  :  :  \r\n") << "  :  :  "
                                                << "";
    QTest::newRow("root folder") << QByteArray("23:00:00\r\n/\r\n") << "23:00:00"
                                 << "/";
}

void TestBackupBar::settingsReadAtCreation()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, hour);
    QFETCH(QString, folder);
    Fixture f;
    if (!file.isEmpty())
        QVERIFY(f.data.write("dados/Back.auto", file));
    BackupBar &bar = f.make();
    QCOMPARE(bar.hourText(), hour);
    QCOMPARE(bar.folderText(), folder); // letter case kept where names are case-sensitive
}

void TestBackupBar::folderCapitalsWhereNamesIgnoreCase()
{
    Fixture f;
    QVERIFY(f.data.write("dados/Back.auto", "07:30:00\r\nd:\\Seguran\xe7"
                                            "a\r\n"));
    BackupBar &bar = f.make();
    bar.setFolderUpperCase(true);
    QCOMPARE(bar.folderText(), QString::fromUtf8("D:\\SEGURAN\xc3\x87"
                                                 "A"));
    bar.LC->clear();
    QTest::keyClicks(bar.LC, "e:\\copias");
    QCOMPARE(bar.folderText(), QStringLiteral("E:\\COPIAS"));
}

void TestBackupBar::hourTypedThroughTheMask()
{
    Fixture f;
    BackupBar &bar = f.make();
    bar.CS->setFocus();
    bar.CS->setCursorPosition(0);
    QTest::keyClicks(bar.CS, "073000");
    QCOMPARE(bar.hourText(), QStringLiteral("07:30:00"));
    // Skipping the optional first digit leaves it blank.
    bar.CS->clear();
    bar.CS->setCursorPosition(1);
    QTest::keyClicks(bar.CS, "73000");
    QCOMPARE(bar.hourText(), QStringLiteral(" 7:30:00"));
    QTest::keyClicks(bar.CS, "99"); // the field is full
    QCOMPARE(bar.hourText(), QStringLiteral(" 7:30:00"));
}

void TestBackupBar::applyStoresHourAndFolder()
{
    Fixture f;
    BackupBar &bar = f.make();
    bar.setHourText("07:30:00");
    f.fake.dialogs.folders.enqueue("/media/Backup");
    clickLink(bar.pma);
    QCOMPARE(f.fake.dialogs.shown.size(), 1);
    QCOMPARE(f.fake.dialogs.shown[0].kind, FakeDialogs::Kind::ChooseFolder);
    QCOMPARE(f.fake.dialogs.shown[0].caption, QStringLiteral("Selecionar nova pasta para pesquisa..."));
    QCOMPARE(f.fake.dialogs.shown[0].folder, QStringLiteral("/"));
    QCOMPARE(bar.folderText(), QStringLiteral("/media/Backup"));
    QCOMPARE(f.data.read("dados/Back.auto"), QByteArray("07:30:00\r\n/media/Backup\r\n"));

    // An unfilled hour is stored as the field shows it.
    bar.CS->clear();
    f.fake.dialogs.folders.enqueue("/");
    bar.pmaClick();
    QCOMPARE(f.data.read("dados/Back.auto"), QByteArray("  :  :  \r\n/\r\n"));
}

void TestBackupBar::applyCancelledStoresNothing()
{
    Fixture f;
    BackupBar &bar = f.make();
    bar.setHourText("07:30:00");
    bar.LC->setText("/typed");
    bar.pmaClick(); // no folder scripted: the dialog is cancelled
    QVERIFY(!QFileInfo::exists(f.data.file("dados/Back.auto")));
    QCOMPARE(bar.folderText(), QStringLiteral("/typed"));

    const QByteArray before("06:00:00\r\n/media/old\r\n");
    QVERIFY(f.data.write("dados/Back.auto", before));
    bar.pmaClick();
    QCOMPARE(f.data.read("dados/Back.auto"), before);
}

void TestBackupBar::nowBacksUpAndShowsStatus()
{
    Fixture f;
    BackupBar &bar = f.make();
    bar.LC->setText(f.backupFolder());
    QSignalSpy done(&bar, &BackupBar::backupFinished);
    clickLink(bar.pma1);
    QVERIFY(bar.isBusy());
    QVERIFY(!bar.wst->isHidden());
    QCOMPARE(bar.wst->text(), QString());
    QVERIFY(done.wait());
    QCOMPARE(done[0][0].toBool(), true);
    QCOMPARE(bar.wst->text(), QStringLiteral("OK!"));
    QVERIFY(!bar.wst->isHidden());
    QVERIFY(bar.TMWS.isActive());
    QCOMPARE(seenSnapshot(f.backupFolder() + "/dados", {kBackupMarkName}), snapshot(f.data.file("dados")));

    bar.TMWSTimer();
    QVERIFY(bar.wst->isHidden());
    QVERIFY(!bar.TMWS.isActive());
}

void TestBackupBar::nowWithoutFolderFails()
{
    Fixture f;
    BackupBar &bar = f.make();
    const auto live = snapshot(f.data.file("dados"));
    const QStringList install = entryNames(f.data.root() + "/app");
    for (const QString &folder : {QString(), QStringLiteral("   "), f.data.file("dados/Notas")}) {
        bar.LC->setText(folder);
        QSignalSpy done(&bar, &BackupBar::backupFinished);
        bar.pma1Click();
        QVERIFY(done.wait());
        QCOMPARE(done[0][0].toBool(), false);
        QCOMPARE(bar.wst->text(), QStringLiteral("Falha!"));
        QVERIFY(!bar.wst->isHidden());
    }
    QCOMPARE(snapshot(f.data.file("dados")), live);
    QCOMPARE(entryNames(f.data.root() + "/app"), install);
}

void TestBackupBar::restoreReportsAndKeepsStatus()
{
    Fixture f;
    f.fake.dialogs.defaultAnswer = true; // every restore asked for is confirmed
    BackupBar &bar = f.make();
    bar.LC->setText(f.backupFolder());
    QSignalSpy restored(&bar, &BackupBar::restoreFinished);

    // No copy yet.
    const auto live = snapshot(f.data.file("dados"));
    clickLink(bar.pmo);
    QVERIFY(restored.wait());
    QCOMPARE(restored.takeFirst()[0].toBool(), false);
    QCOMPARE(bar.wst->text(), QStringLiteral("Falha!"));
    QVERIFY(!bar.wst->isHidden());
    QVERIFY(!bar.TMWS.isActive());
    QCOMPARE(snapshot(f.data.file("dados")), live);

    QSignalSpy backedUp(&bar, &BackupBar::backupFinished);
    bar.CopyD();
    QVERIFY(backedUp.wait());
    QVERIFY(f.data.write("dados/Finance/03.2013.fin", "estragado\r\n"));
    f.fake.clock.set(QDate(2013, 3, 16), QTime(9, 5, 7));
    clickLink(bar.pmo);
    QVERIFY(restored.wait());
    QCOMPARE(restored.takeFirst()[0].toBool(), true);
    QCOMPARE(bar.wst->text(),
             QString::fromUtf8("OK! Os dados substitu\xc3\xad"
                               "dos est\xc3\xa3o em \"dados-anterior-2013-03-16_09-05-07\"."));
    QVERIFY(!bar.wst->isHidden());
    QCOMPARE(snapshot(f.data.file("dados")), live);
    QCOMPARE(f.data.read("dados-anterior-2013-03-16_09-05-07/Finance/03.2013.fin"),
             QByteArray("estragado\r\n"));

    // A second restore keeps the first replaced folder too: it may hold the only copy of
    // what was typed after the backup.
    QVERIFY(f.data.write("dados/Finance/03.2013.fin", "trabalho novo\r\n"));
    f.fake.clock.set(QDate(2013, 3, 16), QTime(9, 6, 0));
    clickLink(bar.pmo);
    QVERIFY(restored.wait());
    QCOMPARE(restored.takeFirst()[0].toBool(), true);
    QVERIFY(bar.wst->text().contains("dados-anterior-2013-03-16_09-06-00"));
    QCOMPARE(f.data.read("dados-anterior-2013-03-16_09-05-07/Finance/03.2013.fin"),
             QByteArray("estragado\r\n"));
    QCOMPARE(f.data.read("dados-anterior-2013-03-16_09-06-00/Finance/03.2013.fin"),
             QByteArray("trabalho novo\r\n"));
}

// "Now!" into a folder that already holds a "dados" of the user's moves it aside, never
// deletes it, and says where it went for as long as the status shows.
void TestBackupBar::nowMovesAsideAFolderItDidNotWrite()
{
    Fixture f;
    BackupBar &bar = f.make();
    QVERIFY(QDir().mkpath(f.backupFolder() + "/dados/projeto"));
    {
        QFile thesis(f.backupFolder() + "/dados/projeto/tese.docx");
        QVERIFY(thesis.open(QIODevice::WriteOnly));
        QCOMPARE(thesis.write("minha tese"), 10);
    }
    auto thesis = [&] {
        QFile moved(f.backupFolder() + "/dados-anterior/projeto/tese.docx");
        return moved.open(QIODevice::ReadOnly) ? moved.readAll() : QByteArray();
    };
    bar.LC->setText(f.backupFolder());
    QSignalSpy done(&bar, &BackupBar::backupFinished);
    clickLink(bar.pma1);
    QVERIFY(done.wait());
    QCOMPARE(done[0][0].toBool(), true);
    QCOMPARE(bar.wst->text(), QString::fromUtf8("OK! A pasta que j\xc3\xa1 estava l\xc3\xa1 foi movida para "
                                                "\"dados-anterior\"."));
    QVERIFY(!bar.wst->isHidden());
    QVERIFY(!bar.TMWS.isActive());
    QCOMPARE(thesis(), QByteArray("minha tese"));
    QCOMPARE(seenSnapshot(f.backupFolder() + "/dados", {kBackupMarkName}), snapshot(f.data.file("dados")));

    // The next backup replaces only its own copy.
    done.clear();
    clickLink(bar.pma1);
    QVERIFY(done.wait());
    QCOMPARE(bar.wst->text(), QStringLiteral("OK!"));
    QCOMPARE(entryNames(f.backupFolder()), (QStringList{"dados", "dados-anterior"}));
    QCOMPARE(thesis(), QByteArray("minha tese"));
}

void TestBackupBar::dailyBackupAtTheSetHour()
{
    Fixture f;
    BackupBar &bar = f.make();
    bar.LC->setText(f.backupFolder());
    QSignalSpy done(&bar, &BackupBar::backupFinished);

    // A blank first digit never matches, at the second or after it.
    bar.setHourText(" 7:30:00");
    for (const QTime &t : {QTime(7, 29, 59), QTime(7, 30, 0), QTime(7, 30, 1)}) {
        f.fake.clock.set(QDate(2013, 3, 15), t);
        bar.Timer2Timer();
        QVERIFY(!bar.isBusy());
    }

    bar.setHourText("07:30:00");
    f.fake.clock.set(QDate(2013, 3, 16), QTime(7, 29, 59, 400));
    bar.Timer2Timer();
    QVERIFY(!bar.isBusy());
    // The window was busy across 07:30:00: the next tick catches up.
    f.fake.clock.set(QDate(2013, 3, 16), QTime(7, 30, 2, 100));
    bar.Timer2Timer();
    QVERIFY(bar.isBusy());
    QVERIFY(done.wait());
    QCOMPARE(done[0][0].toBool(), true);
    QCOMPARE(bar.wst->text(), QStringLiteral("OK!"));
    QVERIFY(QFileInfo::exists(f.backupFolder() + "/dados/Finance/03.2013.fin"));

    f.fake.clock.set(QDate(2013, 3, 16), QTime(7, 30, 3));
    bar.Timer2Timer();
    QVERIFY(!bar.isBusy());
}

void TestBackupBar::dailyBackupWaitsForRunningCopy()
{
    Fixture f;
    BackupBar &bar = f.make();
    bar.LC->setText(f.backupFolder());
    bar.setHourText("07:30:00");
    QSemaphore release;
    QVERIFY(bar.runner().start(BackupRunner::Job::Restore, [&](const std::atomic<bool> &) {
        release.acquire();
        return false;
    }));
    f.fake.clock.set(QDate(2013, 3, 15), QTime(7, 30, 0));
    bar.Timer2Timer(); // due, but the other copy still runs
    release.release();
    QVERIFY(bar.runner().waitForFinished());
    QVERIFY(!QFileInfo::exists(f.backupFolder()));

    QSignalSpy done(&bar, &BackupBar::backupFinished);
    f.fake.clock.set(QDate(2013, 3, 15), QTime(7, 30, 1));
    bar.Timer2Timer();
    QVERIFY(done.wait());
    QCOMPARE(done[0][0].toBool(), true);
    QVERIFY(QFileInfo::exists(f.backupFolder() + "/dados"));
}

void TestBackupBar::statusTimers()
{
    Fixture f;
    BackupBar &bar = f.make();
    bar.wst->setText("OK!");
    bar.wst->show();
    bar.Timer7Timer();
    QVERIFY(bar.wst->isHidden());
    bar.FormShow();
    QCOMPARE(bar.wst->text(), QString());
}

void TestBackupBar::restoreIsAskedForWithNoAsTheDefault()
{
    Fixture f;
    BackupBar &bar = f.make();
    bar.LC->setText(f.backupFolder());
    f.fake.clock.set(QDate(2013, 3, 15), QTime(9, 9, 30));
    QSignalSpy backedUp(&bar, &BackupBar::backupFinished);
    bar.CopyD();
    QVERIFY(backedUp.wait());
    bar.dismissStatus();
    bar.wst->setText("OK!");
    bar.wst->show();
    QVERIFY(f.data.write("dados/Finance/03.2013.fin", "depois da copia\r\n"));
    const auto live = snapshot(f.data.file("dados"));
    f.fake.clock.set(QDate(2013, 3, 16), QTime(9, 5, 7));

    // "Não" changes nothing, not even the status.
    f.fake.dialogs.answers << false;
    clickLink(bar.pmo);
    QVERIFY(!bar.isBusy());
    QVERIFY(!bar.isRestoring());
    const QString question =
        QString::fromUtf8("Restaurar a c\xc3\xb3pia de 15/03/2013 09:09? Os dados atuais "
                          "ser\xc3\xa3o guardados em dados-anterior-2013-03-16_09-05-07");
    QCOMPARE(f.fake.dialogs.questions(), QStringList{question});
    QCOMPARE(f.fake.dialogs.shown.last().defaultAnswer, DefaultAnswer::No);
    QCOMPARE(f.fake.dialogs.shown.last().caption, QStringLiteral("Zorv Desk"));
    QCOMPARE(snapshot(f.data.file("dados")), live);
    QCOMPARE(bar.wst->text(), QStringLiteral("OK!"));
    QVERIFY(!QFileInfo::exists(f.data.root() + "/app/dados-anterior-2013-03-16_09-05-07"));

    // "Sim" restores, and the data replaced is where the question said.
    f.fake.dialogs.answers << true;
    QSignalSpy restored(&bar, &BackupBar::restoreFinished);
    clickLink(bar.pmo);
    QVERIFY(restored.wait());
    QCOMPARE(restored[0][0].toBool(), true);
    QCOMPARE(f.data.read("dados-anterior-2013-03-16_09-05-07/Finance/03.2013.fin"),
             QByteArray("depois da copia\r\n"));
}

// The status of a restore and the note on a folder moved aside stay through the sweeping
// timer and the next show, can be selected, and go when the user clicks them or starts
// another backup action.
void TestBackupBar::statusThatMattersStaysUntilDismissed()
{
    Fixture f;
    f.fake.dialogs.defaultAnswer = true;
    BackupBar &bar = f.make();
    bar.resize(1200, BackupBar::kHeight);
    bar.show();
    bar.LC->setText(f.backupFolder());
    QSignalSpy backedUp(&bar, &BackupBar::backupFinished);
    bar.CopyD();
    QVERIFY(backedUp.wait());
    QSignalSpy restored(&bar, &BackupBar::restoreFinished);
    clickLink(bar.pmo);
    QVERIFY(restored.wait());
    const QString status = bar.wst->text();
    QVERIFY2(status.startsWith("OK!") && status.contains("dados-anterior-"), qPrintable(status));
    QVERIFY(bar.wst->textInteractionFlags() & Qt::TextSelectableByMouse);

    bar.Timer7Timer();
    bar.FormShow();
    bar.TMWSTimer(); // stopped: it only ever hides a plain backup status
    QVERIFY(bar.wst->isVisible());
    QCOMPARE(bar.wst->text(), status);
    // The daily backup is no action of the user's: going well, it leaves the note there.
    bar.setHourText("07:30:00");
    f.fake.clock.set(QDate(2013, 3, 16), QTime(7, 30, 0));
    backedUp.clear();
    bar.Timer2Timer();
    QVERIFY(backedUp.wait());
    QCOMPARE(backedUp[0][0].toBool(), true);
    bar.TMWSTimer();
    QVERIFY(bar.wst->isVisible());
    QCOMPARE(bar.wst->text(), status);
    QTest::mouseClick(bar.wst, Qt::LeftButton, {}, bar.wst->rect().center());
    QVERIFY(!bar.wst->isVisible());
    QCOMPARE(bar.wst->text(), QString());

    // A folder that stood in the way: its note stays until the next backup action starts.
    QVERIFY(QDir().rename(f.backupFolder() + "/dados", f.backupFolder() + "/minha"));
    QVERIFY(QFile::remove(f.backupFolder() + "/minha/" + kBackupMarkName));
    QVERIFY(QDir().rename(f.backupFolder() + "/minha", f.backupFolder() + "/dados"));
    backedUp.clear();
    clickLink(bar.pma1);
    QVERIFY(backedUp.wait());
    QVERIFY(bar.wst->text().contains("dados-anterior"));
    bar.Timer7Timer();
    bar.FormShow();
    QVERIFY(bar.wst->isVisible());
    QVERIFY(bar.statusStays());
    backedUp.clear();
    clickLink(bar.pma1);
    QVERIFY(!bar.statusStays());
    QCOMPARE(bar.wst->text(), QString());
    QVERIFY(backedUp.wait());
    QCOMPARE(bar.wst->text(), QStringLiteral("OK!"));
}

// What the editors hold is written through their own save before "Now!", the daily backup
// and a restore, so it is in the copy, or in the folder a restore sets aside.
void TestBackupBar::editorsAreSavedBeforeEveryCopy()
{
    Fixture f;
    f.fake.dialogs.defaultAnswer = true;
    BackupBar &bar = f.make();
    bar.LC->setText(f.backupFolder());
    int saves = 0;
    bar.setEditorSave([&] {
        ++saves;
        QVERIFY(f.data.write("dados/Notas/Notas.speed", "digitado " + QByteArray::number(saves)));
    });
    QSignalSpy backedUp(&bar, &BackupBar::backupFinished);
    clickLink(bar.pma1);
    QVERIFY(backedUp.wait());
    QCOMPARE(readAll(f.backupFolder() + "/dados/Notas/Notas.speed"), QByteArray("digitado 1"));

    bar.setHourText("07:30:00");
    f.fake.clock.set(QDate(2013, 3, 16), QTime(7, 30, 0));
    bar.Timer2Timer();
    QVERIFY(backedUp.wait());
    QCOMPARE(readAll(f.backupFolder() + "/dados/Notas/Notas.speed"), QByteArray("digitado 2"));

    QSignalSpy restored(&bar, &BackupBar::restoreFinished);
    clickLink(bar.pmo);
    QVERIFY(restored.wait());
    QCOMPARE(saves, 3);
    QCOMPARE(f.data.read("dados-anterior-2013-03-16_07-30-00/Notas/Notas.speed"), QByteArray("digitado 3"));
    QCOMPARE(f.data.read("dados/Notas/Notas.speed"), QByteArray("digitado 2"));
}

QTEST_MAIN(TestBackupBar)
#include "tst_backupbar.moc"

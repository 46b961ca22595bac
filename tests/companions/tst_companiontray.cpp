// The companion's tray menu and the program's audio page, joined by the request channel: the
// menu offers "Parar música" exactly while music plays, and the entry stops it.
#include "traymenu.h"

#include "platform/desktopentry.h"
#include "sessionstart.h"

#include "media/audiopage.h"
#include "media/folderlisting.h"
#include "platform/fakes.h"
#include "store/flagfile.h"
#include "tempdatafolder.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace zorv;

class TestCompanionTray : public QObject
{
    Q_OBJECT

private slots:
    void stopMusicOnlyWhilePlaying();
    void withoutProgramNothingIsOffered();
    void sessionStartOnlyWhenTicked();
    void sessionStartFollowsTheEntry();
    void sessionStartWriteFailureKeepsTheTick();
    void sessionStartOverOddFiles();
    void entryStartsTheCompanion_data();
    void entryStartsTheCompanion();
    void entryFolderFollowsXdgConfigHome_data();
    void entryFolderFollowsXdgConfigHome();
    void suiteFullSwitchesItsFlagFile();

private:
    QTemporaryDir m_home; // a private HOME: the user's own autostart folder is never touched
};

namespace {

// Opens the menu as the tray does and reports whether "Parar música" is offered.
bool offersStop(CompanionTrayMenu &menu)
{
    menu.popup(QPoint(10, 10));
    const bool offered = menu.stopMusic->isVisible();
    return offered;
}

} // namespace

void TestCompanionTray::stopMusicOnlyWhilePlaying()
{
    TempDataFolder data;
    FakeServices fake;
    const QString folder = data.root() + QStringLiteral("/Musicas");
    QVERIFY(QDir().mkpath(folder));
    for (const char *name : {"a.mp3", "b.mp3"})
        QVERIFY(QFile(folder + QLatin1Char('/') + QLatin1StringView(name)).open(QIODevice::WriteOnly));
    AudioPage page(data.paths(), fake.services());
    answerMusicRequests(fake.instance, &page);
    CompanionTrayMenu menu(fake.instance);
    QCOMPARE(menu.stopMusic->text(), QStringLiteral("Parar m\u00fasica"));
    QCOMPARE(menu.actions().last()->text(), QStringLiteral("Sair"));

    QVERIFY(!offersStop(menu));
    menu.close();

    fake.dialogs.files << folder + QStringLiteral("/a.mp3");
    page.pmClick();
    FakeAudioPlayer &player = *fake.audio.last();
    player.completeOpen(1000);
    QVERIFY(player.isPlaying());
    QVERIFY(offersStop(menu));
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(menu.stopMusic).center());
    QVERIFY(!player.isPlaying());
    QVERIFY(!player.isOpen());
    QVERIFY(!page.TMMP.isActive());
    QCOMPARE(fake.instance.asked.last(), kStopMusicRequest);

    QVERIFY(!offersStop(menu));
    menu.close();
}

void TestCompanionTray::withoutProgramNothingIsOffered()
{
    FakeSingleInstance nobody; // no program answers
    CompanionTrayMenu menu(nobody);
    QVERIFY(!offersStop(menu));
    QCOMPARE(nobody.asked, QList<QByteArray>{kMusicPlayingRequest});
    menu.close();
}

namespace {

// A click on the entry, where a person clicks it in the opened menu.
void clickEntry(CompanionTrayMenu &menu, QAction *action)
{
    menu.popup(QPoint(10, 10));
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(action).center());
    menu.close();
}

bool tickedWhenOpened(CompanionTrayMenu &menu)
{
    menu.popup(QPoint(10, 10));
    const bool ticked = menu.sessionStart->isChecked();
    menu.close();
    return ticked;
}

QStringList everythingUnder(const QString &folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next().mid(folder.size());
    found.sort();
    return found;
}

} // namespace

void TestCompanionTray::sessionStartOnlyWhenTicked()
{
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qunsetenv("XDG_CONFIG_HOME");
    const QString entry = m_home.path() + QStringLiteral("/.config/autostart/zorv-desk.desktop");
    QCOMPARE(SessionStart::defaultEntryFile(), entry);

    SessionStart start(QStringLiteral("/usr/libexec/zorv-desk/zorvoletps"));
    FakeSingleInstance nobody;
    CompanionTrayMenu menu(nobody);
    menu.addSessionStart(start);
    QCOMPARE(menu.sessionStart->text(), QStringLiteral("Iniciar com a sess\u00e3o"));
    QVERIFY(menu.sessionStart->isCheckable());
    QCOMPARE(menu.actions().last()->text(), QStringLiteral("Sair"));

    // Opening the menu, and the companion running, write nothing anywhere.
    QVERIFY(!tickedWhenOpened(menu));
    QCOMPARE(everythingUnder(m_home.path()), QStringList());

    clickEntry(menu, menu.sessionStart);
    QVERIFY(menu.sessionStart->isChecked());
    const std::optional<DesktopEntry> written = readDesktopEntry(entry);
    QVERIFY(written);
    QCOMPARE(written->type, QStringLiteral("Application"));
    QCOMPARE(execArguments(*written, entry),
             QStringList{QStringLiteral("/usr/libexec/zorv-desk/zorvoletps")});
    QVERIFY(tickedWhenOpened(menu));

    clickEntry(menu, menu.sessionStart);
    QVERIFY(!menu.sessionStart->isChecked());
    QVERIFY(!QFileInfo::exists(entry));
    QVERIFY(!tickedWhenOpened(menu));
    // Only the (now empty) autostart folder is left of it.
    QCOMPARE(everythingUnder(m_home.path()), (QStringList{"/.config", "/.config/autostart"}));
}

void TestCompanionTray::sessionStartFollowsTheEntry()
{
    QTemporaryDir config;
    const QString entry = config.path() + QStringLiteral("/autostart/zorv-desk.desktop");
    SessionStart start(QStringLiteral("/opt/zorv/zorvoletps"), entry);
    FakeSingleInstance nobody;
    CompanionTrayMenu menu(nobody);
    menu.addSessionStart(start);
    QVERIFY(!tickedWhenOpened(menu));

    // Written or switched off by another tool while the companion runs: the menu shows it.
    QVERIFY(QDir().mkpath(config.path() + QStringLiteral("/autostart")));
    const auto write = [&entry](const QByteArray &bytes) {
        QFile f(entry);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    QVERIFY(write(SessionStart::entryText(QStringLiteral("/opt/zorv/zorvoletps"))));
    QVERIFY(tickedWhenOpened(menu));
    QVERIFY(write(SessionStart::entryText(QStringLiteral("/opt/zorv/zorvoletps")) + "Hidden=true\n"));
    QVERIFY(!tickedWhenOpened(menu));
    QVERIFY(write("[Desktop Entry]\nType=Application\nExec=x\nX-GNOME-Autostart-enabled=false\n"));
    QVERIFY(!tickedWhenOpened(menu));

    // Ticking it then writes an entry that is on again.
    clickEntry(menu, menu.sessionStart);
    QVERIFY(menu.sessionStart->isChecked());
    QVERIFY(start.isOn());
    QCOMPARE(execArguments(*readDesktopEntry(entry), entry),
             QStringList{QStringLiteral("/opt/zorv/zorvoletps")});
}

// Whatever stands at the entry's place: a pipe is never read (and never blocks), a huge
// file is not taken for an entry, and unticking a link removes the link, not what it names.
void TestCompanionTray::sessionStartOverOddFiles()
{
    QTemporaryDir config;
    QVERIFY(QDir().mkpath(config.path() + QStringLiteral("/autostart")));
    const QString entry = config.path() + QStringLiteral("/autostart/zorv-desk.desktop");
    SessionStart start(QStringLiteral("/opt/zorv/zorvoletps"), entry);

    QVERIFY(mkfifo(QFile::encodeName(entry).constData(), 0600) == 0);
    QVERIFY(!start.isOn());
    QVERIFY(QFile::remove(entry));

    QFile huge(entry);
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.write(QByteArray(8 * 1024 * 1024, 'x')) > 0);
    huge.close();
    QVERIFY(start.isOn()); // a file the user put there counts as on, read no further than 64 KiB
    QVERIFY(start.setOn(false));
    QVERIFY(!QFile::exists(entry));

    QTemporaryDir elsewhere;
    const QString outside = elsewhere.filePath(QStringLiteral("kept.desktop"));
    QFile kept(outside);
    QVERIFY(kept.open(QIODevice::WriteOnly) && kept.write("[Desktop Entry]\n") > 0);
    kept.close();
    QVERIFY(QFile::link(outside, entry));
    QVERIFY(start.setOn(false));
    QVERIFY(!QFileInfo(entry).isSymLink() && !QFileInfo::exists(entry));
    QVERIFY(QFileInfo::exists(outside));
}

void TestCompanionTray::sessionStartWriteFailureKeepsTheTick()
{
    QTemporaryDir config;
    // A file stands where the autostart folder belongs: no entry can be written.
    QFile blocker(config.path() + QStringLiteral("/autostart"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SessionStart start(QStringLiteral("/opt/zorv/zorvoletps"),
                       config.path() + QStringLiteral("/autostart/zorv-desk.desktop"));
    // The result says which folder could not be made, and one warning says so too.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("autostart"));
    // A second line about the entry would be a failure; the offscreen menu's own notes are not.
    QTest::failOnWarning(QRegularExpression("session start|autostart"));
    const WriteResult direct = start.setOn(true);
    QVERIFY(!direct);
    QVERIFY2(direct.reason().contains(QStringLiteral("autostart")), qPrintable(direct.reason()));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("autostart"));
    FakeSingleInstance nobody;
    CompanionTrayMenu menu(nobody);
    menu.addSessionStart(start);
    clickEntry(menu, menu.sessionStart);
    QVERIFY(!menu.sessionStart->isChecked());
    QVERIFY(QFileInfo(config.path() + QStringLiteral("/autostart")).isFile());
}

void TestCompanionTray::entryStartsTheCompanion_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("plain") << "/usr/libexec/zorv-desk/zorvoletps";
    QTest::newRow("spaces") << "/home/ana/Meus programas/Zorv Desk/zorvoletps";
    QTest::newRow("shell characters") << "/home/ana/a$b`c\"d'e\\f&g;h(i)/zorvoletps";
    QTest::newRow("percent, not a field code") << "/home/ana/100%u/zorvoletps";
    QTest::newRow("beyond ASCII") << "/home/ana/Aplica\u00e7\u00f5es/zorvoletps";
}

void TestCompanionTray::entryStartsTheCompanion()
{
    QFETCH(QString, program);
    QTemporaryDir config;
    const QString entry = config.path() + QStringLiteral("/autostart/zorv-desk.desktop");
    SessionStart start(program, entry);
    QVERIFY(start.setOn(true));
    const std::optional<DesktopEntry> written = readDesktopEntry(entry);
    QVERIFY(written);
    QCOMPARE(written->name, QStringLiteral("Zorv Desk"));
    QCOMPARE(execArguments(*written, entry), QStringList{program});
}

void TestCompanionTray::entryFolderFollowsXdgConfigHome_data()
{
    QTest::addColumn<QByteArray>("xdg");
    QTest::addColumn<QString>("expected"); // "~" stands for HOME
    QTest::newRow("absolute") << QByteArray("/srv/ana/cfg/") << "/srv/ana/cfg/autostart/zorv-desk.desktop";
    QTest::newRow("empty") << QByteArray("") << "~/.config/autostart/zorv-desk.desktop";
    QTest::newRow("relative, ignored") << QByteArray("cfg") << "~/.config/autostart/zorv-desk.desktop";
}

void TestCompanionTray::entryFolderFollowsXdgConfigHome()
{
    QFETCH(QByteArray, xdg);
    QFETCH(QString, expected);
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_CONFIG_HOME", xdg);
    expected.replace(QLatin1Char('~'), m_home.path());
    QCOMPARE(SessionStart::defaultEntryFile(), expected);
    qunsetenv("XDG_CONFIG_HOME");
}

// "Suite completa" mirrors the flag file each time the menu opens (the program's settings
// box may have changed it meanwhile) and a click on it writes or removes the file.
void TestCompanionTray::suiteFullSwitchesItsFlagFile()
{
    TempDataFolder data;
    FakeSingleInstance nobody;
    CompanionTrayMenu menu(nobody);
    QVERIFY(!menu.suiteFull); // offered once its file is named
    const QString flag = data.file(kSuiteFullFlag);
    menu.setSuiteFullFlag(flag);
    QVERIFY(menu.suiteFull && menu.suiteFull->isCheckable());
    QCOMPARE(menu.suiteFull->text(), QStringLiteral("Suite completa"));
    QCOMPARE(menu.actions().last(), menu.quit); // "Sair" stays last

    auto clickSuiteFull = [&] {
        menu.popup(QPoint(10, 10));
        const bool ticked = menu.suiteFull->isChecked();
        QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(menu.suiteFull).center());
        menu.close();
        return ticked;
    };
    QVERIFY(!clickSuiteFull());
    QCOMPARE(data.read(QStringLiteral("dados/Suite.full")), QByteArray("57948579487593465966\r\n"));
    QVERIFY(clickSuiteFull());
    QVERIFY(!QFile::exists(flag));

    // Written by someone else while the menu was closed: ticked at the next opening.
    QVERIFY(writeFlagFile(flag));
    QVERIFY(clickSuiteFull());
    QVERIFY(!QFile::exists(flag));
}

QTEST_MAIN(TestCompanionTray)
#include "tst_companiontray.moc"

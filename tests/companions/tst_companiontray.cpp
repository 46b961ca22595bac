// The companion's tray menu and the program's audio page, joined by the request channel: the
// menu offers "Parar música" exactly while music plays, and the entry stops it.
#include "traymenu.h"

#include "media/audiopage.h"
#include "media/folderlisting.h"
#include "platform/fakes.h"
#include "store/flagfile.h"
#include "tempdatafolder.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QtTest>

using namespace zorv;

class TestCompanionTray : public QObject
{
    Q_OBJECT

private slots:
    void stopMusicOnlyWhilePlaying();
    void withoutProgramNothingIsOffered();
    void suiteFullSwitchesItsFlagFile();
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

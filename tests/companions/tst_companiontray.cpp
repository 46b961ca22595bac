// The companion's tray menu and the program's audio page, joined by the request channel: the
// menu offers "Parar música" exactly while music plays, and the entry stops it.
#include "traymenu.h"

#include "media/audiopage.h"
#include "media/folderlisting.h"
#include "platform/fakes.h"
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

QTEST_MAIN(TestCompanionTray)
#include "tst_companiontray.moc"

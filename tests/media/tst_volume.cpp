// The volume component and the page's volume bar on a fake line, and the program's gain
// reaching a real player's output.
#include "media/audiopage.h"
#include "media/volumecontroller.h"

#include "platform/audioplayback.h"
#include "platform/fakes.h"
#include "tempdatafolder.h"

#include <QAudio>
#include <QSignalSpy>
#include <QSlider>
#include <QToolButton>
#include <QtTest>

using namespace zorv;

using Levels = OutputVolume::Levels;

class TestVolume : public QObject
{
    Q_OBJECT

private slots:
    void constructionAppliesStoredValues();
    void appliedLevels_data();
    void appliedLevels();
    void readBack_data();
    void readBack();
    void outOfRangeChangesNothing();
    void missingControlsFailQuietly();
    void startUpVolumeAgainFromTMVL();
    void volumeBar_data();
    void volumeBar();
    void presetsMoveTheBar();
    void gainReachesRealPlayer();
};

void TestVolume::constructionAppliesStoredValues()
{
    FakeOutputVolume line;
    line.holdLevels({65535, 0});
    TzorvVolumeController vol(line, nullptr);
    QCOMPARE(vol.objectName(), QStringLiteral("zorvVol"));
    QCOMPARE(line.muted(), std::optional<bool>(false));
    QCOMPARE(line.levels(), std::optional<Levels>(Levels{13107, 13107}));
    QCOMPARE(line.calls.first(), QStringLiteral("mute 0"));
    QCOMPARE(line.calls.last(), QStringLiteral("levels 13107 13107"));
    QCOMPARE(vol.property("Mute").toBool(), false);
    QCOMPARE(vol.property("Volume").toInt(), 20);
    QCOMPARE(vol.property("Balance").toInt(), 0);
    QCOMPARE(line.gain(), 0.2);
}

void TestVolume::appliedLevels_data()
{
    QTest::addColumn<int>("volume");
    QTest::addColumn<int>("balance");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");

    QTest::newRow("20, centre") << 20 << 0 << 13107 << 13107;
    QTest::newRow("50, half left") << 50 << -50 << 32767 << 16383;
    QTest::newRow("35, centre") << 35 << 0 << 22937 << 22937;
    QTest::newRow("40, left only") << 40 << -100 << 26214 << 0;
    QTest::newRow("40, right only") << 40 << 100 << 0 << 26214;
    QTest::newRow("100") << 100 << 0 << 65535 << 65535;
    QTest::newRow("0") << 0 << 30 << 0 << 0;
}

void TestVolume::appliedLevels()
{
    QFETCH(int, volume);
    QFETCH(int, balance);
    QFETCH(int, left);
    QFETCH(int, right);

    FakeOutputVolume line;
    TzorvVolumeController vol(line, nullptr);
    vol.setProperty("Balance", balance);
    vol.setProperty("Volume", volume);
    QCOMPARE(line.levels(), std::optional<Levels>(Levels(quint16(left), quint16(right))));
}

void TestVolume::readBack_data()
{
    QTest::addColumn<int>("volume");
    QTest::addColumn<int>("balance");
    QTest::addColumn<int>("volumeRead");
    QTest::addColumn<int>("balanceRead");

    QTest::newRow("20") << 20 << 0 << 20 << 0;
    QTest::newRow("35 reads 34") << 35 << 0 << 34 << 0;
    QTest::newRow("50 half left") << 50 << -50 << 49 << -50;
    QTest::newRow("right only") << 60 << 100 << 60 << 100;
}

void TestVolume::readBack()
{
    QFETCH(int, volume);
    QFETCH(int, balance);
    QFETCH(int, volumeRead);
    QFETCH(int, balanceRead);

    FakeOutputVolume line;
    TzorvVolumeController vol(line, nullptr);
    vol.SetBalance(balance);
    vol.SetVolume(volume);
    QCOMPARE(vol.GetVolume(), volumeRead);
    QCOMPARE(vol.GetBalance(), balanceRead);

    // Both channels silent read as volume 0, balance 0.
    line.holdLevels({0, 0});
    QCOMPARE(vol.GetBalance(), 0);
    QCOMPARE(vol.GetVolume(), 0);
}

void TestVolume::outOfRangeChangesNothing()
{
    FakeOutputVolume line;
    TzorvVolumeController vol(line, nullptr);
    vol.SetBalance(-30);
    line.calls.clear();
    for (int volume : {101, -1})
        vol.SetVolume(volume);
    for (int balance : {101, -101})
        vol.SetBalance(balance);
    QVERIFY(line.calls.isEmpty());
    QCOMPARE(vol.GetVolume(), 20);
    QCOMPARE(vol.GetBalance(), -30);
}

void TestVolume::missingControlsFailQuietly()
{
    FakeOutputVolume line;
    line.volumeControl = false;
    line.muteControl = false;
    TzorvVolumeController vol(line, nullptr);
    vol.SetVolume(70);
    vol.SetMute(true);
    QVERIFY(line.calls.isEmpty());
    QCOMPARE(vol.GetVolume(), 70); // nothing to read: the field stays
    QCOMPARE(vol.mute(), true);

    FakeOutputVolume noMute;
    noMute.muteControl = false;
    TzorvVolumeController vol2(noMute, nullptr);
    QCOMPARE(noMute.calls, QStringList({"levels 13107 13107", "levels 13107 13107"}));
}

void TestVolume::startUpVolumeAgainFromTMVL()
{
    TempDataFolder data;
    FakeServices fake;
    AudioPage page(data.paths(), fake);
    QCOMPARE(page.findChild<QObject *>(QStringLiteral("zorvVol")), page.zorvVol);
    QCOMPARE(fake.volume.levels(), std::optional<Levels>(Levels{13107, 13107}));
    QCOMPARE(page.TMVL.interval(), 3000);
    QVERIFY(page.TMVL.isSingleShot());
    QVERIFY(!page.TMVL.isActive());
    page.StartVolumeTimer();
    QVERIFY(page.TMVL.isActive());

    fake.volume.setLevels({65535, 30000});
    page.TMVLTimer();
    QVERIFY(!page.TMVL.isActive());
    QCOMPARE(fake.volume.levels(), std::optional<Levels>(Levels{13107, 13107}));
    QCOMPARE(page.zorvVol->property("Volume").toInt(), 20);
    QVERIFY(!QFile::exists(data.file("Dados/Set.vol"))); // never written by the start-up
}

void TestVolume::volumeBar_data()
{
    QTest::addColumn<QString>("generation");
    QTest::addColumn<bool>("endpoint");
    QTest::addColumn<QString>("call");    // empty: nothing set
    QTest::addColumn<QByteArray>("file"); // null: not written

    QTest::newRow("XP: the mixer levels") << "XP" << true << "levels 22937 22937" << QByteArray("35\r\n");
    QTest::newRow("Seven: the endpoint") << "Seven" << true << "scalar 0.35" << QByteArray("35\r\n");
    QTest::newRow("Vista: the endpoint") << "Vista" << true << "scalar 0.35" << QByteArray("35\r\n");
    QTest::newRow("Seven without endpoint") << "Seven" << false << QString() << QByteArray();
}

void TestVolume::volumeBar()
{
    QFETCH(QString, generation);
    QFETCH(bool, endpoint);
    QFETCH(QString, call);
    QFETCH(QByteArray, file);

    TempDataFolder data;
    FakeServices fake;
    fake.volume.endpoint = endpoint;
    AudioPage page(data.paths(), fake);
    page.setOsGeneration(generation);
    page.CriV();
    QCOMPARE(page.hasEndpointVolume(), endpoint);
    QCOMPARE(page.tb2->minimum(), 0);
    QCOMPARE(page.tb2->maximum(), 100);
    QCOMPARE(page.tb2->value(), 5);
    QVERIFY(page.tb2->isHidden());
    fake.volume.calls.clear();

    page.tb2->setValue(35);
    QCOMPARE(fake.volume.calls, call.isEmpty() ? QStringList() : QStringList{call});
    QCOMPARE(QFile::exists(data.file("Dados/Set.vol")), !file.isNull());
    if (!file.isNull())
        QCOMPARE(data.read("Dados/Set.vol"), file);
    if (generation == QLatin1String("XP"))
        QCOMPARE(page.zorvVol->property("Volume").toInt(), 34);
    else if (endpoint)
        QVERIFY(qAbs(fake.volume.gain() - 0.2 * 0.35) < 1e-6);
}

void TestVolume::presetsMoveTheBar()
{
    TempDataFolder data;
    FakeServices fake;
    AudioPage page(data.paths(), fake);
    page.setOsGeneration(QStringLiteral("XP"));
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    const QList<QToolButton *> presets = {page.Image4, page.Image5, page.Image6,
                                          page.Image7, page.Image8, page.Image9};
    for (int i = 0; i < presets.size(); ++i) {
        QVERIFY(!presets[i]->isEnabled()); // disabled as laid out
        presets[i]->setEnabled(true);
        QTest::mouseClick(presets[i], Qt::LeftButton);
        QCOMPARE(page.tb2->value(), i * 20);
    }
    QCOMPARE(data.read("Dados/Set.vol"), QByteArray("100\r\n"));
    QCOMPARE(fake.volume.levels(), std::optional<Levels>(Levels{65535, 65535}));
}

// The program's volume on a real player: volume 20 is the output's mapped 0.2, mute is
// silence; the system's own volume is not involved.
void TestVolume::gainReachesRealPlayer()
{
    if (!QtAudioPlayer::canDecode())
        QSKIP("no audio decoders installed");
    ProgramOutputVolume line;
    QtAudioPlayback playback(line);
    QObject owner;
    auto *player = static_cast<QtAudioPlayer *>(playback.makePlayer(&owner));
    QSignalSpy opened(player, &AudioPlayer::opened);
    player->open(QStringLiteral(ZORV_TEST_DATA "/tone-1s.mp3"));
    QTRY_COMPARE_WITH_TIMEOUT(opened.size(), 1, 5000);
    QCOMPARE(player->outputVolume(), 1.0);

    TzorvVolumeController vol(line, nullptr);
    const double mapped =
        QAudio::convertVolume(0.2, QAudio::LogarithmicVolumeScale, QAudio::LinearVolumeScale);
    QVERIFY2(qAbs(player->outputVolume() - mapped) < 1e-4,
             qPrintable(QString::number(player->outputVolume())));
    vol.SetMute(true);
    QCOMPARE(player->outputVolume(), 0.0);
    vol.SetMute(false);
    QVERIFY(qAbs(player->outputVolume() - mapped) < 1e-4);
    // A player made later starts at the same gain.
    auto *later = static_cast<QtAudioPlayer *>(playback.makePlayer(&owner));
    QVERIFY(qAbs(later->outputVolume() - mapped) < 1e-4);
}

QTEST_MAIN(TestVolume)
#include "tst_volume.moc"

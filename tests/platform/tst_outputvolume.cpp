// The program's own output volume and the OS generation name.
#include "platform/osgeneration.h"
#include "platform/outputvolume.h"

#include <QSignalSpy>
#include <QtTest>

using namespace zorv;

class TestOutputVolume : public QObject
{
    Q_OBJECT

private slots:
    void generationName_data();
    void generationName();
    void runningGenerationOffWindows();
    void programVolumeStartsFullAndMakesTheGain();
};

void TestOutputVolume::generationName_data()
{
    QTest::addColumn<bool>("nt");
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("name");

    QTest::newRow("NT 5.1") << true << 5 << 1 << "XP";
    QTest::newRow("NT 5.0") << true << 5 << 0 << "XP";
    QTest::newRow("NT 6.0") << true << 6 << 0 << "Vista";
    QTest::newRow("NT 6.1") << true << 6 << 1 << "Seven";
    QTest::newRow("NT 6.3") << true << 6 << 3 << "Seven";
    QTest::newRow("NT 10.0") << true << 10 << 0 << "Vista";
    QTest::newRow("not NT") << false << 6 << 1 << "XP";
}

void TestOutputVolume::generationName()
{
    QFETCH(bool, nt);
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, name);
    QCOMPARE(osGenerationName(nt, major, minor), name);
}

void TestOutputVolume::runningGenerationOffWindows()
{
#ifndef Q_OS_WIN
    QCOMPARE(runningOsGenerationName(), QStringLiteral("Seven"));
#endif
}

void TestOutputVolume::programVolumeStartsFullAndMakesTheGain()
{
    ProgramOutputVolume volume;
    QVERIFY(volume.hasVolumeControl());
    QVERIFY(volume.hasMuteControl());
    QCOMPARE(volume.levels(), std::optional<OutputVolume::Levels>(OutputVolume::Levels{65535, 65535}));
    QCOMPARE(volume.muted(), std::optional<bool>(false));
    QCOMPARE(volume.masterScalar(), std::optional<float>(1.0f));
    QCOMPARE(volume.gain(), 1.0);

    QSignalSpy changed(&volume, &OutputVolume::gainChanged);
    QVERIFY(volume.setLevels({6553, 13107})); // the louder channel counts
    QCOMPARE(volume.gain(), 0.2);
    QVERIFY(volume.setMuted(true));
    QCOMPARE(volume.gain(), 0.0);
    QVERIFY(volume.setMuted(false));
    QCOMPARE(changed.size(), 3);
    QCOMPARE(changed.last().first().toDouble(), 0.2);
    QVERIFY(volume.setLevels({13107, 6553})); // balance moved, same gain: no change
    QCOMPARE(changed.size(), 3);
    if (volume.hasEndpoint()) {
        QVERIFY(volume.setMasterScalar(0.5f));
        QCOMPARE(volume.gain(), 0.1);
    } else {
        QVERIFY(!volume.setMasterScalar(0.5f));
        QCOMPARE(volume.gain(), 0.2);
    }
}

QTEST_MAIN(TestOutputVolume)
#include "tst_outputvolume.moc"

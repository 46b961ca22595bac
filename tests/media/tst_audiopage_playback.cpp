// The audio page on the real player: a chosen folder plays track after track. Without a
// sound device the backend plays into a silent sink in real time; without decoders the
// test is skipped.
#include "media/audiopage.h"

#include "platform/audioplayback.h"
#include "platform/fakes.h"
#include "tempdatafolder.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

using namespace zorv;

class TestAudioPagePlayback : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QtAudioPlayer::canDecode())
            QSKIP("no audio decoders installed");
    }
    void chosenFolderPlaysTrackAfterTrack();
};

void TestAudioPagePlayback::chosenFolderPlaysTrackAfterTrack()
{
    TempDataFolder data;
    const QString folder = data.root() + QStringLiteral("/Musicas");
    QVERIFY(QDir().mkpath(folder));
    for (const char *name : {"primeira.mp3", "segunda.mp3"})
        QVERIFY(QFile::copy(QStringLiteral(ZORV_TEST_DATA "/tone-1s.mp3"), folder + "/" + name));

    FakeServices fake;
    QtAudioPlayback playback{fake.volume};
    Services services = fake.withAudio(playback, fake.volume);
    AudioPage page(data.paths(), services);
    QSignalSpy ended(page.player(), &AudioPlayer::ended);

    fake.dialogs.files << folder + QStringLiteral("/primeira.mp3");
    page.pmClick();
    QTRY_VERIFY_WITH_TIMEOUT(page.player()->isPlaying(), 5000);
    QVERIFY(page.TMMP.isActive());
    QCOMPARE(page.fa->text(), QStringLiteral("primeira"));
    QTRY_VERIFY_WITH_TIMEOUT(page.TB1->maximum() > 900, 3000);

    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 5000);
    page.TMMPTimer();
    QCOMPARE(page.FL2->currentItem()->text(), QStringLiteral("segunda.mp3"));
    QTRY_VERIFY_WITH_TIMEOUT(page.player()->isPlaying(), 5000);
    QCOMPARE(page.fa->text(), QStringLiteral("segunda"));
    page.parar();
    QVERIFY(!page.player()->isPlaying());
}

QTEST_MAIN(TestAudioPagePlayback)
#include "tst_audiopage_playback.moc"

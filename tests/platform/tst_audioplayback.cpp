// The real player on Qt Multimedia: files open, play and end; what cannot be played fails
// without leaving anything playing. Without a sound device the backend plays into a
// silent sink in real time, so these run anywhere the decoders are installed.
#include "platform/audioplayback.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cmath>

using namespace zorv;

namespace {

// A mono 16-bit PCM wave file of `msecs` milliseconds of a quiet tone.
QByteArray waveFile(int msecs, int rate = 22050)
{
    const int samples = rate * msecs / 1000;
    QByteArray pcm(samples * 2, Qt::Uninitialized);
    for (int i = 0; i < samples; ++i)
        qToLittleEndian<qint16>(qint16(3000 * std::sin(2 * M_PI * 440 * i / rate)), pcm.data() + 2 * i);
    QByteArray out;
    auto u32 = [&out](quint32 v) { out.append(reinterpret_cast<const char *>(&v), 4); };
    auto u16 = [&out](quint16 v) { out.append(reinterpret_cast<const char *>(&v), 2); };
    out += "RIFF";
    u32(36 + pcm.size());
    out += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    out += "data";
    u32(pcm.size());
    return out + pcm;
}

} // namespace

class TestAudioPlayback : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void playable_data();
    void playable();
    void unplayable_data();
    void unplayable();
    void closeStopsAndNextOpenWorks();

private:
    QTemporaryDir m_dir;
};

void TestAudioPlayback::initTestCase()
{
    if (!QtAudioPlayer::canDecode())
        QSKIP("no audio decoders installed");
    QFile wav(m_dir.filePath(QStringLiteral("tone-1s.wav")));
    QVERIFY(wav.open(QIODevice::WriteOnly));
    wav.write(waveFile(1000));
    wav.close();
    QFile text(m_dir.filePath(QStringLiteral("texto.mp3")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("isto n\xe3o \xe9 m\xfasica\r\n");
}

void TestAudioPlayback::playable_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("longest"); // ms; an MP3 encoder pads the end of the tone
    QTest::newRow("wave") << m_dir.filePath(QStringLiteral("tone-1s.wav")) << 1050;
    QTest::newRow("mp3") << QStringLiteral(ZORV_MEDIA_TEST_DATA "/tone-1s.mp3") << 1150;
}

void TestAudioPlayback::playable()
{
    QFETCH(QString, path);
    QFETCH(int, longest);
    QtAudioPlayer player;
    QSignalSpy opened(&player, &AudioPlayer::opened);
    QSignalSpy ended(&player, &AudioPlayer::ended);
    QSignalSpy failed(&player, &AudioPlayer::failed);
    player.open(path);
    QTRY_COMPARE_WITH_TIMEOUT(opened.size(), 1, 5000);
    QVERIFY(player.isOpen());
    player.play();
    QTRY_VERIFY_WITH_TIMEOUT(player.length() > 0, 5000);
    QVERIFY2(player.length() >= 950 && player.length() <= longest,
             qPrintable(QString::number(player.length())));
    QTRY_VERIFY_WITH_TIMEOUT(player.isPlaying(), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 5000);
    QVERIFY(!player.isPlaying());
    QCOMPARE(failed.size(), 0);
}

void TestAudioPlayback::unplayable_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing") << m_dir.filePath(QStringLiteral("sumiu.mp3"));
    QTest::newRow("text named .mp3") << m_dir.filePath(QStringLiteral("texto.mp3"));
    QTest::newRow("a folder") << m_dir.path();
    QTest::newRow("a device") << QStringLiteral("/dev/zero");
    QTest::newRow("an address") << QStringLiteral("http://127.0.0.1:9/musica.mp3");
    QTest::newRow("empty") << QString();
}

void TestAudioPlayback::unplayable()
{
    QFETCH(QString, path);
    QtAudioPlayer player;
    QSignalSpy opened(&player, &AudioPlayer::opened);
    QSignalSpy failed(&player, &AudioPlayer::failed);
    QElapsedTimer clock;
    clock.start();
    player.open(path);
    QVERIFY(clock.elapsed() < 500); // open never blocks
    QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 5000);
    QCOMPARE(opened.size(), 0);
    player.play();
    QVERIFY(!player.isPlaying());
    QVERIFY(!player.isOpen());
    QCOMPARE(player.position(), 0);
    clock.start();
    player.close();
    QVERIFY(clock.elapsed() < 500);
}

void TestAudioPlayback::closeStopsAndNextOpenWorks()
{
    QtAudioPlayer player;
    QSignalSpy opened(&player, &AudioPlayer::opened);
    QSignalSpy failed(&player, &AudioPlayer::failed);
    player.open(m_dir.filePath(QStringLiteral("texto.mp3")));
    QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 5000);
    // After a failure the next file opens on a fresh player.
    player.open(m_dir.filePath(QStringLiteral("tone-1s.wav")));
    QTRY_COMPARE_WITH_TIMEOUT(opened.size(), 1, 5000);
    player.play();
    QTRY_VERIFY_WITH_TIMEOUT(player.isPlaying(), 3000);
    player.close();
    QVERIFY(!player.isPlaying());
    QVERIFY(!player.isOpen());
    QCOMPARE(player.length(), 0);
}

QTEST_MAIN(TestAudioPlayback)
#include "tst_audioplayback.moc"

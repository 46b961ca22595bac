// On a desktop with a sound server: the program's start-up volume and auto-play reach the
// server as one playing stream of the program, while the server's own volumes stay where
// they were. A private server is started for the test (its own runtime folder, a null
// sink, ended by its process id) and the multimedia layer is pointed at it before its
// first use. Skipped where no server program is installed.
#include "media/audiopage.h"

#include "platform/audioplayback.h"
#include "platform/fakes.h"
#include "platform/outputvolume.h"
#include "tempdatafolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace zorv;

namespace {

bool g_serverRunning = false;

QString pactl(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral("pactl"), arguments);
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(1000);
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

// True when every channel of a "pactl get-sink-volume" or sink-input block reads 100 %.
bool allAtFullVolume(const QString &text)
{
    const qsizetype percents = text.count(QLatin1Char('%'));
    return percents > 0 && text.count(QStringLiteral("/ 100% /")) == percents;
}

} // namespace

class TestDesktopVolume : public QObject
{
    Q_OBJECT

private slots:
    void startUpLeavesDesktopVolumeAlone();
};

void TestDesktopVolume::startUpLeavesDesktopVolumeAlone()
{
    if (!g_serverRunning)
        QSKIP("no private sound server (pulseaudio and pactl are not installed)");
    if (!QtAudioPlayer::canDecode())
        QSKIP("no audio decoders installed");
    const QString sinkBefore = pactl({"get-sink-volume", "zorvnull"});
    QVERIFY2(allAtFullVolume(sinkBefore), qPrintable(sinkBefore));

    TempDataFolder data;
    const QString track = data.root() + QStringLiteral("/tone.mp3");
    QVERIFY(QFile::copy(QStringLiteral(ZORV_TEST_DATA "/tone-1s.mp3"), track));
    QVERIFY(data.write("Dados/Auto.rep", track.toUtf8() + "\r\n"));

    FakeServices fake;
    ProgramOutputVolume volume;
    QtAudioPlayback playback(volume);
    Services services = fake.withAudio(playback, volume);
    AudioPage page(data.paths(), services); // volume 20 as the window is made
    page.StartVolumeTimer();
    page.CriV();
    page.LoadAutoPlay();
    QVERIFY(page.Timer5.isActive());
    page.Timer5Timer();
    QTRY_VERIFY_WITH_TIMEOUT(page.player()->isPlaying(), 5000);
    page.TMVLTimer();
    QCOMPARE(volume.gain(), 0.2);

    QString inputs;
    QTRY_VERIFY_WITH_TIMEOUT(!(inputs = pactl({"list", "sink-inputs"})).trimmed().isEmpty(), 5000);
    const qsizetype volumeLine = inputs.indexOf(QStringLiteral("Volume:"));
    QVERIFY2(volumeLine >= 0, qPrintable(inputs));
    const QString inputVolume =
        inputs.mid(volumeLine, inputs.indexOf(QLatin1Char('\n'), volumeLine) - volumeLine);
    QVERIFY2(allAtFullVolume(inputVolume), qPrintable(inputVolume));

    const QString sinkAfter = pactl({"get-sink-volume", "zorvnull"});
    QVERIFY2(allAtFullVolume(sinkAfter), qPrintable(sinkAfter));
    page.parar();
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir runtime;
    QProcess server;
    if (!QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty() &&
        !QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty() && runtime.isValid()) {
        const QString socket = runtime.filePath(QStringLiteral("native"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), runtime.filePath(QStringLiteral("run")));
        env.insert(QStringLiteral("PULSE_STATE_PATH"), runtime.filePath(QStringLiteral("state")));
        env.insert(QStringLiteral("HOME"), runtime.path());
        server.setProcessEnvironment(env);
        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server.setStandardErrorFile(runtime.filePath(QStringLiteral("server.log")));
        server.start(QStringLiteral("pulseaudio"),
                     {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--disable-shm=yes",
                      "--log-target=stderr", "-L", "module-null-sink sink_name=zorvnull", "-L",
                      "module-native-protocol-unix socket=" + socket + " auth-anonymous=1"});
        if (server.waitForStarted(5000)) {
            for (int i = 0; i < 100 && !QFile::exists(socket); ++i)
                QTest::qWait(50);
            // Before the first use of the multimedia layer: everything talks to this server.
            qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
            g_serverRunning = QFile::exists(socket);
        }
    }
    TestDesktopVolume test;
    const int result = QTest::qExec(&test, argc, argv);
    if (server.state() != QProcess::NotRunning) {
        server.terminate(); // this server only, by its own process
        if (!server.waitForFinished(5000)) {
            server.kill();
            server.waitForFinished(2000);
        }
    }
    return result;
}

#include "tst_desktopvolume.moc"

// Start-up of zorv-desk on a private X server with a tray host:
//   BM_StartToTrayIcon     process start until its tray icon is docked and viewable; each
//                          iteration also times a minimal Qt widget program from start to
//                          its window mapped, and reports the ratio and zorv-desk's RSS.
//   BM_TrayClickToSuite    first click on the tray icon until the suite window is mapped.
//   BM_StartToTrayIconFullSuite  as BM_StartToTrayIcon, for a copy of zorv-desk placed beside
//                          the 20-year synthetic installation with the full suite on (every
//                          page filled).
// The companion's window is a window this benchmark makes itself: any window titled
// "zorvoletps" keeps zorv-desk running.
// ZORV_DESK_PROGRAM names another zorv-desk to time, such as the installed /usr/bin/zorv-desk;
// every run gets a private configuration and data folder, so an installed program lays out
// its data folder there and never in the user's home.

#include "benchdata.h"
#include "xsession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <functional>

namespace {

XSession *session = nullptr;
QTemporaryDir *privateDir = nullptr;

QString deskProgram()
{
    const QString chosen = qEnvironmentVariable("ZORV_DESK_PROGRAM");
    return chosen.isEmpty() ? QStringLiteral(ZORV_DESK_BIN) : chosen;
}

// Polls `found` every millisecond; the elapsed time in seconds, or a negative value after
// ten seconds without success.
double waitFor(const QElapsedTimer &clock, const std::function<bool()> &found)
{
    while (!found()) {
        if (clock.elapsed() > 10000)
            return -1;
        QThread::usleep(1000);
    }
    return double(clock.nsecsElapsed()) / 1e9;
}

void startProgram(QProcess &process, const QString &program)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("DISPLAY"), session->display());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), privateDir->path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), privateDir->filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), privateDir->filePath(QStringLiteral("data")));
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, {});
}

void stopProgram(QProcess &process)
{
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

double rssMegabytes(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

bool click(unsigned long window)
{
    int x = 0, y = 0;
    if (!session->centreOf(window, &x, &y))
        return false;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), session->display());
    QProcess xdotool;
    xdotool.setProcessEnvironment(env);
    xdotool.start(QStringLiteral("xdotool"),
                  {"mousemove", QString::number(x), QString::number(y), "click", "1"});
    return xdotool.waitForFinished(5000) && xdotool.exitCode() == 0;
}

void startToTrayIcon(benchmark::State &state, const QString &program)
{
    double minimalTotal = 0, deskTotal = 0, rssMax = 0;
    int runs = 0;
    for (auto _ : state) {
        QProcess minimal;
        QElapsedTimer clock;
        clock.start();
        startProgram(minimal, QStringLiteral(ZORV_MINIMAL_BIN));
        const double minimalSeconds =
            waitFor(clock, [] { return session->findViewableByTitle("zorv-bench-minimal") != 0; });
        stopProgram(minimal);

        QProcess desk;
        clock.start();
        startProgram(desk, program);
        const double deskSeconds =
            waitFor(clock, [] { return session->findViewableByClass("zorv-desk", 64) != 0; });
        QThread::msleep(300); // what it holds once it has settled
        rssMax = std::max(rssMax, rssMegabytes(desk.processId()));
        stopProgram(desk);

        if (minimalSeconds < 0 || deskSeconds < 0) {
            state.SkipWithError("a window did not appear within ten seconds");
            return;
        }
        state.SetIterationTime(deskSeconds);
        minimalTotal += minimalSeconds;
        deskTotal += deskSeconds;
        ++runs;
    }
    if (runs > 0) {
        state.counters["minimal_qt_ms"] = 1000 * minimalTotal / runs;
        state.counters["desk_ms"] = 1000 * deskTotal / runs;
        state.counters["ratio_to_minimal"] = deskTotal / minimalTotal;
        state.counters["rss_mb"] = rssMax;
    }
}

void BM_StartToTrayIcon(benchmark::State &state)
{
    startToTrayIcon(state, deskProgram());
}

// The program reads the data folder beside it: a copy goes beside the installation (the tray
// icon is found by the window class, which is the program's file name).
void BM_StartToTrayIconFullSuite(benchmark::State &state)
{
    const QString root = zorv::bench::benchRoot();
    const QString copy = root + QStringLiteral("/zorv-desk");
    QFile::remove(copy);
    if (!QFile::copy(QStringLiteral(ZORV_DESK_BIN), copy) || !zorv::bench::generateFullSuite(root)) {
        state.SkipWithError("the program could not be placed beside the installation");
        return;
    }
    startToTrayIcon(state, copy);
    QFile::remove(copy);
    QFile::remove(root + QStringLiteral("/dados/Suite.full"));
    QFile::remove(root + QStringLiteral("/dados/Personal.not"));
}

void BM_TrayClickToSuite(benchmark::State &state)
{
    for (auto _ : state) {
        QProcess desk;
        QElapsedTimer clock;
        clock.start();
        startProgram(desk, deskProgram());
        waitFor(clock, [] { return session->findViewableByClass("zorv-desk", 64) != 0; });
        const unsigned long icon = session->findViewableByClass("zorv-desk", 64);
        QThread::msleep(200); // the icon docks before it takes clicks
        clock.start();
        const bool clicked = icon && click(icon);
        const double seconds =
            clicked ? waitFor(clock, [] { return session->findViewableByTitle("Zorv Desk Plus") != 0; }) : -1;
        if (seconds >= 0)
            state.counters["rss_after_show_mb"] = rssMegabytes(desk.processId());
        stopProgram(desk);
        if (seconds < 0) {
            state.SkipWithError("the suite window did not appear");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

BENCHMARK(BM_StartToTrayIcon)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartToTrayIconFullSuite)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrayClickToSuite)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::AddCustomContext("zorv_desk", deskProgram().toStdString());
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        fprintf(stderr, "bench_startup: needs xdotool\n");
        return 1;
    }
    QTemporaryDir dir;
    privateDir = &dir;
    XSession x;
    if (!x.isReady()) {
        fprintf(stderr, "bench_startup: %s\n", qPrintable(x.error()));
        return 1;
    }
    session = &x;
    x.createTitledWindow("zorvoletps");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// A backup of the generated 20-year data folder (copy with links followed and permission
// bits kept, verification, flush to the disk and the swap into place) against `cp -a` +
// `sync` and against `cp -a` of the same folder (which keeps the permission bits too), in
// the same run and on the same disk.
//
// Every copy goes into a fresh folder and nothing is deleted until the run ends: on a file
// system that avoids reusing recently freed inodes (ext4 without a journal), creating files
// right after deleting hundreds of others costs far more, and whichever copy ran second in
// a loop that deletes would pay for the other's deletions. A daily backup never meets that
// state, since the previous copy was removed a day earlier. BM_BackupVsCpR rotates the
// copies and reports backup time / (cp -a + sync) time as "ratio_sync" and backup time /
// cp -a time as "ratio".
// The Replacing pair measures the steady state of replacing the previous copy, deletion
// included, and is subject to the effect above.
#include "benchdata.h"

#include "settings/backupcopy.h"
#include "store/filetree.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>

#include <benchmark/benchmark.h>

namespace {

QString dataFolder()
{
    static const QString path = zorv::bench::benchRoot() + QStringLiteral("/dados");
    return path;
}

QString runFolder()
{
    static const QString path = QDir::tempPath() + QStringLiteral("/zorv-bench-settings/run-") +
                                QString::number(QCoreApplication::applicationPid());
    return path;
}

// A folder no copy has used yet in this run.
QString freshFolder(const char *kind)
{
    static int counter = 0;
    const QString path = runFolder() + QLatin1Char('/') + QLatin1String(kind) + QString::number(++counter);
    QDir().mkpath(path);
    return path;
}

// cp -a <data folder> <target>/ : the copy lands in <target>/dados.
bool copyWithCp(const QString &target)
{
    return QProcess::execute(QStringLiteral("cp"),
                             {QStringLiteral("-a"), dataFolder(), target + QLatin1Char('/')}) == 0;
}

void describeData(benchmark::State &state)
{
    qint64 files = 0, bytes = 0;
    QDirIterator it(dataFolder(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++files;
        bytes += it.fileInfo().size();
    }
    state.counters["files"] = double(files);
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_CpR(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        const QString target = freshFolder("cp");
        state.ResumeTiming();
        if (!copyWithCp(target))
            state.SkipWithError("cp -a failed");
    }
    describeData(state);
}

void BM_Backup(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        const QString target = freshFolder("backup");
        state.ResumeTiming();
        if (!zorv::backupDataFolder(dataFolder(), target))
            state.SkipWithError("backup failed");
    }
    describeData(state);
}

// sync -f <folder>: flushes the file system holding the folder, as the backup's own flush
// does before it renames its copy into place.
bool syncFileSystemOf(const QString &folder)
{
    return QProcess::execute(QStringLiteral("sync"), {QStringLiteral("-f"), folder}) == 0;
}

// Time per iteration is the backup's (copy, verification, flush to the disk, rename, flush
// of the folder). Each iteration also runs `cp -a` followed by `sync -f` of the copied
// folder, and `cp -a` alone; the order of the three rotates. "ratio_sync" is total backup
// time / total cp -a + sync time, "ratio" total backup time / total cp -a time. What cp -a
// alone leaves unwritten is flushed outside the timing, so the next flush does not pay for it.
void BM_BackupVsCpR(benchmark::State &state)
{
    double cpSeconds = 0, cpSyncSeconds = 0, backupSeconds = 0;
    int first = 0;
    for (auto _ : state) {
        const QString cpTarget = freshFolder("vs-cp");
        const QString cpSyncTarget = freshFolder("vs-cp-sync");
        const QString backupTarget = freshFolder("vs-backup");
        syncFileSystemOf(runFolder());
        double backup = 0;
        bool ok = true;
        for (int turn = 0; turn < 3; ++turn) {
            const int which = (first + turn) % 3;
            QElapsedTimer timer;
            timer.start();
            if (which == 0) {
                ok = zorv::backupDataFolder(dataFolder(), backupTarget) && ok;
                backup = double(timer.nsecsElapsed()) / 1e9;
            } else if (which == 1) {
                ok = copyWithCp(cpSyncTarget) && syncFileSystemOf(cpSyncTarget + QStringLiteral("/dados")) &&
                     ok;
                cpSyncSeconds += double(timer.nsecsElapsed()) / 1e9;
            } else {
                ok = copyWithCp(cpTarget) && ok;
                cpSeconds += double(timer.nsecsElapsed()) / 1e9;
                syncFileSystemOf(cpTarget);
            }
        }
        first = (first + 1) % 3;
        backupSeconds += backup;
        state.SetIterationTime(backup);
        if (!ok)
            state.SkipWithError("a copy failed");
    }
    state.counters["cp_ms"] = benchmark::Counter(cpSeconds * 1e3, benchmark::Counter::kAvgIterations);
    state.counters["cp_sync_ms"] =
        benchmark::Counter(cpSyncSeconds * 1e3, benchmark::Counter::kAvgIterations);
    state.counters["backup_ms"] = benchmark::Counter(backupSeconds * 1e3, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = cpSeconds > 0 ? backupSeconds / cpSeconds : 0;
    state.counters["ratio_sync"] = cpSyncSeconds > 0 ? backupSeconds / cpSyncSeconds : 0;
}

void BM_CpRReplacing(benchmark::State &state)
{
    const QString target = freshFolder("cp-replacing");
    copyWithCp(target);
    for (auto _ : state) {
        zorv::DeleteTree(target + QStringLiteral("/dados"));
        if (!copyWithCp(target))
            state.SkipWithError("cp -a failed");
    }
    describeData(state);
}

void BM_BackupReplacing(benchmark::State &state)
{
    const QString target = freshFolder("backup-replacing");
    zorv::backupDataFolder(dataFolder(), target);
    for (auto _ : state) {
        if (!zorv::backupDataFolder(dataFolder(), target))
            state.SkipWithError("backup failed");
    }
    describeData(state);
}

} // namespace

BENCHMARK(BM_CpR)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackupVsCpR)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_CpRReplacing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackupReplacing)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    dataFolder(); // generate the data before any timing
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    zorv::DeleteTree(runFolder());
    return 0;
}

// One check of the unlock field against the stored password (the password file reloaded,
// then compared) against only reading that file with QFile, in the same run.
#include "benchdata.h"

#include "security/password.h"

#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>

namespace {

QString root()
{
    static const QString path = [] {
        const QString r = zorv::bench::benchRoot();
        if (!QFileInfo::exists(r + QStringLiteral("/windows/MSDoc.dat")))
            zorv::bench::generateAccessPassword(r);
        return r;
    }();
    return path;
}

void BM_VerifyStoredPassword(benchmark::State &state)
{
    const zorv::Paths paths(root(), root() + QStringLiteral("/windows"));
    zorv::PasswordStore store(paths);
    if (store.verify(QStringLiteral("20130305")) != zorv::PasswordStore::Verdict::StoredMatch) {
        state.SkipWithError("the generated password does not verify");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(store.verify(QStringLiteral("20130305")));
}
BENCHMARK(BM_VerifyStoredPassword);

void BM_ReadPasswordFileWithQFile(benchmark::State &state)
{
    const QString path = root() + QStringLiteral("/windows/MSDoc.dat");
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("no password file");
            return;
        }
        benchmark::DoNotOptimize(file.readAll());
    }
}
BENCHMARK(BM_ReadPasswordFileWithQFile);

} // namespace

BENCHMARK_MAIN();

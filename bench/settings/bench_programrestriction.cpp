// Loading the employee list and rebuilding its view (Func, GetILx) over the generated
// 200-line list, against only the icon lookups of the same 200 paths plus reading the file
// with QFile, in the same run.
#include "benchdata.h"

#include "platform/fakes.h"
#include "platform/shellitems.h"
#include "security/password.h"
#include "settings/employeelist.h"
#include "settings/programrestriction.h"
#include "settings/settingspage.h"
#include "store/flagfile.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

namespace {

QString root()
{
    static const QString path = [] {
        const QString r = zorv::bench::benchRoot();
        if (!QFileInfo::exists(r + QStringLiteral("/windows/MSWinDirBase.vxd")))
            zorv::bench::generateEmployeeList(r);
        return r;
    }();
    return path;
}

// The lookup the program uses for a released program's icon, on the desktop's own icons.
zorv::DesktopShellItems &shell()
{
    static zorv::DesktopShellItems items;
    return items;
}

QIcon programIcon(const QString &fullPath)
{
    return zorv::ItemIcon(shell(), fullPath, zorv::LinkFallback::OwnIcon);
}

void BM_LoadEmployeeList(benchmark::State &state)
{
    const zorv::Paths paths(root(), root() + QStringLiteral("/windows"));
    zorv::FakeServices fake;
    zorv::PasswordStore password(paths);
    zorv::FlagStaging LB;
    zorv::SettingsPage page(paths, fake.services(), password, LB);
    zorv::ProgramFilterHooks hooks;
    hooks.itemIcon = programIcon;
    zorv::ProgramRestriction panel(paths, fake.services(), password, LB, page, hooks);
    for (auto _ : state) {
        panel.Func();
        benchmark::DoNotOptimize(panel.LFC->topLevelItemCount());
    }
    if (panel.LFC->topLevelItemCount() != 200)
        state.SkipWithError("the list did not load");
}
BENCHMARK(BM_LoadEmployeeList)->Unit(benchmark::kMicrosecond);

void BM_ReadListAndLookUpIcons(benchmark::State &state)
{
    const QString list = root() + QStringLiteral("/windows/MSWinDirBase.vxd");
    zorv::TextList lines;
    lines.load(list);
    QStringList fullPaths;
    for (const QString &line : lines.lines())
        fullPaths << zorv::readEmployeeLine(line).fullPath;
    for (auto _ : state) {
        QFile file(list);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("no employee list");
            return;
        }
        benchmark::DoNotOptimize(file.readAll());
        for (const QString &path : fullPaths)
            benchmark::DoNotOptimize(programIcon(path));
    }
}
BENCHMARK(BM_ReadListAndLookUpIcons)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

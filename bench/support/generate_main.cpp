// Writes the synthetic data folder the benchmarks use: zorv-bench-generate <folder>
#include "benchdata.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: zorv-bench-generate <folder>\n";
        return 2;
    }
    return zorv::bench::generateDataFolder(args[1]) ? 0 : 1;
}

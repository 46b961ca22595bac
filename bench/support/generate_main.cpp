// Writes a synthetic data folder: zorv-bench-generate <folder> [--first-year Y] [--years N]
// [--entries-per-month M]. Without options it writes the 20-year folder the benchmarks use;
// scripts/run --demo asks for a few recent years of sample data.
#include "benchdata.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("The installation to write into."));
    const QCommandLineOption firstYear(QStringLiteral("first-year"), QStringLiteral("First year of entries."),
                                       QStringLiteral("year"));
    const QCommandLineOption years(QStringLiteral("years"), QStringLiteral("Number of years."),
                                   QStringLiteral("count"));
    const QCommandLineOption perMonth(QStringLiteral("entries-per-month"),
                                      QStringLiteral("Ledger entries in each month."),
                                      QStringLiteral("count"));
    parser.addOptions({firstYear, years, perMonth});
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        QTextStream(stderr) << "usage: zorv-bench-generate <folder> [--first-year Y] [--years N] "
                               "[--entries-per-month M]\n";
        return 2;
    }

    zorv::bench::GeneratedData shape;
    auto read = [&](const QCommandLineOption &option, int &into, int low, int high) {
        if (!parser.isSet(option))
            return true;
        bool ok = false;
        const int value = parser.value(option).toInt(&ok);
        if (!ok || value < low || value > high)
            return false;
        into = value;
        return true;
    };
    if (!read(firstYear, shape.firstYear, 1900, 9000) || !read(years, shape.years, 1, 200) ||
        !read(perMonth, shape.entriesPerMonth, 0, 100000)) {
        QTextStream(stderr) << "zorv-bench-generate: a number is out of range\n";
        return 2;
    }
    return zorv::bench::generateDataFolder(parser.positionalArguments().first(), shape) ? 0 : 1;
}

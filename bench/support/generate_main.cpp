// Writes a synthetic data folder: zorv-bench-generate <folder> [--first-year Y] [--years N]
// [--entries-per-month M]. Without options it writes the 20-year folder the benchmarks use.
// With --demo it writes the sample household that scripts/run --demo starts from instead:
// three years of entries up to today (--today yyyy-mm-dd sets the day) and the organizer's
// files, into a folder that holds no data folder yet.
#include "benchdata.h"
#include "demoprofile.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    // The rich-text pages of the demo need fonts, hence a GUI application; it never shows
    // anything, so it needs no display either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("The installation to write into."));
    const QCommandLineOption firstYear(QStringLiteral("first-year"), QStringLiteral("First year of entries."),
                                       QStringLiteral("year"));
    const QCommandLineOption years(QStringLiteral("years"), QStringLiteral("Number of years."),
                                   QStringLiteral("count"));
    const QCommandLineOption perMonth(QStringLiteral("entries-per-month"),
                                      QStringLiteral("Ledger entries in each month."),
                                      QStringLiteral("count"));
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Write the sample household of scripts/run --demo."));
    const QCommandLineOption today(QStringLiteral("today"),
                                   QStringLiteral("The demo's today (default: the clock's)."),
                                   QStringLiteral("yyyy-mm-dd"));
    parser.addOptions({firstYear, years, perMonth, demo, today});
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        QTextStream(stderr) << "usage: zorv-bench-generate <folder> [--first-year Y] [--years N] "
                               "[--entries-per-month M]\n"
                               "       zorv-bench-generate <folder> --demo [--today yyyy-mm-dd]\n";
        return 2;
    }
    const QString folder = parser.positionalArguments().first();

    if (parser.isSet(demo)) {
        QDate day = QDate::currentDate();
        if (parser.isSet(today))
            day = QDate::fromString(parser.value(today), Qt::ISODate);
        if (!day.isValid() || day.year() < 1900 || day.year() > 9000) {
            QTextStream(stderr) << "zorv-bench-generate: --today needs a date as yyyy-mm-dd\n";
            return 2;
        }
        if (!zorv::bench::generateDemoFolder(folder, day)) {
            QTextStream(stderr) << "zorv-bench-generate: the sample data could not be written into " << folder
                                << " (a data folder there is kept as it is)\n";
            return 1;
        }
        return 0;
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
    return zorv::bench::generateDataFolder(folder, shape) ? 0 : 1;
}

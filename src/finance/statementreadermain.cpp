// zorv-statement-reader <statement> <work folder>: reads one bank statement for the program
// and writes the result (transactions or the reason of a refusal) to its standard output.
// The program runs it as a child so that a cancelled reading ends with the child; the work
// folder is the child's own owner-only folder, also its $TMPDIR, removed by the program.
#include "finance/statementchild.h"
#include "finance/statementreader.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3)
        return 2;
    zorv::StatementReader reader;
    reader.setWorkFolder(arguments.at(2));
    const QByteArray result = zorv::encodeStatementResult(reader.read(arguments.at(1)));
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || out.write(result) != result.size() || !out.flush())
        return 1;
    return 0;
}

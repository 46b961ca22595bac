#pragma once

#include "controls/money.h"
#include "finance/amountsum.h"
#include "store/filegroup.h"
#include "store/paths.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace zorv {

// The operations and payment forms an entry can carry, in the order the pick lists show them.
inline const QStringList kOperations = {QStringLiteral("Entrance"), QStringLiteral("Exit"),
                                        QStringLiteral("To pay"), QStringLiteral("To receive"),
                                        QStringLiteral("Quarrels")};
inline const QStringList kPaymentForms = {QStringLiteral("Dinheiro"), QStringLiteral("Cartão"),
                                          QStringLiteral("Cheque"), QStringLiteral("Boleto"),
                                          QStringLiteral("Duplicata")};
inline const QString kOperationEntrance = QStringLiteral("Entrance");
inline const QString kOperationExit = QStringLiteral("Exit");

inline const QString kFinanceFolder = QStringLiteral("dados\\Finance");
inline const QString kSourcesFile = QStringLiteral("dados\\Fontes.cad");
inline const QString kSymbolFile = QStringLiteral("dados\\Money.sbm");

// "03.2013" and "2013": the names of the month and year an entry belongs to.
QString monthKey(const QDate &date);
QString yearKey(const QDate &date);
// "dados\Finance\03.2013.fin" and "dados\Finance\2013.CX".
QString monthLedgerName(const QString &workMonth);
QString yearLedgerName(const QString &workYear);

// One money movement as a ledger line holds it.
struct LedgerEntry
{
    Currency value;
    QDate date;
    QString operation;
    QString source;
    QString paymentForm;
};

// value <1> dd/mm/yyyy <2> operation <3> source <4> payment form, the value in "0.0,0".
QString buildLedgerLine(const LedgerEntry &entry);
// The amount of a line (the text before "<1>", read leniently); empty when it does not parse.
std::optional<Currency> lineAmount(QStringView line);
// The operation of a line: the text between "<2>" and "<3>" (at most 255 characters after
// "<2>" are looked at, as the field routines do).
QStringView lineOperation(QStringView line);

// The date one calendar month later; a day beyond the new month's length becomes its last day.
QDate nextInstallmentDate(const QDate &date);

// The amount with `percent` deducted (or added), rounded to cents with halves away from
// zero; empty when the result does not fit.
std::optional<Currency> applyPercentage(Currency value, qint64 percent, bool deduct);

// Entrances count every line whose operation is not "Exit"; exits every line whose
// operation is not "Entrance" (so bills to pay or receive count in both). A line whose
// amount does not parse (blank or damaged) is skipped and the sums go on. The sums are
// wide, so no amount is ever dropped for leaving the currency range.
struct MonthSums
{
    AmountSum entrances;
    AmountSum exits;
};
MonthSums computeMonthSums(const QStringList &lines);

// Exits as a whole percentage of entrances (both at whole cents), halves away from zero;
// empty when there are no entrances (the division has no result).
std::optional<WideInt> exitPercentage(AmountSum entrances, AmountSum exits);
// Gauges show 0..100 whatever they are given.
int clampGauge(WideInt value);

// One line bound for a ledger ("dados\\Finance\\03.2013.fin").
struct LedgerAppend
{
    QString ledger;
    QString line;
};

// The month and year ledgers of one installation.
class LedgerFiles
{
public:
    explicit LedgerFiles(const Paths &paths)
        : m_paths(paths)
    {}

    // Appends the line to the month ledger (and to the year ledger when `toYear`), each
    // rewritten whole. The two land together or not at all. False when nothing was written.
    WriteResult appendEntry(const QString &workMonth, const QString &workYear, const QString &line,
                            bool toYear) const;
    // Appends every line to its ledger, in order (each ledger read once and rewritten
    // whole), and writes `also` beside them (files of the finance folder): all of it lands
    // as one group or none of it does. False when nothing was written.
    WriteResult appendLines(const QList<LedgerAppend> &appends, const QList<FileWrite> &also = {}) const;

    // Names of the "*.fin" files of the finance folder, sorted as text (letter case ignored).
    QStringList monthFileNames() const;
    QString financeFolder() const { return m_paths.resolve(kFinanceFolder); }
    QString monthFilePath(const QString &fileName) const;

private:
    const Paths &m_paths;
};

} // namespace zorv

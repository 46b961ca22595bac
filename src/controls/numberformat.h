#pragma once

#include <QChar>
#include <QDate>
#include <QString>

namespace zorv {

// The regional settings every amount and date is written and read with. The program runs
// under one fixed set (Brazilian: decimal ",", thousands ".", currency "R$", dd/mm/yyyy)
// whatever the machine's locale, because the data files are written in it; other sets
// exist only so tests can show which setting a step really uses.
struct NumberFormat
{
    QChar decimalSeparator;
    QChar thousandSeparator;
    QString currencyString;
    // Where the currency string goes, with the numbering of the Windows regional settings.
    // Positive: 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
    int currencyFormat = 0;
    // Negative: 0 "($1)", 1 "-$1", 2 "$-1", 3 "$1-", 4 "(1$)", 5 "-1$", 6 "1-$", 7 "1$-",
    // 8 "-1 $", 9 "-$ 1", 10 "1 $-", 11 "$ 1-", 12 "$ -1", 13 "1- $", 14 "($ 1)", 15 "(1 $)".
    int negCurrFormat = 1;
    int currencyDecimals = 2;
    QChar dateSeparator;
    QString shortDateFormat; // QDate format pattern

    // The settings the program runs under.
    static NumberFormat brazilian();
};

// The one active format, fixed to the Brazilian settings.
const NumberFormat &activeNumberFormat();

// Dates in the short date format ("05/03/2013"); parsing accepts only that shape.
QString formatShortDate(const QDate &date, const NumberFormat &fmt = activeNumberFormat());
QDate parseShortDate(const QString &text, const NumberFormat &fmt = activeNumberFormat());

} // namespace zorv

#include "controls/numberformat.h"

namespace zorv {

NumberFormat NumberFormat::brazilian()
{
    NumberFormat f;
    f.decimalSeparator = QLatin1Char(',');
    f.thousandSeparator = QLatin1Char('.');
    f.currencyString = QStringLiteral("R$");
    f.currencyFormat = 2; // "R$ 1,00"
    f.negCurrFormat = 9;  // "-R$ 1,00"
    f.currencyDecimals = 2;
    f.dateSeparator = QLatin1Char('/');
    f.shortDateFormat = QStringLiteral("dd/MM/yyyy");
    return f;
}

const NumberFormat &activeNumberFormat()
{
    static const NumberFormat format = NumberFormat::brazilian();
    return format;
}

QString formatShortDate(const QDate &date, const NumberFormat &fmt)
{
    return date.toString(fmt.shortDateFormat);
}

QDate parseShortDate(const QString &text, const NumberFormat &fmt)
{
    return QDate::fromString(text, fmt.shortDateFormat);
}

} // namespace zorv

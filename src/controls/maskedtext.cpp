#include "controls/maskedtext.h"

#include <QLineEdit>

namespace zorv {

namespace {

// True for each place of `inputMask` the user fills, false for its fixed characters.
QList<bool> fillablePlaces(const QString &inputMask)
{
    static const QString placeholders = QStringLiteral("AaNnXx9D0dHhBb#");
    const QString mask = inputMask.section(QLatin1Char(';'), 0, 0);
    QList<bool> places;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask.at(i);
        if (c == u'\\' && i + 1 < mask.size()) {
            places.append(false);
            ++i;
        } else if (c == u'>' || c == u'<' || c == u'!') {
            continue; // letter-case switches take no place
        } else {
            places.append(placeholders.contains(c));
        }
    }
    return places;
}

QChar blankOf(const QString &inputMask)
{
    const qsizetype semicolon = inputMask.lastIndexOf(QLatin1Char(';'));
    return semicolon >= 0 && semicolon + 1 < inputMask.size() ? inputMask.at(semicolon + 1)
                                                              : QLatin1Char(' ');
}

} // namespace

QString maskedText(const QLineEdit &edit)
{
    QString text = edit.displayText();
    const QChar blank = blankOf(edit.inputMask());
    if (blank != QLatin1Char(' '))
        text.replace(blank, QLatin1Char(' '));
    return text;
}

void setMaskedText(QLineEdit &edit, const QString &text)
{
    const QList<bool> fillable = fillablePlaces(edit.inputMask());
    const QChar blank = blankOf(edit.inputMask());
    QString masked = text;
    for (qsizetype i = 0; i < masked.size(); ++i) {
        if (masked.at(i) == QLatin1Char(' ') && i < fillable.size() && fillable.at(i))
            masked[i] = blank;
    }
    edit.setText(masked);
}

} // namespace zorv

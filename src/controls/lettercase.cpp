#include "controls/lettercase.h"

#include "controls/keyfilter_p.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>

namespace zorv {

namespace {

char32_t turned(char32_t c, LetterCase letterCase)
{
    return letterCase == LetterCase::Upper ? QChar::toUpper(c) : QChar::toLower(c);
}

// One UTF-16 unit turned; kept when its counterpart would need two.
QChar turnedUnit(QChar c, LetterCase letterCase)
{
    const char32_t t = turned(c.unicode(), letterCase);
    return QChar::requiresSurrogates(t) ? c : QChar(char16_t(t));
}

// Turns the typed character of each key press before the field sees it.
class LetterCaseFilter final : public QObject
{
public:
    LetterCaseFilter(LetterCase letterCase, QObject *parent)
        : QObject(parent)
        , m_case(letterCase)
    {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        const QChar c = detail::typedChar(key);
        if (c.isNull() || c.isSurrogate())
            return false;
        const QChar t = turnedUnit(c, m_case);
        if (t == c)
            return false;
        // The turned key goes the same way, through this filter again (now unchanged).
        QKeyEvent typed = detail::retyped(key, t);
        QCoreApplication::sendEvent(watched, &typed);
        event->setAccepted(typed.isAccepted());
        return true;
    }

private:
    LetterCase m_case;
};

// Text that reached the field other than by a typed key (pasted, from an input method).
void turnEditedText(QLineEdit *edit, LetterCase letterCase)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, letterCase](const QString &text) {
        const QString t = inLetterCase(text, letterCase);
        if (t == text)
            return;
        const int cursor = edit->cursorPosition();
        edit->setText(t);
        edit->setCursorPosition(cursor);
    });
}

} // namespace

QString inLetterCase(QStringView text, LetterCase letterCase)
{
    QString out(text.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            const char32_t ucs4 = QChar::surrogateToUcs4(c, text[i + 1]);
            char32_t t = turned(ucs4, letterCase);
            if (!QChar::requiresSurrogates(t))
                t = ucs4; // keeps the length: two units stay two units
            dst[i] = QChar::highSurrogate(t);
            dst[i + 1] = QChar::lowSurrogate(t);
            ++i;
        } else {
            dst[i] = c.isSurrogate() ? c : turnedUnit(c, letterCase);
        }
    }
    return out;
}

void keepLetterCase(QLineEdit *edit, LetterCase letterCase)
{
    if (!edit)
        return;
    edit->installEventFilter(new LetterCaseFilter(letterCase, edit));
    turnEditedText(edit, letterCase);
}

void keepLetterCase(QComboBox *box, LetterCase letterCase)
{
    if (!box || !box->lineEdit())
        return;
    box->installEventFilter(new LetterCaseFilter(letterCase, box));
    keepLetterCase(box->lineEdit(), letterCase);
}

} // namespace zorv

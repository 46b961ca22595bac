#include "controls/moneyedit.h"

#include "controls/keyfilter_p.h"

namespace zorv {

TzorvMoney::TzorvMoney(QWidget *parent)
    : QLineEdit(parent)
{
    resize(121, 21);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setValue(0); // the size is still empty here, so this shows "0,00"
    m_formatSize = QStringLiteral("10.2");
    m_formatReal = RealFormat::Number;
}

void TzorvMoney::setFormatReal(RealFormat format)
{
    if (format == m_formatReal)
        return;
    m_formatReal = format;
    update();
}

void TzorvMoney::setFormatSize(const QString &size)
{
    m_formatSize = size;
}

std::optional<double> TzorvMoney::Value() const
{
    return parseReal(text());
}

void TzorvMoney::setValue(double value)
{
    setText(formatReal(value, m_formatReal, m_formatSize));
}

void TzorvMoney::ReformatOnExit()
{
    if (const auto value = Value())
        setValue(*value);
}

void TzorvMoney::keyPressEvent(QKeyEvent *event)
{
    QChar c = detail::typedChar(event);
    if (c.isNull()) {
        // Backspace, Enter, Esc and the keys that type nothing keep their ordinary handling;
        // a one-line field inserts nothing for Enter or Esc.
        QLineEdit::keyPressEvent(event);
        return;
    }
    const NumberFormat &fmt = activeNumberFormat();
    if (c == fmt.thousandSeparator)
        c = fmt.decimalSeparator;
    const QString current = text();
    bool accept = false;
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        accept = true;
    else if (c == fmt.decimalSeparator)
        accept = !current.contains(fmt.decimalSeparator);
    else if (c == QLatin1Char('-'))
        accept = current.isEmpty() || (hasSelectedText() && selectedText().size() == current.size());
    if (!accept) {
        event->accept();
        return;
    }
    QKeyEvent typed = detail::retyped(event, c);
    QLineEdit::keyPressEvent(&typed);
    event->setAccepted(typed.isAccepted());
}

void TzorvMoney::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (!detail::movesBetweenControls(event))
        return;
    emit entered();
    selectAll();
}

void TzorvMoney::focusOutEvent(QFocusEvent *event)
{
    const bool leaving = detail::movesBetweenControls(event);
    QLineEdit::focusOutEvent(event);
    if (leaving) {
        ReformatOnExit();
        emit exited();
    }
}

} // namespace zorv

#include "controls/currencyedit.h"

#include "controls/keyfilter_p.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace zorv {

TzorvCurrency::TzorvCurrency(QWidget *parent)
    : QLineEdit(parent)
{
    resize(120, 21);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Text stays clear of a 20-pixel strip on the left and 5 pixels on the right.
    setTextMargins(20, 0, 5, 0);
    showValue();
}

QString TzorvCurrency::notTakenHint()
{
    return QStringLiteral("Valor não aceito: digite um valor como 1500,50 ou 1.234,56");
}

void TzorvCurrency::setValue(Currency value)
{
    m_value = value;
    showValue();
    m_oldValue = m_value;
    markTaken(true);
}

void TzorvCurrency::CommitText()
{
    if (const auto parsed = parseTypedAmount(text())) {
        m_value = *parsed;
        showValue();
        m_oldValue = m_value;
        markTaken(true);
    } else {
        // The typed text stays on screen: showing the previous amount again would let it
        // pass for the one just typed.
        m_value = m_oldValue;
        markTaken(false);
    }
}

void TzorvCurrency::markTaken(bool taken)
{
    m_isValid = taken;
    // An empty field shows by itself that it holds no amount.
    const bool marked = !taken && !text().isEmpty();
    if (marked == testAttribute(Qt::WA_SetPalette) && marked == !toolTip().isEmpty())
        return;
    if (!marked) {
        setPalette(QPalette());
        setToolTip(QString());
    } else {
        QPalette warning = palette();
        warning.setColor(QPalette::Base, QColor(255, 214, 214));
        warning.setColor(QPalette::Text, QColor(150, 0, 0));
        setPalette(warning);
        setToolTip(notTakenHint());
    }
}

void TzorvCurrency::showValue()
{
    setText(formatPlain(m_value));
}

void TzorvCurrency::keyPressEvent(QKeyEvent *event)
{
    const bool backspace = event->key() == Qt::Key_Backspace;
    const bool enter = detail::isEnterKey(event);
    const bool escape = event->key() == Qt::Key_Escape;
    QChar c = detail::typedChar(event);
    if (!backspace && !enter && !escape && c.isNull()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (backspace) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (text().size() > kMaxTypedLength) {
        event->accept(); // dropped, Enter and Esc included
        return;
    }
    if (enter) {
        CommitText();
        selectAll();
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (escape) {
        m_value = m_oldValue;
        showValue();
        selectAll();
        QLineEdit::keyPressEvent(event);
        return;
    }
    const NumberFormat &fmt = activeNumberFormat();
    const QChar decimal = fmt.decimalSeparator;
    const QChar thousands = fmt.thousandSeparator;
    // A typed point stays a point where it is the thousands separator: only the reading of
    // the whole text tells a thousands mark ("1.800") from a decimal comma ("12.5").
    if (c == QLatin1Char('.') && c != thousands)
        c = decimal;
    const bool allowed = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+') ||
                         c == QLatin1Char('-') || c == decimal || c == thousands;
    if (!allowed) {
        event->accept();
        return;
    }
    QKeyEvent typed = detail::retyped(event, c);
    QLineEdit::keyPressEvent(&typed);
    event->setAccepted(typed.isAccepted());
}

void TzorvCurrency::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (!detail::movesBetweenControls(event))
        return;
    emit entered();
    selectAll();
}

void TzorvCurrency::focusOutEvent(QFocusEvent *event)
{
    const bool leaving = detail::movesBetweenControls(event);
    if (leaving)
        CommitText();
    QLineEdit::focusOutEvent(event);
    if (leaving)
        emit exited();
}

void TzorvCurrency::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    // Blank the left margin strip inside the frame with the field's own colour.
    QStyleOptionFrame option;
    initStyleOption(&option);
    const int frame = hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this) : 0;
    const QRect client = rect().adjusted(frame, frame, -frame, -frame);
    QPainter painter(this);
    painter.fillRect(QRect(client.left() + 1, client.top() + 1, 17, client.height() - 2),
                     palette().color(QPalette::Base));
}

} // namespace zorv

#pragma once

#include "controls/money.h"

#include <QLineEdit>

namespace zorv {

// The one-line field in which the user types an amount. Its value is a Currency (four
// decimals); the text always shows the committed value as "#0.00" except while the user is
// typing. Enter and leaving the field commit the typed text, Esc returns to the last
// committed value, a text that does not parse is thrown away (IsValid() turns false).
//
// Pages that act on key-down (the Enter chain) install an event filter on the field: it
// sees each key before the field's own filter does.
class TzorvCurrency : public QLineEdit
{
    Q_OBJECT

public:
    // With more characters than this in the field only Backspace is accepted.
    static constexpr int kMaxTypedLength = 12;

    explicit TzorvCurrency(QWidget *parent = nullptr);

    Currency Value() const { return m_value; }
    // Sets and commits: the value shown, the value Esc returns to, IsValid() true.
    void setValue(Currency value);
    // True when the last commit parsed (or a value was set since).
    bool IsValid() const { return m_isValid; }

    // Reads the typed text strictly (sign, digits, decimal separator, digits; nothing else).
    // Parsed: it becomes the value and the value to return to. Otherwise the last committed
    // value comes back and IsValid() turns false. Either way the text shows the value.
    void CommitText();

signals:
    // Focus arrived, before the text is selected (a page may change the text here).
    void entered();
    // Focus left, after the typed text was committed.
    void exited();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void showValue();

    Currency m_value;
    Currency m_oldValue;
    bool m_isValid = true;
};

} // namespace zorv

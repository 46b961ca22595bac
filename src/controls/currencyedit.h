#pragma once

#include "controls/money.h"

#include <QLineEdit>

namespace zorv {

// The one-line field in which the user types an amount. Its value is a Currency (four
// decimals); the text always shows the committed value as "#0.00" except while the user is
// typing. Enter and leaving the field commit the typed text, Esc returns to the last
// committed value. A text that is no amount is not taken: the value stays what it was,
// IsValid() turns false, and the field keeps the text, marked as not taken, so the user
// sees that the amount shown before was not replaced and no page takes the old value for
// the one typed.
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

    // Reads the typed text (parseTypedAmount: sign, digits, decimal separator, digits, or
    // the amount grouped the Brazilian way, "1.800" being one thousand eight hundred). Read: it becomes the
    // value and the value to return to, and the text shows it. Otherwise the value is kept, IsValid() turns
    // false and the text stays, marked as not taken (unless it is empty).
    void CommitText();

    // The tooltip of a field whose text was not taken.
    static QString notTakenHint();

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
    void markTaken(bool taken);

    Currency m_value;
    Currency m_oldValue;
    bool m_isValid = true;
};

} // namespace zorv

#pragma once

#include "controls/money.h"

#include <QLineEdit>

#include <optional>

namespace zorv {

// A one-line numeric field whose value is a double: setting it writes the value with the
// pattern "%" + FormatSize + n/m/f (default %10.2n: "  1.234,50"); reading it parses the
// text after CleanNumberText. The finance code also uses hidden instances to read ledger
// amounts and to round an amount to two decimals (set the value, read it back).
class TzorvMoney : public QLineEdit
{
    Q_OBJECT

public:
    explicit TzorvMoney(QWidget *parent = nullptr);

    RealFormat FormatReal() const { return m_formatReal; }
    // Neither setter re-formats the current text; the next setValue uses them.
    void setFormatReal(RealFormat format);
    QString FormatSize() const { return m_formatSize; }
    void setFormatSize(const QString &size);

    // The text read as a number ("-" alone is zero); empty when it does not parse, so the
    // caller abandons its work.
    std::optional<double> Value() const;
    void setValue(double value);

    // Shows the typed text again in the field's format; a text that does not parse stays.
    void ReformatOnExit();

signals:
    void entered();
    void exited();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    RealFormat m_formatReal = RealFormat::Number;
    QString m_formatSize;
};

} // namespace zorv

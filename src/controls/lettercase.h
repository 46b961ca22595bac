#pragma once

#include <QString>

class QComboBox;
class QLineEdit;

namespace zorv {

enum class LetterCase { Upper, Lower };

// The text with every character turned to `letterCase` on its own: the length and every
// position stay as they were, so a letter without a one-character counterpart ("ß") is
// kept as it is.
QString inLetterCase(QStringView text, LetterCase letterCase);

// Letters typed into the field show and stay in `letterCase`: each typed character is
// turned as it arrives, so the cursor stays where it was and the field's undo keeps working;
// pasted text is turned the same way.
void keepLetterCase(QLineEdit *edit, LetterCase letterCase);
// The same for the typed text of an editable combo box, whose keys reach the box first.
void keepLetterCase(QComboBox *box, LetterCase letterCase);

} // namespace zorv

// Letter-case fields: each typed character turned on its own, the cursor and undo kept,
// pasted text turned too, and editable combo boxes whose keys reach the box first.
#include "controls/lettercase.h"
#include "typing.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

using namespace zorv;

class TestLetterCase : public QObject
{
    Q_OBJECT

private slots:
    void eachCharacterOnItsOwn_data();
    void eachCharacterOnItsOwn();
    void typedLettersKeepCursorAndUndo();
    void pastedTextIsTurned();
    void comboBoxTypedText();
};

void TestLetterCase::eachCharacterOnItsOwn_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<QString>("expected");
    QTest::newRow("accents") << "joão da silva" << true << "JOÃO DA SILVA";
    QTest::newRow("sharp s kept") << "straße" << true << "STRAßE";
    QTest::newRow("ligature kept") << "ﬁm" << true << "ﬁM";
    QTest::newRow("beyond the basic plane")
        << QString::fromUcs4(U"\U00010428x") << true << QString::fromUcs4(U"\U00010400X");
    QTest::newRow("lone surrogate kept")
        << QString(QChar(0xD801)) + "a" << true << QString(QChar(0xD801)) + "A";
    QTest::newRow("lower") << "ÁGUA@Mail.COM" << false << "água@mail.com";
    QTest::newRow("digits and signs") << "(11) 5555-1234 <1>" << true << "(11) 5555-1234 <1>";
}

void TestLetterCase::eachCharacterOnItsOwn()
{
    QFETCH(QString, text);
    QFETCH(bool, upper);
    QFETCH(QString, expected);
    QCOMPARE(inLetterCase(text, upper ? LetterCase::Upper : LetterCase::Lower), expected);
}

void TestLetterCase::typedLettersKeepCursorAndUndo()
{
    QLineEdit edit;
    keepLetterCase(&edit, LetterCase::Upper);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    typeText(&edit, "maria");
    QCOMPARE(edit.text(), QStringLiteral("MARIA"));
    // A letter typed in the middle goes where the cursor is, and the cursor moves past it.
    QTest::keyClick(&edit, Qt::Key_Left);
    QTest::keyClick(&edit, Qt::Key_Left);
    typeText(&edit, "ßç");
    QCOMPARE(edit.text(), QStringLiteral("MARßÇIA"));
    QCOMPARE(edit.cursorPosition(), 5);
    // Undo takes back the last typing, as in any field.
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit.text(), QStringLiteral("MARIA"));

    QLineEdit mail;
    keepLetterCase(&mail, LetterCase::Lower);
    typeText(&mail, "Ana@Exemplo.COM");
    QCOMPARE(mail.text(), QStringLiteral("ana@exemplo.com"));
}

void TestLetterCase::pastedTextIsTurned()
{
    QLineEdit edit;
    keepLetterCase(&edit, LetterCase::Upper);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    typeText(&edit, "ab");
    QTest::keyClick(&edit, Qt::Key_Home);
    QGuiApplication::clipboard()->setText(QStringLiteral("josé "));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.text(), QStringLiteral("JOSÉ AB"));
    QCOMPARE(edit.cursorPosition(), 5);
    // Text the program puts in is left as it is.
    edit.setText(QStringLiteral("Não informado"));
    QCOMPARE(edit.text(), QStringLiteral("Não informado"));
}

void TestLetterCase::comboBoxTypedText()
{
    QComboBox box;
    box.setEditable(true);
    keepLetterCase(&box, LetterCase::Upper);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    // Keys reach the box itself when it has the focus; the box hands them to its text.
    typeText(&box, "joão");
    QCOMPARE(box.currentText(), QStringLiteral("JOÃO"));
    typeText(box.lineEdit(), " s");
    QCOMPARE(box.currentText(), QStringLiteral("JOÃO S"));
}

QTEST_MAIN(TestLetterCase)
#include "tst_lettercase.moc"

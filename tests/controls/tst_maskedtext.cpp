#include "controls/maskedtext.h"

#include <QLineEdit>
#include <QTest>

using namespace zorv;

class TestMaskedText : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void typedDigitsReadBack();
};

void TestMaskedText::roundTrip_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("text");
    QTest::newRow("hour untouched") << "09:99:99;_"
                                    << "  :  :  ";
    QTest::newRow("hour full") << "09:99:99;_"
                               << "14:30:00";
    QTest::newRow("hour partly filled keeps places") << "09:99:99;_"
                                                     << "1 :3 :  ";
    QTest::newRow("phone untouched keeps its literal space") << "(99) 9999-9999;_"
                                                             << "(  )     -    ";
    QTest::newRow("phone full") << "(99) 9999-9999;_"
                                << "(11) 2345-6789";
}

void TestMaskedText::roundTrip()
{
    QFETCH(QString, mask);
    QFETCH(QString, text);
    QLineEdit edit;
    edit.setInputMask(mask);
    setMaskedText(edit, text);
    QCOMPARE(maskedText(edit), text);
}

void TestMaskedText::typedDigitsReadBack()
{
    QLineEdit edit;
    edit.setInputMask(QStringLiteral("(99) 9999-9999;_"));
    QCOMPARE(maskedText(edit), QStringLiteral("(  )     -    "));
    edit.setFocus();
    edit.setCursorPosition(0);
    QTest::keyClicks(&edit, QStringLiteral("1198"));
    QCOMPARE(maskedText(edit), QStringLiteral("(11) 98  -    "));
}

QTEST_MAIN(TestMaskedText)
#include "tst_maskedtext.moc"

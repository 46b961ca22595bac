#include "controls/currencyedit.h"
#include "controls/moneyedit.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace zorv;

namespace {

// A small form: the amount field "FN1", a numeric field "zorvm" and a plain field "next" to
// move the focus to, shown and active so focus changes happen for real.
struct Form
{
    QWidget window;
    TzorvCurrency *amount = nullptr;
    TzorvMoney *money = nullptr;
    QLineEdit *next = nullptr;

    Form()
    {
        auto *layout = new QVBoxLayout(&window);
        auto *a = new TzorvCurrency;
        a->setObjectName(QStringLiteral("FN1"));
        auto *m = new TzorvMoney;
        m->setObjectName(QStringLiteral("zorvm"));
        auto *n = new QLineEdit;
        n->setObjectName(QStringLiteral("next"));
        layout->addWidget(a);
        layout->addWidget(m);
        layout->addWidget(n);
        window.show();
        amount = window.findChild<TzorvCurrency *>(QStringLiteral("FN1"));
        money = window.findChild<TzorvMoney *>(QStringLiteral("zorvm"));
        next = window.findChild<QLineEdit *>(QStringLiteral("next"));
    }

    bool activate() { return QTest::qWaitForWindowActive(&window); }

    // Focus into `w` and empty it, as a user would before typing.
    void focusAndClear(QLineEdit *w)
    {
        w->setFocus(Qt::TabFocusReason);
        w->clear();
    }
    void leave() { next->setFocus(Qt::TabFocusReason); }
};

enum Finish { Nothing, Enter, Escape, Leave };

} // namespace

Q_DECLARE_METATYPE(Finish)

class TestCurrencyControls : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void currencyStartsAtZero();
    void currencyTyping_data();
    void currencyTyping();
    void currencyEscRestoresAfterSeveralKeys();
    void currencyLongTextAcceptsOnlyBackspace();
    void currencyRejectsOutOfRangeText();
    void currencySetValueCommits();
    void currencyFocusOrder();
    void currencyIgnoresWindowDeactivation();

    void moneyStartsFormatted();
    void moneyValue_data();
    void moneyValue();
    void moneySetValueUsesPattern_data();
    void moneySetValueUsesPattern();
    void moneyTyping_data();
    void moneyTyping();
    void moneyReformatsOnExit_data();
    void moneyReformatsOnExit();

private:
    std::unique_ptr<Form> m_form;
};

void TestCurrencyControls::init()
{
    m_form = std::make_unique<Form>();
    QVERIFY(m_form->activate());
}

void TestCurrencyControls::cleanup()
{
    m_form.reset();
}

void TestCurrencyControls::currencyStartsAtZero()
{
    TzorvCurrency field;
    QCOMPARE(field.text(), QStringLiteral("0,00"));
    QCOMPARE(field.Value(), Currency());
    QVERIFY(field.IsValid());
    QCOMPARE(field.size(), QSize(120, 21));
}

void TestCurrencyControls::currencyTyping_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("typed"); // on screen before the finishing key
    QTest::addColumn<Finish>("finish");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<qint64>("raw");
    QTest::addColumn<bool>("valid");
    // The field starts at 7,00 (raw 70000) in every row.
    QTest::newRow("whole amount") << "1500"
                                  << "1500" << Enter << "1500,00" << qint64(15000000) << true;
    // A point followed by one or two digits is the decimal comma; it shows as typed until
    // the commit.
    QTest::newRow("point as decimal comma") << "10.9"
                                            << "10.9" << Enter << "10,90" << qint64(109000) << true;
    QTest::newRow("four decimals kept") << "1,005"
                                        << "1,005" << Enter << "1,01" << qint64(10050) << true;
    QTest::newRow("negative") << "-3,5"
                              << "-3,5" << Enter << "-3,50" << qint64(-35000) << true;
    QTest::newRow("plus sign") << "+8"
                               << "+8" << Leave << "8,00" << qint64(80000) << true;
    QTest::newRow("half cent on screen") << "0,025"
                                         << "0,025" << Enter << "0,03" << qint64(250) << true;
    QTest::newRow("half to even when stored") << "0,00005"
                                              << "0,00005" << Leave << "0,00" << qint64(0) << true;
    QTest::newRow("letters and spaces dropped") << "1a2 b,x5"
                                                << "12,5" << Enter << "12,50" << qint64(125000) << true;
    QTest::newRow("leaving commits") << "42"
                                     << "42" << Leave << "42,00" << qint64(420000) << true;
    // A text that is no amount stays on screen, not taken; the value stays 7,00.
    QTest::newRow("empty on leaving") << ""
                                      << "" << Leave << "" << qint64(70000) << false;
    QTest::newRow("sign alone") << "-"
                                << "-" << Enter << "-" << qint64(70000) << false;
    // The thousands point groups digits in threes, before the decimals or without them.
    QTest::newRow("thousands point") << "1.234,56"
                                     << "1.234,56" << Enter << "1234,56" << qint64(12345600) << true;
    QTest::newRow("thousands point, one decimal")
        << "1.234,5"
        << "1.234,5" << Enter << "1234,50" << qint64(12345000) << true;
    QTest::newRow("millions, committed by leaving")
        << "12.345.678,90"
        << "12.345.678,90" << Leave << "12345678,90" << qint64(123456789000) << true;
    QTest::newRow("negative grouped") << "-1.234,56"
                                      << "-1.234,56" << Enter << "-1234,56" << qint64(-12345600) << true;
    QTest::newRow("thousands without decimals") << "1.800"
                                                << "1.800" << Enter << "1800,00" << qint64(18000000) << true;
    QTest::newRow("millions without decimals")
        << "1.250.000"
        << "1.250.000" << Leave << "1250000,00" << qint64(12500000000) << true;
    QTest::newRow("comma and three digits stays decimal")
        << "1,800"
        << "1,800" << Enter << "1,80" << qint64(18000) << true;
    QTest::newRow("group of two is no amount") << "12.34,56"
                                               << "12.34,56" << Enter << "12.34,56" << qint64(70000) << false;
    QTest::newRow("esc") << "987"
                         << "987" << Escape << "7,00" << qint64(70000) << true;
    QTest::newRow("not finished") << "55"
                                  << "55" << Nothing << "55" << qint64(70000) << true;
}

void TestCurrencyControls::currencyTyping()
{
    QFETCH(QString, keys);
    QFETCH(QString, typed);
    QFETCH(Finish, finish);
    QFETCH(QString, shown);
    QFETCH(qint64, raw);
    QFETCH(bool, valid);

    TzorvCurrency *field = m_form->amount;
    field->setValue(Currency::fromRaw(70000));
    m_form->focusAndClear(field);
    QTest::keyClicks(field, keys);
    QCOMPARE(field->text(), typed);
    switch (finish) {
    case Enter:
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(field->selectedText(), shown);
        break;
    case Escape:
        QTest::keyClick(field, Qt::Key_Escape);
        QCOMPARE(field->selectedText(), shown);
        break;
    case Leave:
        m_form->leave();
        QVERIFY(!field->hasFocus());
        break;
    case Nothing:
        break;
    }
    QCOMPARE(field->text(), shown);
    QCOMPARE(field->Value().raw(), raw);
    QCOMPARE(field->IsValid(), valid);
    // A text not taken is marked as such, in the field's colour and its tooltip.
    const bool marked = !valid && !shown.isEmpty();
    QCOMPARE(!field->toolTip().isEmpty(), marked);
    QCOMPARE(field->palette().color(QPalette::Base) != m_form->next->palette().color(QPalette::Base), marked);
    // The mark goes with the next amount taken.
    field->setFocus(Qt::TabFocusReason);
    field->clear();
    QTest::keyClicks(field, QStringLiteral("3"));
    QTest::keyClick(field, Qt::Key_Return);
    QVERIFY(field->IsValid());
    QVERIFY(field->toolTip().isEmpty());
    QCOMPARE(field->palette().color(QPalette::Base), m_form->next->palette().color(QPalette::Base));
}

void TestCurrencyControls::currencyEscRestoresAfterSeveralKeys()
{
    TzorvCurrency *field = m_form->amount;
    m_form->focusAndClear(field);
    QTest::keyClicks(field, QStringLiteral("25,5"));
    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClicks(field, QStringLiteral("9"));
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, QStringLiteral("31,75"));
    QTest::keyClick(field, Qt::Key_Escape);
    QCOMPARE(field->text(), QStringLiteral("25,50"));
    QCOMPARE(field->Value().raw(), qint64(255000));
    // After a failed commit Esc goes back to the last good value too.
    QTest::keyClicks(field, QStringLiteral("-"));
    QTest::keyClick(field, Qt::Key_Return);
    QVERIFY(!field->IsValid());
    QTest::keyClicks(field, QStringLiteral("1"));
    QTest::keyClick(field, Qt::Key_Escape);
    QCOMPARE(field->text(), QStringLiteral("25,50"));
}

void TestCurrencyControls::currencyLongTextAcceptsOnlyBackspace()
{
    TzorvCurrency *field = m_form->amount;
    field->setValue(Currency::fromRaw(10000));
    m_form->focusAndClear(field);
    QTest::keyClicks(field, QStringLiteral("123456789012345"));
    QCOMPARE(field->text(), QStringLiteral("1234567890123")); // the 13th character still got in
    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClick(field, Qt::Key_Escape);
    QCOMPARE(field->text(), QStringLiteral("1234567890123"));
    QCOMPARE(field->Value().raw(), qint64(10000));
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(field->text(), QStringLiteral("123456789012,00"));
    QCOMPARE(field->Value().raw(), qint64(1234567890120000));
    // Leaving commits whatever the length.
    m_form->focusAndClear(field);
    QTest::keyClicks(field, QStringLiteral("9999999999999"));
    m_form->leave();
    QCOMPARE(field->text(), QStringLiteral("9999999999999,00"));
}

void TestCurrencyControls::currencyRejectsOutOfRangeText()
{
    TzorvCurrency *field = m_form->amount;
    field->setValue(Currency::fromRaw(30000));
    field->setText(QStringLiteral("922337203685478"));
    field->CommitText();
    QCOMPARE(field->text(), QStringLiteral("922337203685478"));
    QCOMPARE(field->Value().raw(), qint64(30000));
    QVERIFY(!field->IsValid());
    field->setText(QStringLiteral("-922337203685477,5808"));
    field->CommitText();
    QVERIFY(field->IsValid());
    QCOMPARE(field->text(), QStringLiteral("-922337203685477,58"));
}

void TestCurrencyControls::currencySetValueCommits()
{
    TzorvCurrency *field = m_form->amount;
    m_form->focusAndClear(field);
    QTest::keyClick(field, Qt::Key_Return);
    QVERIFY(!field->IsValid());
    field->setValue(Currency::fromRaw(12345000));
    QCOMPARE(field->text(), QStringLiteral("1234,50"));
    QVERIFY(field->IsValid());
    QTest::keyClicks(field, QStringLiteral("1"));
    QTest::keyClick(field, Qt::Key_Escape);
    QCOMPARE(field->text(), QStringLiteral("1234,50"));
    field->setValue(Currency::fromRaw(-49));
    QCOMPARE(field->text(), QStringLiteral("0,00"));
    QCOMPARE(field->Value().raw(), qint64(-49));
}

// A page empties the field when it gets focus and reads the value when it loses it: the
// enter signal comes before the selection, the exit signal after the commit.
void TestCurrencyControls::currencyFocusOrder()
{
    TzorvCurrency *field = m_form->amount;
    field->setValue(Currency::fromRaw(50000));
    m_form->next->setFocus(Qt::TabFocusReason);
    bool selectedOnEnter = true;
    connect(field, &TzorvCurrency::entered, this, [&] {
        selectedOnEnter = field->hasSelectedText();
        field->clear();
    });
    qint64 valueOnExit = 0;
    connect(field, &TzorvCurrency::exited, this, [&] { valueOnExit = field->Value().raw(); });

    field->setFocus(Qt::OtherFocusReason);
    QVERIFY(!selectedOnEnter);
    QCOMPARE(field->text(), QString());
    QCOMPARE(field->Value().raw(), qint64(50000));
    QTest::keyClicks(field, QStringLiteral("6"));
    m_form->leave();
    QCOMPARE(valueOnExit, qint64(60000));

    // Without a page emptying it, focus selects the whole committed text.
    field->disconnect(this);
    field->setFocus(Qt::OtherFocusReason);
    QCOMPARE(field->selectedText(), QStringLiteral("6,00"));
}

// Switching to another window is not leaving the field: typed text stays uncommitted.
void TestCurrencyControls::currencyIgnoresWindowDeactivation()
{
    TzorvCurrency *field = m_form->amount;
    m_form->focusAndClear(field);
    QTest::keyClicks(field, QStringLiteral("12"));
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(field, &out);
    QCOMPARE(field->text(), QStringLiteral("12"));
    QCOMPARE(field->Value().raw(), qint64(0));
}

void TestCurrencyControls::moneyStartsFormatted()
{
    TzorvMoney field;
    QCOMPARE(field.text(), QStringLiteral("0,00"));
    QCOMPARE(field.FormatSize(), QStringLiteral("10.2"));
    QCOMPARE(field.FormatReal(), RealFormat::Number);
    QCOMPARE(field.Value(), std::optional<double>(0.0));
    QCOMPARE(field.size(), QSize(121, 21));
}

void TestCurrencyControls::moneyValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("parses");
    QTest::addColumn<double>("value");
    QTest::newRow("padded") << "  1.234,50" << true << 1234.5;
    QTest::newRow("currency string") << "R$ 1.234,50" << true << 1234.5;
    QTest::newRow("minus alone") << "-" << true << 0.0;
    QTest::newRow("negative") << "-0,5" << true << -0.5;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("words") << "abc" << false << 0.0;
}

void TestCurrencyControls::moneyValue()
{
    QFETCH(QString, text);
    QFETCH(bool, parses);
    QFETCH(double, value);
    m_form->money->setText(text);
    const auto read = m_form->money->Value();
    QCOMPARE(read.has_value(), parses);
    if (parses)
        QCOMPARE(*read, value);
}

void TestCurrencyControls::moneySetValueUsesPattern_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("size");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("readBack");
    QTest::newRow("rounds for the finance code")
        << int(RealFormat::Number) << "10.2" << 1234.567 << "  1.234,57" << 1234.57;
    QTest::newRow("negative half") << int(RealFormat::Number) << "10.2" << -2.675 << "     -2,68" << -2.68;
    QTest::newRow("money") << int(RealFormat::Money) << "10.2" << 1234.5 << "R$ 1.234,50" << 1234.5;
    QTest::newRow("fixed") << int(RealFormat::Fixed) << "12.3" << 1234.5 << "    1234,500" << 1234.5;
}

void TestCurrencyControls::moneySetValueUsesPattern()
{
    QFETCH(int, style);
    QFETCH(QString, size);
    QFETCH(double, value);
    QFETCH(QString, text);
    QFETCH(double, readBack);
    TzorvMoney *field = m_form->money;
    field->setFormatReal(RealFormat(style));
    field->setFormatSize(size);
    QCOMPARE(field->text(), QStringLiteral("0,00")); // changing the format re-formats nothing
    field->setValue(value);
    QCOMPARE(field->text(), text);
    QCOMPARE(field->Value(), std::optional<double>(readBack));
}

void TestCurrencyControls::moneyTyping_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::newRow("point becomes comma") << "12.5"
                                         << "12,5";
    QTest::newRow("second separator ignored") << "1,2,3"
                                              << "1,23";
    QTest::newRow("minus after digits ignored") << "12-3"
                                                << "123";
    QTest::newRow("minus first") << "-12"
                                 << "-12";
    QTest::newRow("others dropped") << "a1 +b"
                                    << "1";
}

void TestCurrencyControls::moneyTyping()
{
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    TzorvMoney *field = m_form->money;
    m_form->focusAndClear(field);
    QTest::keyClicks(field, keys);
    QCOMPARE(field->text(), shown);
}

void TestCurrencyControls::moneyReformatsOnExit_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::newRow("typed number") << "1234,5"
                                  << "  1.234,50";
    QTest::newRow("minus alone") << "-"
                                 << "      0,00";
    QTest::newRow("nothing typed stays empty") << ""
                                               << "";
}

void TestCurrencyControls::moneyReformatsOnExit()
{
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    TzorvMoney *field = m_form->money;
    m_form->focusAndClear(field);
    QTest::keyClicks(field, keys);
    m_form->leave();
    QCOMPARE(field->text(), shown);
    // Coming back selects everything, so a "-" now replaces the whole text.
    field->setFocus(Qt::OtherFocusReason);
    QCOMPARE(field->selectedText(), shown);
    if (!shown.isEmpty()) {
        QTest::keyClicks(field, QStringLiteral("-"));
        QCOMPARE(field->text(), QStringLiteral("-"));
    }
}

QTEST_MAIN(TestCurrencyControls)
#include "tst_currencycontrols.moc"

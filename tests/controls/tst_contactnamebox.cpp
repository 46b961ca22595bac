// The contact name box: rebuilt before its list drops down and when the focus arrives from
// another field, not when it comes back from its own list or with the window; a rebuild
// clears the typed text; nothing typed is completed into another name.
#include "controls/contactnamebox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace zorv;

namespace {

struct Form
{
    QWidget window;
    QLineEdit *other = new QLineEdit(&window);
    ContactNameBox *box = new ContactNameBox(&window);
    QStringList names{"ANA", "MARIA"};
    int reads = 0;

    Form()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(other);
        layout->addWidget(box);
        box->setNameSource([this] {
            ++reads;
            return names;
        });
    }

    bool open()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        other->setFocus();
        return other->hasFocus();
    }

    QStringList items() const
    {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    }
};

} // namespace

class TestContactNameBox : public QObject
{
    Q_OBJECT

private slots:
    void rebuiltBeforeItsListDropsDown();
    void focusFromAnotherFieldRebuilds();
    void noRebuildBackFromItsListOrWithTheWindow();
    void typedTextIsNeverCompleted();
};

void TestContactNameBox::rebuiltBeforeItsListDropsDown()
{
    Form f;
    f.box->setRebuildOnFocusEntry(false);
    QVERIFY(f.open());
    f.box->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(f.box, "JO");
    QCOMPARE(f.reads, 0);
    QCOMPARE(f.box->currentText(), QStringLiteral("JO"));

    f.names << "BRUNO";
    QTest::keyClick(f.box, Qt::Key_F4); // drops the list down
    QTRY_VERIFY(f.box->view()->isVisible());
    QCOMPARE(f.reads, 1);
    QCOMPARE(f.items(), (QStringList{"ANA", "MARIA", "BRUNO"}));
    // The typed name is gone, and nothing is chosen.
    QCOMPARE(f.box->currentText(), QString());
    QCOMPARE(f.box->currentIndex(), -1);

    // A click on a name chooses it.
    QAbstractItemView *view = f.box->view();
    const QRect maria = view->visualRect(view->model()->index(1, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, maria.center());
    QTRY_VERIFY(!view->isVisible());
    QCOMPARE(f.box->currentText(), QStringLiteral("MARIA"));
}

void TestContactNameBox::focusFromAnotherFieldRebuilds()
{
    Form f;
    QVERIFY(f.open());
    QSignalSpy rebuilt(f.box, &ContactNameBox::rebuilt);
    QTest::keyClick(f.other, Qt::Key_Tab);
    QVERIFY(f.box->hasFocus());
    QCOMPARE(rebuilt.size(), 1);
    QCOMPARE(f.items(), (QStringList{"ANA", "MARIA"}));
    QTest::keyClicks(f.box, "PEDRO");

    // Away and back again: read afresh, the typed name cleared.
    QTest::keyClick(f.box, Qt::Key_Backtab);
    QVERIFY(f.other->hasFocus());
    f.names = {"PEDRO"};
    QTest::mouseClick(f.box->lineEdit(), Qt::LeftButton);
    QVERIFY(f.box->hasFocus());
    QCOMPARE(rebuilt.size(), 2);
    QCOMPARE(f.items(), QStringList{"PEDRO"});
    QCOMPARE(f.box->currentText(), QString());

    // Switched off, arriving keeps what the box holds.
    f.box->setEditText(QStringLiteral("ANA"));
    f.box->setRebuildOnFocusEntry(false);
    f.other->setFocus(Qt::TabFocusReason);
    f.box->setFocus(Qt::TabFocusReason);
    QCOMPARE(rebuilt.size(), 2);
    QCOMPARE(f.box->currentText(), QStringLiteral("ANA"));
}

void TestContactNameBox::noRebuildBackFromItsListOrWithTheWindow()
{
    Form f;
    QVERIFY(f.open());
    f.box->setFocus(Qt::TabFocusReason);
    QSignalSpy rebuilt(f.box, &ContactNameBox::rebuilt);

    // The list opens (one rebuild) and closes with Escape: the focus comes back from it.
    f.box->showPopup();
    QTRY_VERIFY(f.box->view()->isVisible());
    QCOMPARE(rebuilt.size(), 1);
    QTest::keyClick(f.box->view(), Qt::Key_Escape);
    QTRY_VERIFY(!f.box->view()->isVisible());
    QTest::keyClicks(f.box, "ANA");
    QVERIFY(f.box->hasFocus());
    QCOMPARE(rebuilt.size(), 1);

    // The window losing and regaining activation keeps the typed text.
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(f.box, &out);
    QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(f.box, &in);
    QCOMPARE(rebuilt.size(), 1);
    QCOMPARE(f.box->currentText(), QStringLiteral("ANA"));
}

void TestContactNameBox::typedTextIsNeverCompleted()
{
    Form f;
    QVERIFY(f.open());
    QTest::keyClick(f.other, Qt::Key_Tab);
    // "MAR" is the start of an item, "ANA" one whole: neither is completed nor chosen.
    QTest::keyClicks(f.box, "MAR");
    QCOMPARE(f.box->currentText(), QStringLiteral("MAR"));
    QCOMPARE(f.box->lineEdit()->selectedText(), QString());
    QTest::keyClick(f.box, Qt::Key_Return);
    QCOMPARE(f.box->count(), 2);
    QCOMPARE(f.box->currentText(), QStringLiteral("MAR"));
    QCOMPARE(f.box->currentIndex(), -1);
}

QTEST_MAIN(TestContactNameBox)
#include "tst_contactnamebox.moc"

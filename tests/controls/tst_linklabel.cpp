#include "controls/linklabel.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace zorv;

class TestLinkLabel : public QObject
{
    Q_OBJECT

private slots:
    void windowsColourValues();
    void hoverColours_data();
    void hoverColours();
    void clicks();
    void keyboard();
};

void TestLinkLabel::windowsColourValues()
{
    QCOMPARE(QColor(LinkLabel::kHoverBlue), QColor(0, 128, 192));
    QCOMPARE(QColor(LinkLabel::kSilver), QColor(192, 192, 192));
    QCOMPARE(QColor(LinkLabel::kGreen), QColor(0, 128, 0));
}

void TestLinkLabel::hoverColours_data()
{
    QTest::addColumn<QColor>("normal");
    QTest::newRow("silver") << QColor(LinkLabel::kSilver);
    QTest::newRow("green") << QColor(LinkLabel::kGreen);
}

void TestLinkLabel::hoverColours()
{
    QFETCH(QColor, normal);
    LinkLabel label(QStringLiteral("Excluir"), nullptr, normal);
    auto shown = [&] { return label.palette().color(QPalette::WindowText); };
    QCOMPARE(shown(), normal);
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(&label, &enter);
    QCOMPARE(shown(), QColor(0, 128, 192));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&label, &leave);
    QCOMPARE(shown(), normal);
}

void TestLinkLabel::clicks()
{
    LinkLabel label(QStringLiteral("Atualizar"));
    label.setObjectName(QStringLiteral("Label30"));
    label.resize(120, 20);
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    QSignalSpy spy(&label, &LinkLabel::clicked);
    QTest::mouseClick(&label, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QTest::mouseClick(&label, Qt::RightButton);
    QCOMPARE(spy.count(), 1);
    // Pressed on the label but released elsewhere is no click.
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(500, 5));
    QCOMPARE(spy.count(), 1);
}

// Links take the focus with Tab after every field of their window, whatever the order they
// were made in; a click leaves the focus where it was; a focused link shows a ring and
// acts on Enter or Space.
void TestLinkLabel::keyboard()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *first = new QLineEdit(&window);
    auto *save = new LinkLabel(QStringLiteral("Save"), &window);
    auto *second = new QLineEdit(&window);
    auto *apply = new LinkLabel(QStringLiteral("Apply"), &window);
    auto *third = new QLineEdit(&window);
    for (QWidget *w :
         {static_cast<QWidget *>(first), static_cast<QWidget *>(save), static_cast<QWidget *>(second),
          static_cast<QWidget *>(apply), static_cast<QWidget *>(third)})
        layout->addWidget(w);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    first->setFocus();

    QList<QWidget *> order;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget();
    }
    QCOMPARE(order, (QList<QWidget *>{second, third, save, apply, first}));

    QSignalSpy saved(save, &LinkLabel::clicked);
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(saved.count(), 1);
    QVERIFY(first->hasFocus());

    const QImage plain = save->grab().toImage();
    save->setFocus(Qt::TabFocusReason);
    QVERIFY(save->grab().toImage() != plain);
    QTest::keyClick(save, Qt::Key_Return);
    QTest::keyClick(save, Qt::Key_Enter);
    QTest::keyClick(save, Qt::Key_Space);
    QTest::keyClick(save, Qt::Key_X);
    QCOMPARE(saved.count(), 4);
    first->setFocus();
    QCOMPARE(save->grab().toImage(), plain);
}

QTEST_MAIN(TestLinkLabel)
#include "tst_linklabel.moc"

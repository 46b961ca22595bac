#include "controls/linklabel.h"

#include <QSignalSpy>
#include <QTest>

using namespace zorv;

class TestLinkLabel : public QObject
{
    Q_OBJECT

private slots:
    void windowsColourValues();
    void hoverColours_data();
    void hoverColours();
    void clicks();
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

QTEST_MAIN(TestLinkLabel)
#include "tst_linklabel.moc"

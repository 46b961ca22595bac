// Every page of the suite window in full-suite mode at the common screen sizes: no control
// clipped by the window or lying over another. With ZORV_SCREENSHOTS set to a folder, each
// page is also saved there as a picture ("<width>x<height>-page<index>.png") to be looked at.
#include "fullsuite.h"
#include "layoutcheck.h"

#include <QDir>
#include <QLayout>
#include <QPixmap>
#include <QtTest>

using namespace zorv;

class TestFullSuiteLayout : public QObject
{
    Q_OBJECT

private slots:
    void pagesFitTheScreen_data();
    void pagesFitTheScreen();
};

void TestFullSuiteLayout::pagesFitTheScreen_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::newRow("1024x768") << QSize(1024, 768);
    QTest::newRow("1280x800") << QSize(1280, 800);
    QTest::newRow("1920x1080") << QSize(1920, 1080);
}

void TestFullSuiteLayout::pagesFitTheScreen()
{
    QFETCH(QSize, screen);
    FullSuite s;
    QVERIFY(s.start());
    SuiteWindow &tats = s.tats();
    tats.setGeometry(QRect(QPoint(0, 0), screen));
    QApplication::processEvents();

    LayoutCheck check;
    // The progress image grows over its background as a track plays.
    check.allowOverlap(QStringLiteral("gg"), QStringLiteral("gg2"));

    const QString shots = qEnvironmentVariable("ZORV_SCREENSHOTS");
    QStringList faults;
    for (int page : FullSuite::barOrder) {
        tats.selectPage(page);
        QApplication::processEvents();
        QCOMPARE(tats.size(), screen);
        QWidget *sheet = tats.sheet(page);
        QVERIFY(sheet->isVisible());
        for (const QString &fault : check.faults(sheet))
            faults << QStringLiteral("page %1: %2").arg(page).arg(fault);
        // The window's own frame around the page: header, content panel, bottom bar.
        if (page == SuiteWindow::financePage) {
            for (const QString &fault : check.faults(tats.Panel10))
                faults << QStringLiteral("bottom bar: %1").arg(fault);
        }
        if (!shots.isEmpty()) {
            QDir().mkpath(shots);
            tats.grab().save(QStringLiteral("%1/%2x%3-page%4.png")
                                 .arg(shots)
                                 .arg(screen.width())
                                 .arg(screen.height())
                                 .arg(page, 2, 10, QLatin1Char('0')));
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestFullSuiteLayout)
#include "tst_fullsuitelayout.moc"

// Every page of the suite window in full-suite mode at the common screen sizes: no control
// clipped by the window or lying over another. With ZORV_SCREENSHOTS set to a folder, each
// page is also saved there as a picture ("<width>x<height>-page<index>.png") to be looked at.
#include "app/pagebar.h"
#include "fullsuitefixture.h"
#include "layoutcheck.h"

#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QPixmap>
#include <QtTest>

using namespace zorv;

class TestFullSuiteLayout : public QObject
{
    Q_OBJECT

private slots:
    void checkFindsClippedAndOverlappingControls();
    void pagesFitTheScreen_data();
    void pagesFitTheScreen();
};

// The check itself, on a page made to fail it: a field pushed past the window's edge, two
// links on one another, and a progress image on its background that is allowed.
void TestFullSuiteLayout::checkFindsClippedAndOverlappingControls()
{
    QWidget window;
    window.resize(300, 200);
    auto *page = new QWidget(&window);
    page->setObjectName(QStringLiteral("page"));
    page->setGeometry(0, 0, 400, 200); // wider than the window shows
    auto place = [page](const char *name, const QRect &at) {
        auto *w = new QLabel(QString::fromLatin1(name), page);
        w->setObjectName(QLatin1String(name));
        w->setGeometry(at);
    };
    place("inside", QRect(10, 10, 50, 20));
    place("clipped", QRect(280, 10, 50, 20));
    place("a", QRect(10, 50, 50, 20));
    place("b", QRect(40, 60, 50, 20));
    place("gg2", QRect(10, 100, 100, 10));
    place("gg", QRect(10, 100, 40, 10));
    auto *hidden = new QLabel(page);
    hidden->setGeometry(500, 500, 10, 10);
    hidden->hide();
    window.show();

    LayoutCheck check;
    check.allowOverlap(QStringLiteral("gg"), QStringLiteral("gg2"));
    const QStringList faults = check.faults(page);
    QCOMPARE(faults.size(), 2);
    QVERIFY2(faults[0].startsWith(QStringLiteral("outside: clipped ")), qPrintable(faults[0]));
    QVERIFY2(faults[1].startsWith(QStringLiteral("overlap: a ")) &&
                 faults[1].contains(QStringLiteral(" and b ")),
             qPrintable(faults[1]));
}

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
    SuiteOnKeys s;
    QVERIFY(s.start());
    SuiteWindow &tats = s.tats();
    tats.setGeometry(QRect(QPoint(0, 0), screen));
    // The strip over the pages is as wide as the screen, set when the window is made; the
    // test's screen is of another size, so the strip follows the one tried here.
    tats.PNN->resize(screen.width(), tats.PNN->height());
    QApplication::processEvents();

    LayoutCheck check;
    // The progress image grows over its background as a track plays.
    check.allowOverlap(QStringLiteral("gg"), QStringLiteral("gg2"));

    const QString shots = qEnvironmentVariable("ZORV_SCREENSHOTS");
    QStringList faults;
    for (int page : SuiteOnKeys::barOrder) {
        tats.selectPage(page);
        QApplication::processEvents();
        QCOMPARE(tats.size(), screen);
        QWidget *sheet = tats.sheet(page);
        QVERIFY(sheet->isVisible());
        for (const QString &fault : check.faults(sheet))
            faults << QStringLiteral("page %1: %2").arg(page).arg(fault);
        // Every page button reads whole, in its full or its short caption.
        for (const PageBarEntry &entry : pageBarEntries()) {
            const QString shown = tats.pageBar->button(entry.page)->shownText();
            if (shown != entry.caption && shown != entry.shortCaption)
                faults << QStringLiteral("page %1: the bar shows \"%2\" for \"%3\"")
                              .arg(page)
                              .arg(shown, entry.caption);
        }
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

// The slide show on the audio page: choosing the folder, the loop over its pictures, bad
// pictures, pause and stop, the indicator, decoding at the picture area's size.
#include "media/slideshow.h"

#include "controls/linklabel.h"
#include "media/audiopage.h"
#include "media/folderlisting.h"
#include "platform/fakes.h"
#include "tempdatafolder.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QtTest>

#include <memory>

using namespace zorv;

namespace {

enum class Colour { None, Red, Green, Blue, Other };

Colour colourOf(const QLabel *picture)
{
    const QPixmap pixmap = picture->pixmap();
    if (pixmap.isNull())
        return Colour::None;
    const QColor c = pixmap.toImage().pixelColor(pixmap.width() / 2, pixmap.height() / 2);
    if (c.red() > 200 && c.green() < 60 && c.blue() < 60)
        return Colour::Red;
    if (c.green() > 200 && c.red() < 60 && c.blue() < 60)
        return Colour::Green;
    if (c.blue() > 200 && c.red() < 60 && c.green() < 60)
        return Colour::Blue;
    return Colour::Other;
}

struct Fixture
{
    TempDataFolder data;
    FakeServices fake;
    std::unique_ptr<AudioPage> page;

    // A folder beside "dados" holding copies of fixtures under the given names.
    QString folder(const QList<std::pair<QString, QString>> &copies,
                   const QString &name = QStringLiteral("Imagens"))
    {
        const QString dir = data.root() + QLatin1Char('/') + name;
        QDir().mkpath(dir);
        for (const auto &[fixture, as] : copies)
            QFile::copy(QStringLiteral(ZORV_TEST_DATA "/") + fixture, dir + QLatin1Char('/') + as);
        return dir;
    }
    SlideShow &make()
    {
        page = std::make_unique<AudioPage>(data.paths(), fake);
        page->resize(400, 300);
        page->show();
        if (!QTest::qWaitForWindowExposed(page.get()))
            qWarning("the page was not exposed");
        return *page->slides;
    }
    // The show with `dir` remembered in "dados\Slide.list" and restored as a show does.
    SlideShow &withFolder(const QString &dir)
    {
        data.write("dados/Slide.list", dir.toUtf8() + "/\r\n");
        SlideShow &s = make();
        s.LoadSlides();
        return s;
    }
};

const QList<std::pair<QString, QString>> kThree = {
    {"vermelho.png", "1.png"}, {"verde.bmp", "2.BMP"}, {"azul.jpg", "3.jpg"}};

} // namespace

class TestSlideShow : public QObject
{
    Q_OBJECT

private slots:
    void controlsAsLaidOut();
    void chooseFolder_data();
    void chooseFolder();
    void threePicturesLoop();
    void onePictureRepeats();
    void emptyOrMissingFolderShowsNothing_data();
    void emptyOrMissingFolderShowsNothing();
    void badPicturesKeepThePrevious_data();
    void badPicturesKeepThePrevious();
    void pauseOnlyWhileRunningAndStopRestoresList();
    void indicatorColours();
    void largePictureDecodedAtAreaSize();
};

void TestSlideShow::controlsAsLaidOut()
{
    Fixture f;
    SlideShow &s = f.make();
    AudioPage &page = *f.page;
    QCOMPARE(page.findChild<LinkLabel *>("atv")->text(), QStringLiteral("Imagens para slide show"));
    QCOMPARE(page.findChild<LinkLabel *>("ATVS")->text(), QStringLiteral("Ativar slide show"));
    QCOMPARE(page.findChild<LinkLabel *>("atv1")->text(), QStringLiteral("Pausar slide"));
    for (const char *name : {"atv", "ATVS", "atv1", "PB", "FT", "q10", "fl1"})
        QVERIFY2(page.findChild<QWidget *>(name) && page.findChild<QWidget *>(name)->isHidden(), name);
    QCOMPARE(s.fl1->mask(), QStringLiteral("*.jpg;*.png;*.tiff;*.bmp"));
    QCOMPARE(s.q10->width(), 1);
    QVERIFY(s.FT->hasScaledContents());
    QCOMPARE(s.TMS.interval(), 3000);
    QVERIFY(!s.TMS.isActive());
    QVERIFY(page.lowerPanel->isAncestorOf(s.FT));
}

void TestSlideShow::chooseFolder_data()
{
    QTest::addColumn<QString>("folderName");
    QTest::addColumn<QString>("chosen"); // empty: cancelled
    QTest::addColumn<bool>("utf8");

    QTest::newRow("cancelled") << "Imagens" << QString() << false;
    QTest::newRow("no extension") << "Imagens"
                                  << "LEIAME" << false;
    QTest::newRow("a picture") << "F\u00e9rias"
                               << "2.BMP" << false;
    QTest::newRow("folder outside Windows-1252") << "F\u00e9rias \u2600"
                                                 << "1.png" << true;
}

void TestSlideShow::chooseFolder()
{
    QFETCH(QString, folderName);
    QFETCH(QString, chosen);
    QFETCH(bool, utf8);

    Fixture f;
    const QString dir = f.folder(kThree, folderName);
    SlideShow &s = f.make();
    if (!chosen.isEmpty())
        f.fake.dialogs.files << dir + QLatin1Char('/') + chosen;
    s.atvClick();
    QCOMPARE(f.fake.dialogs.shown.last().filter, QStringLiteral("Media (*.jpg *.png *.tiff *.bmp)"));
    if (chosen.isEmpty() || !chosen.contains(QLatin1Char('.'))) {
        QVERIFY(!QFile::exists(f.data.file("dados/Slide.list")));
        QCOMPARE(s.fl1->count(), 0);
        return;
    }
    QCOMPARE(s.fl1->names(), QStringList({"1.png", "2.BMP", "3.jpg"}));
    const QString line = QDir::toNativeSeparators(dir) + QDir::separator();
    QCOMPARE(f.data.read("dados/Slide.list"),
             utf8 ? QByteArray("\xEF\xBB\xBF") + line.toUtf8() + "\r\n" : line.toLatin1() + "\r\n");
    // The next show restores it.
    AudioPage again(f.data.paths(), f.fake);
    again.slides->LoadSlides();
    QCOMPARE(again.slides->fl1->directory(), line);
    QCOMPARE(again.slides->fl1->count(), 3);
}

void TestSlideShow::threePicturesLoop()
{
    Fixture f;
    SlideShow &s = f.withFolder(f.folder(kThree));
    s.ATVSClick();
    QVERIFY(!s.FT->isHidden());
    QVERIFY(!s.q10->isHidden());
    QVERIFY(f.page->FL2->isHidden());
    QVERIFY(s.TMS.isActive());
    QCOMPARE(s.ATVS->text(), QStringLiteral("Parar slide show"));
    QCOMPARE(colourOf(s.FT), Colour::Red);
    QList<Colour> shown;
    for (int i = 0; i < 4; ++i) {
        s.TMSTimer();
        shown << colourOf(s.FT);
    }
    QCOMPARE(shown, (QList<Colour>{Colour::Green, Colour::Blue, Colour::Red, Colour::Green}));
    QCOMPARE(s.fl1->currentRow(), 1);

    // Starting again begins with the first picture.
    s.ATVSClick();
    s.ATVSClick();
    QCOMPARE(colourOf(s.FT), Colour::Red);
    QCOMPARE(s.fl1->currentRow(), 0);
}

void TestSlideShow::onePictureRepeats()
{
    Fixture f;
    SlideShow &s = f.withFolder(f.folder({{"azul.jpg", "so.jpg"}}));
    s.ATVSClick();
    for (int i = 0; i < 3; ++i) {
        s.TMSTimer();
        QCOMPARE(colourOf(s.FT), Colour::Blue);
        QCOMPARE(s.fl1->currentRow(), 0);
    }
}

void TestSlideShow::emptyOrMissingFolderShowsNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("empty folder") << "empty";
    QTest::newRow("missing folder") << "missing";
    QTest::newRow("no slide list") << "none";
}

void TestSlideShow::emptyOrMissingFolderShowsNothing()
{
    QFETCH(QString, how);
    Fixture f;
    SlideShow *s;
    if (how == QLatin1String("empty"))
        s = &f.withFolder(f.folder({}));
    else if (how == QLatin1String("missing"))
        s = &f.withFolder(f.data.root() + QStringLiteral("/sumiu"));
    else
        s = &f.make();
    s->ATVSClick();
    QVERIFY(f.page->FL2->isHidden());
    QVERIFY(!s->FT->isHidden());
    QVERIFY(s->FT->pixmap().isNull());
    s->TMSTimer();
    QVERIFY(s->FT->pixmap().isNull());
}

void TestSlideShow::badPicturesKeepThePrevious_data()
{
    QTest::addColumn<QString>("bad"); // fixture copied as "2-..." between two good pictures
    QTest::newRow("truncated JPEG") << "cortada.jpg";
    QTest::newRow("over the allocation limit") << "enorme.png";
    QTest::newRow("not a picture") << "tone-1s.mp3";
    QTest::newRow("vanished") << QString();
}

void TestSlideShow::badPicturesKeepThePrevious()
{
    QFETCH(QString, bad);
    Fixture f;
    QList<std::pair<QString, QString>> copies = {{"vermelho.png", "1.png"}, {"azul.jpg", "3.jpg"}};
    const QString badName = bad.isEmpty()
                                ? QStringLiteral("2.png")
                                : QStringLiteral("2.") + QFileInfo(bad).suffix().replace("mp3", "jpg");
    copies.insert(1, {bad.isEmpty() ? QStringLiteral("verde.bmp") : bad, badName});
    const QString dir = f.folder(copies);
    SlideShow &s = f.withFolder(dir);
    s.ATVSClick();
    QCOMPARE(colourOf(s.FT), Colour::Red);
    const qint64 before = s.FT->pixmap().cacheKey();
    if (bad.isEmpty())
        QVERIFY(QFile::remove(dir + QLatin1Char('/') + badName));
    s.TMSTimer();
    QCOMPARE(s.fl1->currentRow(), 1);
    QCOMPARE(s.FT->pixmap().cacheKey(), before);
    s.TMSTimer(); // the show goes on
    QCOMPARE(colourOf(s.FT), Colour::Blue);
}

void TestSlideShow::pauseOnlyWhileRunningAndStopRestoresList()
{
    Fixture f;
    SlideShow &s = f.withFolder(f.folder(kThree));
    s.atv1Click(); // stopped: nothing to pause
    QVERIFY(!s.TMS.isActive());
    s.ATVSClick();
    s.atv1Click();
    QVERIFY(!s.TMS.isActive());
    QVERIFY(!s.FT->pixmap().isNull()); // the picture stays
    s.atv1Click();
    QVERIFY(s.TMS.isActive());
    s.atv1Click();

    s.ATVSClick();
    QVERIFY(s.FT->isHidden());
    QVERIFY(s.q10->isHidden());
    QVERIFY(!f.page->FL2->isHidden());
    QVERIFY(!s.TMS.isActive());
    QCOMPARE(s.ATVS->text(), QStringLiteral("Ativar slide show"));
}

void TestSlideShow::indicatorColours()
{
    Fixture f;
    SlideShow &s = f.withFolder(f.folder(kThree));
    auto colour = [&] { return s.PB->palette().color(QPalette::Window); };
    f.page->Timer1Timer();
    QCOMPARE(colour(), QColor(128, 128, 128));
    s.ATVSClick();
    f.page->Timer1Timer();
    QCOMPARE(colour(), QColor(255, 0, 0));
    s.atv1Click(); // paused: the timer is off
    f.page->Timer1Timer();
    QCOMPARE(colour(), QColor(128, 128, 128));
}

void TestSlideShow::largePictureDecodedAtAreaSize()
{
    Fixture f;
    const QString dir = f.folder({});
    QImage big(3000, 2000, QImage::Format_RGB32);
    big.fill(QColor(0, 0, 255));
    QVERIFY(big.save(dir + QStringLiteral("/grande.jpg"), "JPEG", 80));

    QCOMPARE(SlideShow::readPicture(dir + QStringLiteral("/grande.jpg"), QSize(300, 100)).size(),
             QSize(300, 100));
    SlideShow &s = f.withFolder(dir);
    s.ATVSClick();
    QCOMPARE(colourOf(s.FT), Colour::Blue);
    QVERIFY(s.FT->size().width() > 1);
    QCOMPARE(s.FT->pixmap().size(), s.FT->size());
}

QTEST_MAIN(TestSlideShow)
#include "tst_slideshow.moc"

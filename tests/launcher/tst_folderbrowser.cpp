// The folder browser of the Desk page, shown on its own over a temporary desktop: what it
// lists, what a double click does, the picture preview, the other-button menu and the
// panels beside it.
#include "launchersuite.h"

#include "launcher/deskpage.h"
#include "launcher/folderbrowser.h"
#include "launcher/folderhistory.h"
#include "launcher/iconlist.h"
#include "store/flagfile.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>

using namespace zorv;

namespace {

struct Browser
{
    TempDataFolder data;
    FakeServices fake;
    QString desktop;
    std::unique_ptr<DeskPage> page;
    QList<QPair<QString, QString>> music; // what the audio page was asked to play

    Browser()
    {
        desktop = data.root() + QStringLiteral("/Desktop");
        QDir().mkpath(desktop + QStringLiteral("/Sub"));
        QDir().mkpath(desktop + QStringLiteral("/Sub/dentro"));
        for (const char *name : {"a.mp3", "A.MP3", "x.txt", ".oculto"})
            touch(QLatin1String(name));
        QImage wide(400, 100, QImage::Format_RGB32);
        wide.fill(Qt::green);
        wide.save(desktop + QStringLiteral("/p.jpg"), "JPG");
        wide.save(desktop + QStringLiteral("/p.JPG"), "JPG");
        touch(QStringLiteral("broken.png"), "this is not a picture");
        fake.shell.desktop = desktop;

        page = std::make_unique<DeskPage>(data.paths(), fake.services());
        page->setMusicOpener([this](const QString &folder, const QString &caption) {
            music.append({folder, caption});
        });
        page->resize(1200, 700);
        // What the suite window's create and show steps do for the page.
        page->browser->PictureCorners();
        page->browser->FolderPanel();
        page->history->ResetFields();
        page->show();
        QApplication::processEvents();
    }
    void touch(const QString &name, const QByteArray &bytes = {})
    {
        QFile f(desktop + QLatin1Char('/') + name);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }
    IconList *LV() { return page->browser->LV; }
    int row(const QString &caption) { return int(captions(LV()).indexOf(caption)); }
    QByteArray handOff() const { return data.read(QStringLiteral("dados/Web.start")); }
};

} // namespace

class TestFolderBrowser : public QObject
{
    Q_OBJECT

private slots:
    void listsFoldersFirstThenFilesByName();
    void doubleClick_data();
    void doubleClick();
    void preview_data();
    void preview();
    void otherButtonMenu_data();
    void otherButtonMenu();
    void panelFollowsTheProgramFilter();
    void previewFrameHasRoundedCorners();
};

void TestFolderBrowser::listsFoldersFirstThenFilesByName()
{
    Browser b;
    QCOMPARE(captions(b.LV()),
             (QStringList{"Sub", "A.MP3", "a.mp3", "broken.png", "p.JPG", "p.jpg", "x.txt"}));
    QCOMPARE(IconList::subItem(b.LV()->item(0), 0), b.desktop + QStringLiteral("/Sub"));
    QVERIFY(b.fake.shell.iconLookups.contains(b.desktop + QStringLiteral("/x.txt")));
}

void TestFolderBrowser::doubleClick_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("outcome"); // folder, music, launcher
    QTest::newRow("folder") << "Sub"
                            << "folder";
    QTest::newRow("track") << "a.mp3"
                           << "music";
    QTest::newRow("track in capitals") << "A.MP3"
                                       << "launcher";
    // A picture is opened by the desktop like any other file.
    QTest::newRow("picture") << "p.jpg"
                             << "launcher";
    QTest::newRow("picture in capitals") << "p.JPG"
                                         << "launcher";
    QTest::newRow("document") << "x.txt"
                              << "launcher";
}

void TestFolderBrowser::doubleClick()
{
    QFETCH(QString, entry);
    QFETCH(QString, outcome);
    Browser b;
    doubleClickItem(b.LV(), b.row(entry));
    const QString path = b.desktop + QLatin1Char('/') + entry;
    if (outcome == QLatin1String("folder")) {
        QCOMPARE(b.page->history->edn->text(), entry);
        QCOMPARE(b.page->history->edn->toolTip(), path);
        QCOMPARE(captions(b.LV()), QStringList{"dentro"});
    }
    using Played = QList<QPair<QString, QString>>;
    const Played expected = outcome == QLatin1String("music") ? Played{{b.desktop, entry}} : Played{};
    QCOMPARE(b.music, expected);
    QCOMPARE(b.fake.minimizer.calls, 0); // other programs' windows are never touched
    const bool closes = outcome == QLatin1String("launcher");
    QCOMPARE(b.page->isVisible(), !closes);
    if (outcome == QLatin1String("launcher")) {
        QCOMPARE(b.handOff(), path.toUtf8() + "\r\n");
        QCOMPARE(b.fake.programs.started.size(), 1);
    } else {
        QVERIFY(b.fake.programs.started.isEmpty());
    }
}

void TestFolderBrowser::preview_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("shown"); // "unchanged", "empty"
    QTest::newRow("other file leaves it") << "x.txt"
                                          << "unchanged";
    QTest::newRow("picture in capitals leaves it") << "p.JPG"
                                                   << "unchanged";
    QTest::newRow("broken picture") << "broken.png"
                                    << "empty";
}

void TestFolderBrowser::preview()
{
    QFETCH(QString, entry);
    QFETCH(QString, shown);
    Browser b;
    QLabel *IMG = b.page->browser->IMG;
    clickItem(b.LV(), b.row(QStringLiteral("p.jpg")));
    const QPixmap first = IMG->pixmap();
    QCOMPARE(first.size(), QSize(184, 46)); // 400 x 100 scaled into 184 x 100, proportional
    QVERIFY(first.toImage().pixelColor(90, 20).green() > 200);
    clickItem(b.LV(), b.row(entry));
    if (shown == QLatin1String("empty"))
        QVERIFY(IMG->pixmap().isNull());
    else
        QCOMPARE(IMG->pixmap().cacheKey() == first.cacheKey(), shown == QLatin1String("unchanged"));

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(b.LV(), &leave);
    QVERIFY(IMG->pixmap().isNull());
}

void TestFolderBrowser::otherButtonMenu_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("target"); // relative to the desktop folder
    QTest::newRow("open a file") << "x.txt"
                                 << "Abrir"
                                 << "/x.txt";
    QTest::newRow("explore a file's folder") << "x.txt"
                                             << "Explorar"
                                             << "";
    QTest::newRow("explore a folder") << "Sub"
                                      << "Explorar"
                                      << "/Sub";
}

void TestFolderBrowser::otherButtonMenu()
{
    QFETCH(QString, entry);
    QFETCH(QString, command);
    QFETCH(QString, target);
    Browser b;
    QMenu *menu = b.page->browser->LVShellMenu;
    // The left button never opens it; nor another one while nothing is selected.
    const QPoint at = b.LV()->visualItemRect(b.LV()->item(b.row(entry))).center();
    QTest::mouseClick(b.LV()->viewport(), Qt::LeftButton, {}, at);
    QVERIFY(!menu->isVisible());
    QTest::mousePress(b.LV()->viewport(), Qt::RightButton, {}, at);
    QVERIFY(menu->isVisible());
    QTest::mouseRelease(b.LV()->viewport(), Qt::RightButton, {}, at);
    chooseFromMenu(menu, menu->findChild<QAction *>(command));
    QCOMPARE(b.handOff(), (b.desktop + target).toUtf8() + "\r\n");
    QVERIFY(b.page->isVisible());
    QVERIFY(QFile::exists(b.desktop + QStringLiteral("/x.txt")));
}

void TestFolderBrowser::panelFollowsTheProgramFilter()
{
    Browser b;
    QVERIFY(b.page->browser->pr->isEnabled());
    QVERIFY(writeFlagFile(b.data.paths().windowsFile(kProgramFilterFlag)));
    b.page->browser->FolderPanel();
    QVERIFY(!b.page->browser->pr->isEnabled());
}

void TestFolderBrowser::previewFrameHasRoundedCorners()
{
    Browser b;
    QWidget *pimg = b.page->browser->pimg;
    const QRegion mask = pimg->mask();
    const QRect r = pimg->rect();
    QVERIFY(mask.contains(r.center()));
    QVERIFY(mask.contains(QPoint(r.center().x(), r.top())));
    QVERIFY(mask.contains(QPoint(r.left(), r.center().y())));
    for (const QPoint &corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
        QVERIFY(!mask.contains(corner));
}

QTEST_MAIN(TestFolderBrowser)
#include "tst_folderbrowser.moc"

// Which files a folder list shows and in which order.
#include "media/folderlisting.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace zorv;

class TestFolderListing : public QObject
{
    Q_OBJECT

private slots:
    void listing_data();
    void listing();
    void missingOrEmptyFolderListsNothing();
    void listBoxFollowsItsFolder();
};

void TestFolderListing::listing_data()
{
    QTest::addColumn<QStringList>("entries"); // a trailing '/' makes a folder
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QStringList>("expected");

    const QString music = QStringLiteral("*.mp3;*.wma");
    const QString pictures = QStringLiteral("*.jpg;*.png;*.tiff;*.bmp");
    QTest::newRow("extension case ignored")
        << QStringList{"X.MP3", "y.Wma", "z.mp3"} << music << QStringList{"X.MP3", "y.Wma", "z.mp3"};
    QTest::newRow("both kinds sorted together") << QStringList{"d.wma", "a.mp3", "c.mp3", "b.wma"} << music
                                                << QStringList{"a.mp3", "b.wma", "c.mp3", "d.wma"};
    QTest::newRow("accents sort with their letter, case ignored")
        << QStringList{"Zeca.mp3", "\u00c1gua.mp3", "beto.mp3", "Ana.mp3"} << music
        << QStringList{"\u00c1gua.mp3", "Ana.mp3", "beto.mp3", "Zeca.mp3"};
    QTest::newRow("names equal but for case: exact order")
        << QStringList{"a.mp3", "A.mp3", "b.mp3"} << music << QStringList{"A.mp3", "a.mp3", "b.mp3"};
    QTest::newRow("hidden files, folders and other endings left out")
        << QStringList{".escondida.mp3", "pasta.mp3/", "a.mp3.txt", "mp3", "certa.mp3"} << music
        << QStringList{"certa.mp3"};
    QTest::newRow("pictures: .tif and .jpeg are not listed")
        << QStringList{"a.JPG", "b.tif", "c.jpeg", "d.tiff", "e.png", "f.bmp"} << pictures
        << QStringList{"a.JPG", "d.tiff", "e.png", "f.bmp"};
}

void TestFolderListing::listing()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, mask);
    QFETCH(QStringList, expected);

    QTemporaryDir dir;
    for (const QString &entry : entries) {
        if (entry.endsWith(QLatin1Char('/'))) {
            QVERIFY(QDir(dir.path()).mkdir(entry.chopped(1)));
        } else {
            QFile f(dir.filePath(entry));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
    }
    QCOMPARE(listFolder(dir.path(), mask), expected);
}

void TestFolderListing::missingOrEmptyFolderListsNothing()
{
    QTemporaryDir dir;
    QCOMPARE(listFolder(dir.path(), QStringLiteral("*.mp3")), QStringList());
    QCOMPARE(listFolder(dir.filePath(QStringLiteral("sumiu")), QStringLiteral("*.mp3")), QStringList());
    QCOMPARE(listFolder(QString(), QStringLiteral("*.mp3")), QStringList());
}

void TestFolderListing::listBoxFollowsItsFolder()
{
    QTemporaryDir one, two;
    for (const char *name : {"b.mp3", "a.mp3"})
        QFile(one.filePath(QLatin1String(name))).open(QIODevice::WriteOnly);
    QFile(two.filePath(QStringLiteral("c.wma"))).open(QIODevice::WriteOnly);

    FileListBox box(QStringLiteral("*.mp3;*.wma"));
    box.setDirectory(one.path());
    QCOMPARE(box.count(), 2);
    QCOMPARE(box.item(0)->text(), QStringLiteral("a.mp3"));
    box.setCurrentRow(1);
    QCOMPARE(box.selectedPath(), one.filePath(QStringLiteral("b.mp3")));

    // Listed again unchanged: the rows stay, with nothing selected as in a new listing.
    QListWidgetItem *first = box.item(0);
    box.refresh();
    QCOMPARE(box.item(0), first);
    QCOMPARE(box.selectedPath(), QString());
    QVERIFY(box.selectedItems().isEmpty());
    QFile(one.filePath(QStringLiteral("a2.mp3"))).open(QIODevice::WriteOnly);
    box.refresh();
    QCOMPARE(box.names(), (QStringList{"a.mp3", "a2.mp3", "b.mp3"}));
    QCOMPARE(box.item(1)->text(), QStringLiteral("a2.mp3"));
    box.setCurrentRow(1);

    box.setDirectory(two.path());
    QCOMPARE(box.names(), QStringList{QStringLiteral("c.wma")});
    QCOMPARE(box.selectedPath(), QString()); // the new listing has nothing selected
}

QTEST_MAIN(TestFolderListing)
#include "tst_folderlisting.moc"

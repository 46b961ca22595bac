#include "filesizelimit.h"
#include "smalldisk.h"
#include "store/filegroup.h"
#include "store/textlist.h"
#include "tempdatafolder.h"

#include <QDir>
#include <QFile>
#include <QTest>


using namespace zorv;

namespace {

// Every name in the folder, hidden ones included: what a crash or a failure left behind.
QStringList allNames(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

} // namespace

class TestFileGroup : public QObject
{
    Q_OBJECT

private slots:
    void groupReplacesAndRemoves();
    void refusedGroupChangesNothing_data();
    void refusedGroupChangesNothing();
    void leftoversAreSettledOnNextLoad_data();
    void leftoversAreSettledOnNextLoad();
    void fullDiskNeverShortensAFile_data();
    void fullDiskNeverShortensAFile();
};

void TestFileGroup::groupReplacesAndRemoves()
{
    TempDataFolder data;
    QVERIFY(data.write("dados/Finance/03.2013.fin", "old month\r\n"));
    QVERIFY(data.write("dados/Finance/2013.CX", "old year\r\n"));
    QVERIFY(data.write("dados/Finance/04.2013.fin", "going\r\n"));
    QFile::setPermissions(data.file("dados/Finance/2013.CX"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    QVERIFY(replaceFilesTogether({{data.file("dados/Finance/03.2013.fin"), "new month\r\n"},
                                  {data.file("dados/Finance/2013.CX"), "new year\r\n"},
                                  {data.file("dados/Finance/05.2013.fin"), QByteArray()}},
                                 {data.file("dados/Finance/04.2013.fin")}));
    QCOMPARE(data.read("dados/Finance/03.2013.fin"), QByteArray("new month\r\n"));
    QCOMPARE(data.read("dados/Finance/2013.CX"), QByteArray("new year\r\n"));
    QCOMPARE(data.read("dados/Finance/05.2013.fin"), QByteArray());
    // Nothing but the data files is left, and a replaced file keeps its rights.
    QCOMPARE(allNames(data.file("dados/Finance")), (QStringList{"03.2013.fin", "05.2013.fin", "2013.CX"}));
    QCOMPARE(QFile::permissions(data.file("dados/Finance/2013.CX")),
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                 QFileDevice::WriteUser);
}

void TestFileGroup::refusedGroupChangesNothing_data()
{
    QTest::addColumn<QString>("second");
    QTest::newRow("files in two folders") << "dados/Notas/x.tel";
    QTest::newRow("a folder in the way") << "dados/Finance/Sub";
    QTest::newRow("a missing folder") << "dados/Finance/Nowhere/x.fin";
    QTest::newRow("the same file twice") << "dados/Finance/03.2013.fin";
}

void TestFileGroup::refusedGroupChangesNothing()
{
    QFETCH(QString, second);
    TempDataFolder data;
    QVERIFY(data.write("dados/Finance/03.2013.fin", "old\r\n"));
    QVERIFY(QDir().mkpath(data.file("dados/Finance/Sub")));
    const QStringList before = allNames(data.file("dados/Finance"));
    QVERIFY(
        !writeFilesTogether({{data.file("dados/Finance/03.2013.fin"), "new\r\n"}, {data.file(second), "x"}}));
    QCOMPARE(data.read("dados/Finance/03.2013.fin"), QByteArray("old\r\n"));
    QCOMPARE(allNames(data.file("dados/Finance")), before);
    QVERIFY(!QFile::exists(data.file("dados/Notas/x.tel")));
}

void TestFileGroup::leftoversAreSettledOnNextLoad_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("removed");

    // A group stopped before its intent file was complete never happened.
    QTest::newRow("group temporary without intent")
        << ".2013.CX.0badf00d.group-tmp" << QByteArray("new\r\n") << true;
    QTest::newRow("torn intent file")
        << ".file-group.intent" << QByteArray("file group 1\nwrite\t.2013.CX.0badf00d.group-tmp\t2013.CX\n")
        << true;
    QTest::newRow("intent with a wrong checksum")
        << ".file-group.intent"
        << QByteArray("file group 1\nwrite\t.2013.CX.0badf00d.group-tmp\t2013.CX\nend\t0000\n") << true;
    // A single-file save stopped between its temporary and the rename.
    QTest::newRow("save temporary beside its file") << "2013.CX.dzSxHo" << QByteArray("new\r\n") << true;
    // Names a person may have chosen stay, and so does anything without its data file.
    QTest::newRow("word suffix in lower case") << "2013.CX.backup" << QByteArray("mine\r\n") << false;
    QTest::newRow("capitalised word suffix") << "2013.CX.Antigo" << QByteArray("mine\r\n") << false;
    QTest::newRow("temporary-like name without its file")
        << "2012.CX.dzSxHo" << QByteArray("mine\r\n") << false;
    QTest::newRow("six characters, not all letters") << "2013.CX.abc123" << QByteArray("mine\r\n") << false;
}

void TestFileGroup::leftoversAreSettledOnNextLoad()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, removed);
    TempDataFolder data;
    const QString folder = data.file("dados/Finance");
    QVERIFY(data.write("dados/Finance/2013.CX", "old\r\n"));
    QVERIFY(writeFile(folder + '/' + name, bytes));
    if (name == QLatin1String(".file-group.intent"))
        QVERIFY(writeFile(folder + "/.2013.CX.0badf00d.group-tmp", "new\r\n"));

    // The folder's next load settles it; the data file keeps its old content.
    TextList year;
    QCOMPARE(year.load(folder + "/2013.CX"), TextList::LoadResult::Loaded);
    QCOMPARE(year.lines(), QStringList{"old"});
    QStringList expected{"2013.CX"};
    if (!removed)
        expected.append(name);
    expected.sort();
    QCOMPARE(allNames(folder), expected);
    // A listing shows data files only.
    QCOMPARE(listDataFiles(folder, {"*"}).contains(name), !removed);
}

void TestFileGroup::fullDiskNeverShortensAFile_data()
{
    QTest::addColumn<bool>("tmpfs");
    QTest::newRow("small tmpfs filled up") << true;
    QTest::newRow("file size limit") << false;
}

// With 0, 4, 8 ... KiB left, every save either lands whole or fails and leaves the old
// file; none may report success with less than it wrote. The files are smaller than the
// save's write buffer, where a failed write used to go unnoticed.
void TestFileGroup::fullDiskNeverShortensAFile()
{
    QFETCH(bool, tmpfs);
    const QByteArray oldSingle = QByteArray("Mercado\r\n").repeated(300);        // 2 700 bytes
    const QByteArray newSingle = QByteArray("Padaria S\xe3o\r\n").repeated(500); // 6 500 bytes
    const QByteArray oldMonth = QByteArray("1,00<1>01/03/2013<2>Exit<3>a<4>Dinheiro\r\n").repeated(50);
    const QByteArray newMonth =
        oldMonth + QByteArray("2,00<1>02/03/2013<2>Exit<3>b<4>Dinheiro\r\n").repeated(60);

    std::unique_ptr<SmallDisk> disk;
    QTemporaryDir plain;
    QString folder;
    if (tmpfs) {
        disk = std::make_unique<SmallDisk>(256);
        if (!disk->isMounted())
            QSKIP(qPrintable(disk->whyNot()));
        folder = disk->path();
    } else {
        folder = plain.path();
    }
    const QString single = folder + "/Fontes.cad";
    const QString month = folder + "/03.2013.fin";
    const QString year = folder + "/2013.CX";

    int failures = 0;
    int successes = 0;
    for (int freeKiB = 0; freeKiB <= 40; freeKiB += 4) {
        if (disk)
            disk->unfill();
        QVERIFY(writeFile(single, oldSingle));
        QVERIFY(writeFile(month, oldMonth));
        QVERIFY(writeFile(year, oldMonth));
        bool savedSingle = false;
        bool savedGroup = false;
        if (disk) {
            QVERIFY(disk->leaveFree(freeKiB));
            savedSingle = writeFileAtomically(single, newSingle);
            savedGroup = writeFilesTogether({{month, newMonth}, {year, newMonth}});
        } else {
            // Writes stop at the file-size limit, a little past the old sizes.
            FileSizeLimit limit(4096 + freeKiB * 1024 / 8);
            QVERIFY(limit.isSet());
            savedSingle = writeFileAtomically(single, newSingle);
            savedGroup = writeFilesTogether({{month, newMonth}, {year, newMonth}});
        }
        const QString at = QStringLiteral(" with %1 KiB free").arg(freeKiB);
        QVERIFY2(readFile(single) == (savedSingle ? newSingle : oldSingle), qPrintable("single save" + at));
        QVERIFY2(readFile(month) == (savedGroup ? newMonth : oldMonth), qPrintable("month ledger" + at));
        QVERIFY2(readFile(year) == readFile(month), qPrintable("ledgers disagree" + at));
        failures += !savedSingle + !savedGroup;
        successes += savedSingle + savedGroup;
        if (disk)
            disk->unfill();
        QStringList names = allNames(folder);
        QCOMPARE(names, (QStringList{"03.2013.fin", "2013.CX", "Fontes.cad"}));
    }
    // The range covers both outcomes: the disk really ran full and really had room.
    QVERIFY(failures > 0);
    if (tmpfs)
        QVERIFY(successes > 0);
}

QTEST_GUILESS_MAIN(TestFileGroup)
#include "tst_filegroup.moc"

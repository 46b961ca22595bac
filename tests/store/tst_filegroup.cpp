#include "filesizelimit.h"
#include "smalldisk.h"
#include "store/filegroup.h"
#include "store/textlist.h"
#include "tempdatafolder.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <csignal>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

const QFileDevice::Permissions kReadOnly = QFileDevice::ReadOwner | QFileDevice::ReadUser;
const QFileDevice::Permissions kReadWrite = kReadOnly | QFileDevice::WriteOwner | QFileDevice::WriteUser;

// The exit code of a child that could not give up the superuser's identity.
constexpr int kNoOrdinaryUser = 125;
constexpr uid_t kNobody = 65534;

// Runs `work` in a child process, as the program runs: a process of its own for each run.
// Permission bits do not bind the superuser, so when the tests run as one, the child takes
// the identity of an ordinary user, who is given the temporary installation first. The
// child's exit code (work's result), or -1 when it did not exit.
int asOrdinaryUser(const TempDataFolder &data, const std::function<int()> &work)
{
    const bool superuser = ::geteuid() == 0;
    if (superuser) {
        const std::filesystem::path root(QFile::encodeName(data.root()).toStdString());
        if (::chown(root.c_str(), kNobody, kNobody) != 0)
            return kNoOrdinaryUser;
        for (const auto &entry : std::filesystem::recursive_directory_iterator(root)) {
            if (::lchown(entry.path().c_str(), kNobody, kNobody) != 0)
                return kNoOrdinaryUser;
        }
    }
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (superuser && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(kNoOrdinaryUser);
        ::_exit(work());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
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
    void readOnlyFileFailsTheWholeGroup_data();
    void readOnlyFileFailsTheWholeGroup();
    void interruptedGroupNeverReplacesAReadOnlyFile();
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
            savedSingle = writeFileAtomically(single, newSingle).ok();
            savedGroup = writeFilesTogether({{month, newMonth}, {year, newMonth}}).ok();
        } else {
            // Writes stop at the file-size limit, a little past the old sizes.
            FileSizeLimit limit(4096 + freeKiB * 1024 / 8);
            QVERIFY(limit.isSet());
            savedSingle = writeFileAtomically(single, newSingle).ok();
            savedGroup = writeFilesTogether({{month, newMonth}, {year, newMonth}}).ok();
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

void TestFileGroup::readOnlyFileFailsTheWholeGroup_data()
{
    QTest::addColumn<QString>("readOnly");
    QTest::addColumn<bool>("removeMonth");
    QTest::newRow("month ledger written") << "03.2013.fin" << false;
    QTest::newRow("year ledger written") << "2013.CX" << false;
    QTest::newRow("year ledger written, month removed") << "2013.CX" << true;
    QTest::newRow("month ledger removed") << "03.2013.fin" << true;
}

// A file whose write permission was taken away is neither replaced nor removed: the whole
// group fails with every file as it was, as a single-file save refuses such a file.
void TestFileGroup::readOnlyFileFailsTheWholeGroup()
{
    QFETCH(QString, readOnly);
    QFETCH(bool, removeMonth);
    TempDataFolder data;
    const QString folder = data.file("dados/Finance");
    const QString month = folder + "/03.2013.fin";
    const QString year = folder + "/2013.CX";
    QVERIFY(writeFile(month, "old month\r\n"));
    QVERIFY(writeFile(year, "old year\r\n"));
    const QString locked = folder + '/' + readOnly;
    QVERIFY(QFile::setPermissions(locked, kReadOnly));
    const QStringList before = allNames(folder);

    auto save = [&] {
        return removeMonth ? replaceFilesTogether({{year, "new year\r\n"}}, {month})
                           : writeFilesTogether({{month, "new month\r\n"}, {year, "new year\r\n"}});
    };
    const int saved = asOrdinaryUser(data, [&] { return save() ? 0 : 1; });
    if (saved == kNoOrdinaryUser)
        QSKIP("the superuser cannot take an ordinary user's identity here");
    QCOMPARE(saved, 1);
    QCOMPARE(readFile(month), QByteArray("old month\r\n"));
    QCOMPARE(readFile(year), QByteArray("old year\r\n"));
    QCOMPARE(allNames(folder), before);
    QVERIFY(!(QFile::permissions(locked) & QFileDevice::WriteOwner));
    // A single-file save refuses the same file.
    QCOMPARE(asOrdinaryUser(data, [&] { return writeFileAtomically(locked, "new\r\n") ? 0 : 1; }), 1);
    QVERIFY(readFile(locked).startsWith("old"));

    // Given its permission back, the same group lands.
    QVERIFY(QFile::setPermissions(locked, kReadWrite));
    QCOMPARE(asOrdinaryUser(data, [&] { return save() ? 0 : 1; }), 0);
    QCOMPARE(readFile(year), QByteArray("new year\r\n"));
    QCOMPARE(readFile(month), removeMonth ? QByteArray("<missing>") : QByteArray("new month\r\n"));
}

// A group stopped at any step whose files then lose their write permission: completing it
// later never replaces such a file. A group not begun is dropped whole; one half done waits,
// refusing other groups in the folder, and is completed once the file may be written again.
void TestFileGroup::interruptedGroupNeverReplacesAReadOnlyFile()
{
    const QByteArray oldMonth("old month\r\n");
    const QByteArray oldYear("old year\r\n");
    const QByteArray newBytes("new\r\n");
    bool sawDropped = false;
    bool sawWaiting = false;
    for (int step = 1;; ++step) {
        QVERIFY2(step < 100, "the group never finished");
        TempDataFolder data;
        const QString folder = data.file("dados/Finance");
        const QString month = folder + "/03.2013.fin";
        const QString year = folder + "/2013.CX";
        QVERIFY(writeFile(month, oldMonth));
        QVERIFY(writeFile(year, oldYear));

        // Each run of the program is a process of its own, the settle of the folder included.
        const int run = asOrdinaryUser(data, [&] {
            setFileGroupStopStep(step);
            return writeFilesTogether({{month, newBytes}, {year, newBytes}}) ? 0 : 1;
        });
        if (run == kNoOrdinaryUser)
            QSKIP("the superuser cannot take an ordinary user's identity here");
        if (run == 0)
            break; // the group ran to its end before the stop step
        QCOMPARE(run, kFileGroupStopExitCode);

        // The first ledger the group has not replaced yet (or the year ledger) loses its
        // write permission before the program starts again.
        const QString locked = readFile(month) == oldMonth ? month : year;
        const QByteArray lockedBytes = readFile(locked);
        QVERIFY(QFile::setPermissions(locked, kReadOnly));
        auto settle = [&] {
            settleFolder(folder);
            return 0;
        };
        QCOMPARE(asOrdinaryUser(data, settle), 0);
        const QString at = QStringLiteral(" (stopped after step %1)").arg(step);
        QVERIFY2(readFile(locked) == lockedBytes, qPrintable("a read-only ledger was replaced" + at));

        if (allNames(folder).contains(".file-group.intent")) {
            sawWaiting = true;
            QVERIFY2(asOrdinaryUser(data,
                                    [&] {
                                        return writeFilesTogether({{month, "other\r\n"}}) ? 0 : 1;
                                    }) == 1,
                     qPrintable("a group went past one waiting" + at));
            QVERIFY(QFile::setPermissions(locked, kReadWrite));
            QCOMPARE(asOrdinaryUser(data, settle), 0);
            QVERIFY2(readFile(month) == newBytes && readFile(year) == newBytes,
                     qPrintable("not completed" + at));
        } else {
            const bool dropped = readFile(month) == oldMonth;
            sawDropped = sawDropped || dropped;
            QVERIFY2(readFile(year) == (dropped ? oldYear : newBytes), qPrintable("ledgers disagree" + at));
            QVERIFY2(readFile(month) == (dropped ? oldMonth : newBytes), qPrintable("ledgers disagree" + at));
        }
        QVERIFY2(allNames(folder) == (QStringList{"03.2013.fin", "2013.CX"}),
                 qPrintable("work files left" + at));
    }
    // Both ways were taken: a committed group dropped before its first rename, one waiting after it.
    QVERIFY(sawDropped);
    QVERIFY(sawWaiting);
}

QTEST_GUILESS_MAIN(TestFileGroup)
#include "tst_filegroup.moc"

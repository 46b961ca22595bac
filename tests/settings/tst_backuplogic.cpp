#include "settings/backupcopy.h"
#include "settings/backuprunner.h"
#include "settings/backupschedule.h"
#include "settings/backupsettings.h"

#include "tempdatafolder.h"
#include "treesnapshot.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimeZone>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

using namespace zorv;

namespace {

// A live data folder with a bit of everything a backup must carry.
void fillDataFolder(const TempDataFolder &data)
{
    QVERIFY(data.write("dados/Finance/03.2013.fin", "1.234,56<1>15/03/2013<2>Sa\xed"
                                                    "da<3>Mercado<4>Dinheiro\r\n"));
    QVERIFY(data.write("dados/Finance/2013.CX", QByteArray("linha\r\n").repeated(500)));
    QVERIFY(data.write("dados/Notas/Jo\xe3o.tel", "Jo\xe3o\r\n(11) 5555-0101\r\n"));
    QVERIFY(data.write("dados/Back.auto", "07:30:00\r\n/tmp/x\r\n"));
    QVERIFY(data.write("dados/.oculto", "hidden"));
    QVERIFY(data.write("dados/vazio.txt", ""));
    QVERIFY(QDir().mkpath(data.file("dados/Diary/sub/deeper")));
    std::filesystem::create_symlink("Finance/03.2013.fin",
                                    QFile::encodeName(data.file("dados")).toStdString() + "/atalho");
}

// Writes a file anywhere under a test's folder, making the folders it needs.
bool writeAt(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && f.open(QIODevice::WriteOnly) &&
           f.write(bytes) == bytes.size() && f.flush();
}

QByteArray readAt(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool damage(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadWrite) || f.size() == 0)
        return false;
    f.seek(0);
    char c = 0;
    f.getChar(&c);
    f.seek(0);
    return f.putChar(char(c ^ 0x20));
}

bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
}

bool permissionsEnforced()
{
    return ::geteuid() != 0;
}

// A tree as the user sees it; a backup copy's mark is the program's, not the user's data.
QMap<QString, QByteArray> seen(const QString &root)
{
    return seenSnapshot(root, {QString::fromLatin1(kBackupMarkName)});
}

QDateTime at(const QString &text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

// The user the program runs as in the two-user tests; the superuser plays the other user.
constexpr uid_t kNobody = 65534;

// Gives everything under `root` (links themselves, not what they name) to `nobody`.
bool giveToNobody(const QString &root)
{
    const std::filesystem::path top(QFile::encodeName(root).toStdString());
    if (::lchown(top.c_str(), kNobody, kNobody) != 0)
        return false;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(top)) {
        if (::lchown(entry.path().c_str(), kNobody, kNobody) != 0)
            return false;
    }
    return true;
}

// Runs `work` in a child process that has become `nobody`, as the program runs for its user;
// the child's exit code (0 when all went as expected), or -1.
int asNobody(const std::function<int()> &work)
{
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(125);
        ::_exit(work());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

uid_t ownerOf(const QString &path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_uid : uid_t(-1);
}

// A folder of the other user's, planted in the shared folder: the mark forged for `nobody`,
// some files, a sub-folder and a link to the victim's documents.
bool plant(const QString &folder, const QString &documents)
{
    BackupMark forged;
    forged.uid = kNobody;
    return writeAt(folder + "/" + kBackupMarkName, forged.text()) && writeAt(folder + "/a.txt", "a") &&
           writeAt(folder + "/sub/deeper/b.txt", "b") && QFile::link(documents, folder + "/docs");
}

// A file whose name holds bytes that are not UTF-8.
bool writeBadlyNamed(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder) + "/bad\xff\xfe.txt";
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, "x", 1) == 1;
    ::close(fd);
    return ok;
}

} // namespace

class TestBackupLogic : public QObject
{
    Q_OBJECT

private slots:
    void installationKeyStaysInTheStandInFolder();
    void settingsFile_data();
    void settingsFile();
    void settingsFileMissingOrShort();

    void schedule_data();
    void schedule();
    void scheduleAcrossClockChanges_data();
    void scheduleAcrossClockChanges();

    void tidyUpRemovesOnlyTheUsersOwnWork();
    void anotherUsersDadosIsNeitherReplacedNorRestored_data();
    void anotherUsersDadosIsNeitherReplacedNorRestored();
    void restoreRefusesACopyNotTheUsers_data();
    void restoreRefusesACopyNotTheUsers();
    void namesThatAreNotTextAreCopiedByTheirBytes();
    void earlierMarksStayTheUsers();

    void copyPath_data();
    void copyPath();

    void backupMakesVerifiedCopy_data();
    void backupMakesVerifiedCopy();
    void secondBackupReplacesFirst();
    void copyReachesTheDiskBeforeItReplacesThePrevious();
    void failedBackupKeepsPreviousCopy_data();
    void failedBackupKeepsPreviousCopy();
    void copyStoppedBetweenRenamesIsRecovered();

    void backupRemovesOnlyItsOwnCopies_data();
    void backupRemovesOnlyItsOwnCopies();
    void backupCopiesWhatLinksName_data();
    void backupCopiesWhatLinksName();
    void restoreNeverBringsBackALink_data();
    void restoreNeverBringsBackALink();
    void copiesKeepPermissionBits();
    void restoreSwapsInCopyAndKeepsReplacedData();
    void failedRestoreLeavesDataFolder_data();
    void failedRestoreLeavesDataFolder();
    void restoreRecreatesMissingDataFolder();

    void runnerDeliversOnItsThreadOneJobAtATime();
    void runnerDestructionStopsTheJob();
};

void TestBackupLogic::settingsFile_data()
{
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("time and folder") << "07:30:00"
                                     << "/media/seguranca" << QByteArray("07:30:00\r\n/media/seguranca\r\n");
    QTest::newRow("nothing chosen") << "  :  :  "
                                    << "" << QByteArray("  :  :  \r\n\r\n");
    QTest::newRow("root keeps its slash") << " 7:30:00"
                                          << "/" << QByteArray(" 7:30:00\r\n/\r\n");
    QTest::newRow("accents in Windows-1252") << "23:59:59" << QString::fromUtf8("/media/C\xc3\xb3pias")
                                             << QByteArray("23:59:59\r\n/media/C\xf3pias\r\n");
    QTest::newRow("name beyond Windows-1252 in UTF-8")
        << "07:30:00" << QString::fromUtf8("/media/\xe5\xa4\x87\xe4\xbb\xbd")
        << QByteArray("\xef\xbb\xbf"
                      "07:30:00\r\n/media/\xe5\xa4\x87\xe4\xbb\xbd\r\n");
}

void TestBackupLogic::settingsFile()
{
    QFETCH(QString, hour);
    QFETCH(QString, folder);
    QFETCH(QByteArray, bytes);
    TempDataFolder data;
    QVERIFY(saveBackupSettings(data.paths(), hour, folder));
    QCOMPARE(data.read("dados/Back.auto"), bytes);
    const auto loaded = loadBackupSettings(data.paths());
    QVERIFY(loaded);
    QCOMPARE(loaded->hour, hour);
    QCOMPARE(loaded->folder, std::optional<QString>(folder));
}

void TestBackupLogic::settingsFileMissingOrShort()
{
    TempDataFolder data;
    QVERIFY(!loadBackupSettings(data.paths()));
    QVERIFY(data.write("Dados/BACK.AUTO", "07:30:00\r\n"));
    const auto loaded = loadBackupSettings(data.paths());
    QVERIFY(loaded);
    QCOMPARE(loaded->hour, QStringLiteral("07:30:00"));
    QVERIFY(!loaded->folder);

    // Without the data folder nothing is written (the program never creates it).
    QVERIFY(QDir(data.file("dados")).removeRecursively());
    QVERIFY(!saveBackupSettings(data.paths(), "07:30:00", "/x"));
    QVERIFY(!QFileInfo::exists(data.file("dados")));
}

void TestBackupLogic::schedule_data()
{
    QTest::addColumn<QStringList>("hours"); // one for every tick, or one per tick
    QTest::addColumn<QStringList>("ticks");
    QTest::addColumn<QString>("due"); // '1' where the tick starts a backup

    const QString d1 = QStringLiteral("2013-03-15 ");
    const QString d2 = QStringLiteral("2013-03-16 ");
    QTest::newRow("the set second") << QStringList{"07:30:00"}
                                    << QStringList{d1 + "07:29:59.200", d1 + "07:30:00.200",
                                                   d1 + "07:30:01.200"}
                                    << "010";
    QTest::newRow("two ticks in the set second")
        << QStringList{"07:30:00"}
        << QStringList{d1 + "07:29:59.990", d1 + "07:30:00.010", d1 + "07:30:00.990"} << "010";
    QTest::newRow("a skipped second is caught up once")
        << QStringList{"07:30:00"}
        << QStringList{d1 + "07:29:59.500", d1 + "07:30:03.100", d1 + "07:30:04.100", d1 + "09:00:00.000"}
        << "0100";
    QTest::newRow("again the next day")
        << QStringList{"07:30:00"}
        << QStringList{d1 + "07:30:00.000", d1 + "07:30:01.000", d2 + "07:29:59.000", d2 + "07:30:00.000"}
        << "1001";
    QTest::newRow("a start after the hour waits for the next day")
        << QStringList{"07:30:00"} << QStringList{d1 + "07:30:05.000", d1 + "07:30:06.000"} << "00";
    QTest::newRow("midnight across the day change")
        << QStringList{"00:00:00"} << QStringList{d1 + "23:59:59.600", d2 + "00:00:01.100"} << "01";
    QTest::newRow("blank first hour digit never")
        << QStringList{" 7:30:00"}
        << QStringList{d1 + "07:29:59.000", d1 + "07:30:00.000", d1 + "07:30:09.000"} << "000";
    QTest::newRow("empty field never")
        << QStringList{"  :  :  "} << QStringList{d1 + "00:00:00.000", d1 + "12:00:00.000"} << "00";
    QTest::newRow("no such time never")
        << QStringList{"24:00:00"} << QStringList{d1 + "23:59:59.000", d2 + "00:00:01.000"} << "00";
    QTest::newRow("a new hour the same day runs too")
        << QStringList{"07:30:00", "07:30:00", "07:30:00", "08:00:00", "08:00:00"}
        << QStringList{d1 + "07:29:59.000", d1 + "07:30:00.000", d1 + "07:59:59.000", d1 + "07:59:59.500",
                       d1 + "08:00:00.000"}
        << "01001";
}

void TestBackupLogic::schedule()
{
    QFETCH(QStringList, hours);
    QFETCH(QStringList, ticks);
    QFETCH(QString, due);
    BackupSchedule schedule;
    QString got;
    for (int i = 0; i < ticks.size(); ++i) {
        const QDateTime now = at(ticks[i]);
        QVERIFY2(now.isValid(), qPrintable(ticks[i]));
        got += schedule.tick(hours.size() == 1 ? hours[0] : hours[i], now) ? '1' : '0';
    }
    QCOMPARE(got, due);
}

void TestBackupLogic::scheduleAcrossClockChanges_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("hour");
    QTest::addColumn<QString>("from");    // local time of the first tick; one tick a second
    QTest::addColumn<int>("seconds");     // how many ticks
    QTest::addColumn<QStringList>("due"); // local times of the ticks that start a backup

    // 2018-11-04 00:00 became 01:00 in Sao Paulo; 2019-02-17 00:00 became 2019-02-16 23:00.
    QTest::newRow("spring forward over the hour")
        << QByteArray("America/Sao_Paulo") << "00:30:00"
        << "2018-11-03 23:50:00" << 1800 << QStringList{"2018-11-04 01:00:00"};
    QTest::newRow("spring forward over midnight")
        << QByteArray("America/Sao_Paulo") << "00:00:00"
        << "2018-11-03 23:59:00" << 300 << QStringList{"2018-11-04 01:00:00"};
    QTest::newRow("the first hour after the jump")
        << QByteArray("America/Sao_Paulo") << "01:00:00"
        << "2018-11-03 23:59:00" << 300 << QStringList{"2018-11-04 01:00:00"};
    QTest::newRow("fall back: a time that happens twice runs once")
        << QByteArray("America/Sao_Paulo") << "23:30:00"
        << "2019-02-16 23:00:00" << 3 * 3600 << QStringList{"2019-02-16 23:30:00"};
    // 2026-03-29 01:00 became 02:00 in Lisbon; 2026-10-25 02:00 became 01:00.
    QTest::newRow("Lisbon spring forward")
        << QByteArray("Europe/Lisbon") << "01:30:00"
        << "2026-03-29 00:59:00" << 600 << QStringList{"2026-03-29 02:00:00"};
    QTest::newRow("Lisbon fall back")
        << QByteArray("Europe/Lisbon") << "01:30:00"
        << "2026-10-25 01:00:00" << 2 * 3600 << QStringList{"2026-10-25 01:30:00"};
}

// The one-second tick walks real seconds across the change of the clock, in the zone's local
// time as the window's clock reads it.
void TestBackupLogic::scheduleAcrossClockChanges()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, hour);
    QFETCH(QString, from);
    QFETCH(int, seconds);
    QFETCH(QStringList, due);
    const QTimeZone tz(zone);
    if (!tz.isValid() || !tz.hasTransitions())
        QSKIP("this machine has no time-zone data for the zone");
    const QDateTime first(QDate::fromString(from.left(10), Qt::ISODate),
                          QTime::fromString(from.mid(11), Qt::ISODate), tz);
    QVERIFY(first.isValid());
    BackupSchedule schedule;
    QStringList got;
    for (int i = 0; i < seconds; ++i) {
        const QDateTime now = first.toUTC().addSecs(i).toTimeZone(tz);
        if (schedule.tick(hour, now))
            got << now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    QCOMPARE(got, due);
}

// In a shared sticky folder, the backup's tidy-up removes the user's own unfinished copies
// of this installation, and nothing of another user's, however well its mark is forged,
// nor anything a link in one of them names.
void TestBackupLogic::tidyUpRemovesOnlyTheUsersOwnWork()
{
    if (::geteuid() != 0)
        QSKIP("needs the superuser to act as two users");
    TempDataFolder data;
    fillDataFolder(data);
    const QString shared = data.root() + "/shared";
    const QString documents = data.root() + "/Documents";
    QVERIFY(writeAt(documents + "/carta.txt", "minha carta"));
    QVERIFY(giveToNobody(data.root()));
    QVERIFY(QDir().mkpath(shared));
    QVERIFY(::chown(QFile::encodeName(shared).constData(), 0, 0) == 0);
    QVERIFY(::chmod(QFile::encodeName(shared).constData(), 01777) == 0);
    QVERIFY(plant(shared + "/.dados.partial-x", documents));
    QVERIFY(plant(shared + "/.dados.old-y", documents));

    const QString standIn = data.paths().windowsDir();
    const QString dados = data.file("dados");
    const int code = asNobody([&] {
        const BackupMark mine = BackupMark::forUser(standIn, at("2013-03-15 10:00:00.000"));
        if (mine.key.isEmpty())
            return 1;
        // The user's own leftovers: one of this installation, with a link to the documents;
        // one whose mark carries another id, which proves nothing.
        BackupMark otherId = mine;
        otherId.key = "0123456789abcdef0123456789abcdef";
        if (!QDir().mkpath(shared + "/.dados.partial-own/sub") ||
            !markAsBackupCopy(shared + "/.dados.partial-own", mine) ||
            !writeAt(shared + "/.dados.partial-own/sub/c.txt", "c") ||
            !QFile::link(documents, shared + "/.dados.partial-own/docs") ||
            !QDir().mkpath(shared + "/.dados.partial-otherid") ||
            !markAsBackupCopy(shared + "/.dados.partial-otherid", otherId))
            return 2;
        return backupDataFolder(dados, shared, {}, mine).ok ? 0 : 3;
    });
    QCOMPARE(code, 0);
    QCOMPARE(entryNames(shared),
             (QStringList{".dados.old-y", ".dados.partial-otherid", ".dados.partial-x", "dados"}));
    for (const QString &planted : {shared + "/.dados.partial-x", shared + "/.dados.old-y"}) {
        QCOMPARE(ownerOf(planted), uid_t(0));
        QCOMPARE(readAt(planted + "/a.txt"), QByteArray("a"));
        QCOMPARE(readAt(planted + "/sub/deeper/b.txt"), QByteArray("b"));
        QVERIFY(QFileInfo(planted + "/docs").isSymLink());
    }
    QCOMPARE(readAt(documents + "/carta.txt"), QByteArray("minha carta"));
    QCOMPARE(ownerOf(shared + "/dados"), kNobody);
    QCOMPARE(seen(shared + "/dados"), seen(dados));
}

void TestBackupLogic::anotherUsersDadosIsNeitherReplacedNorRestored_data()
{
    QTest::addColumn<int>("mode");     // of the shared folder
    QTest::addColumn<bool>("movable"); // whether the user may move another user's entry there
    QTest::newRow("sticky, as /tmp") << 01777 << false;
    QTest::newRow("writable by all, not sticky") << 0777 << true;
}

// Another user's "dados", marked as if it were the user's, is never restored and never
// deleted; a backup moves it aside where the user may, and otherwise fails saying why.
void TestBackupLogic::anotherUsersDadosIsNeitherReplacedNorRestored()
{
    QFETCH(int, mode);
    QFETCH(bool, movable);
    if (::geteuid() != 0)
        QSKIP("needs the superuser to act as two users");
    TempDataFolder data;
    fillDataFolder(data);
    QVERIFY(data.write("dados/Money.sbm", "R$\r\n"));
    const QString shared = data.root() + "/shared";
    QVERIFY(giveToNobody(data.root()));
    QVERIFY(QDir().mkpath(shared));
    QVERIFY(::chmod(QFile::encodeName(shared).constData(), mode_t(mode)) == 0);
    QVERIFY(::chown(QFile::encodeName(shared).constData(), 0, 0) == 0);
    QVERIFY(plant(shared + "/dados", data.root()));
    QVERIFY(writeAt(shared + "/dados/Money.sbm", "US$\r\n"));
    QVERIFY(::chmod(QFile::encodeName(shared + "/dados").constData(), 0755) == 0);

    const QString dados = data.file("dados");
    const auto live = seen(dados);
    const int code = asNobody([&] {
        const BackupOutcome restored = restoreDataFolder(dados, shared, at("2013-03-15 10:00:00.000"));
        if (restored.ok || !restored.reason.contains(QString::fromUtf8("outro usuário")))
            return 1;
        const BackupOutcome backup = backupDataFolder(dados, shared);
        if (movable)
            return backup.ok && backup.setAside == shared + "/dados-anterior" ? 0 : 2;
        return !backup.ok && backup.reason.contains(QString::fromUtf8("outro usuário")) ? 0 : 3;
    });
    QCOMPARE(code, 0);
    QCOMPARE(seen(dados), live);
    QCOMPARE(readAt(dados + "/Money.sbm"), QByteArray("R$\r\n"));
    const QString planted = shared + (movable ? "/dados-anterior" : "/dados");
    QCOMPARE(ownerOf(planted), uid_t(0));
    QCOMPARE(readAt(planted + "/Money.sbm"), QByteArray("US$\r\n"));
    QCOMPARE(readAt(planted + "/sub/deeper/b.txt"), QByteArray("b"));
    if (movable) {
        QCOMPARE(ownerOf(shared + "/dados"), kNobody);
        QCOMPARE(seen(shared + "/dados"), live);
    } else {
        QCOMPARE(entryNames(shared), QStringList{"dados"});
    }
}

void TestBackupLogic::restoreRefusesACopyNotTheUsers_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("reason");
    QTest::newRow("others may write it") << "writable"
                                         << "Outros usuários podem alterar";
    QTest::newRow("marked for another user") << "foreign mark"
                                             << "feita para outro usuário";
}

void TestBackupLogic::restoreRefusesACopyNotTheUsers()
{
    QFETCH(QString, fault);
    QFETCH(QString, reason);
    TempDataFolder data;
    fillDataFolder(data);
    const QString folder = data.root() + "/backup";
    QVERIFY(backupDataFolder(data.file("dados"), folder));
    QVERIFY(data.write("dados/Money.sbm", "R$\r\n"));
    const QString copy = folder + "/dados";
    if (fault == "writable") {
        QVERIFY(::chmod(QFile::encodeName(copy).constData(), 0777) == 0);
    } else {
        BackupMark someoneElse;
        someoneElse.uid = BackupMark::currentUserId() + 1;
        QVERIFY(QFile::remove(copy + "/" + kBackupMarkName));
        QVERIFY(writeAt(copy + "/" + kBackupMarkName, someoneElse.text()));
    }
    const auto live = seen(data.file("dados"));
    QVERIFY(!backupCopyTime(data.file("dados"), folder));
    const BackupOutcome restored =
        restoreDataFolder(data.file("dados"), folder, at("2013-03-15 10:00:00.000"));
    QVERIFY(!restored.ok);
    QVERIFY2(restored.reason.contains(reason), qPrintable(restored.reason));
    QCOMPARE(seen(data.file("dados")), live);
    QCOMPARE(entryNames(data.root() + "/app"), QStringList{"dados"});
}

bool existsRaw(const QByteArray &path)
{
    struct stat st
    {
    };
    return ::lstat(path.constData(), &st) == 0;
}

QByteArray readRaw(const QByteArray &path)
{
    std::ifstream in(path.constData(), std::ios::binary);
    return QByteArray::fromStdString(std::string(std::istreambuf_iterator<char>(in), {}));
}

// Names the file system holds that are not valid text (a file, and a folder with a file in
// it) are copied by their bytes, to the backup and back by a restore.
void TestBackupLogic::namesThatAreNotTextAreCopiedByTheirBytes()
{
    TempDataFolder data;
    fillDataFolder(data);
    const QByteArray notes = QFile::encodeName(data.file("dados/Notas"));
    QVERIFY(writeBadlyNamed(data.file("dados/Notas")));
    QVERIFY(::mkdir((notes + "/pasta\xe9").constData(), 0755) == 0);
    const QByteArray inner = notes + "/pasta\xe9/dentro.txt";
    {
        std::ofstream out(inner.constData(), std::ios::binary);
        out << "conteudo";
    }
    const QString folder = data.root() + "/backup";
    const BackupOutcome backup = backupDataFolder(data.file("dados"), folder);
    QVERIFY2(backup.ok, qPrintable(backup.reason));
    const QByteArray copy = QFile::encodeName(folder) + "/dados/Notas";
    QCOMPARE(readRaw(copy + "/bad\xff\xfe.txt"), QByteArray("x"));
    QCOMPARE(readRaw(copy + "/pasta\xe9/dentro.txt"), QByteArray("conteudo"));

    // Gone from the data folder, they come back with the restore.
    QVERIFY(::unlink((notes + "/bad\xff\xfe.txt").constData()) == 0);
    const BackupOutcome restore =
        restoreDataFolder(data.file("dados"), folder, at("2013-03-15 10:00:00.000"));
    QVERIFY2(restore.ok, qPrintable(restore.reason));
    const QByteArray restored = QFile::encodeName(data.file("dados/Notas"));
    QCOMPARE(readRaw(restored + "/bad\xff\xfe.txt"), QByteArray("x"));
    QCOMPARE(readRaw(restored + "/pasta\xe9/dentro.txt"), QByteArray("conteudo"));
    QVERIFY(existsRaw(QFile::encodeName(data.root()) +
                      "/app/dados-anterior-2013-03-15_10-00-00/Notas/pasta\xe9"));

    // The temporary folder's own removal cannot name these files.
    std::filesystem::remove_all(QFile::encodeName(data.root()).toStdString());
}

// Copies marked by the earlier version, whose mark named nobody: the user's own copy is
// still replaced and restored; a leftover work folder with such a mark proves nothing and
// stays.
void TestBackupLogic::earlierMarksStayTheUsers()
{
    TempDataFolder data;
    fillDataFolder(data);
    const QString folder = data.root() + "/backup";
    const QByteArray earlier("Copia de seguranca feita pelo Zorv Desk\r\n");
    QVERIFY(backupDataFolder(data.file("dados"), folder));
    QVERIFY(QFile::remove(folder + "/dados/" + kBackupMarkName));
    QVERIFY(writeAt(folder + "/dados/" + kBackupMarkName, earlier));
    QVERIFY(writeAt(folder + "/.dados.partial-old/" + kBackupMarkName, earlier));
    QVERIFY(isBackupCopy(folder + "/dados"));
    QVERIFY(backupCopyTime(data.file("dados"), folder));

    QVERIFY(data.write("dados/Finance/04.2013.fin", "novo\r\n"));
    const BackupOutcome backup = backupDataFolder(data.file("dados"), folder);
    QVERIFY(backup.ok);
    QCOMPARE(backup.setAside, QString());
    QCOMPARE(entryNames(folder), (QStringList{".dados.partial-old", "dados"}));
    QCOMPARE(seen(folder + "/dados"), seen(data.file("dados")));
}

void TestBackupLogic::copyPath_data()
{
    QTest::addColumn<QString>("folder"); // "@" stands for the temporary root
    QTest::addColumn<QString>("dataDir");
    QTest::addColumn<QString>("copy"); // empty: refused

    QTest::newRow("named folder") << "@/backup"
                                  << "@/app/dados"
                                  << "@/backup/dados";
    QTest::newRow("named folder with a slash") << "@/backup/"
                                               << "@/app/dados"
                                               << "@/backup/dados";
    QTest::newRow("file-system root") << "/"
                                      << "@/app/dados"
                                      << "/dados";
    QTest::newRow("copy in another letter case") << "@/old"
                                                 << "@/app/dados"
                                                 << "@/old/DADOS";
    QTest::newRow("empty") << ""
                           << "@/app/dados"
                           << "";
    QTest::newRow("blank") << "   "
                           << "@/app/dados"
                           << "";
    QTest::newRow("relative") << "backup"
                              << "@/app/dados"
                              << "";
    QTest::newRow("the data folder") << "@/app/dados"
                                     << "@/app/dados"
                                     << "";
    QTest::newRow("inside the data folder") << "@/app/dados/Notas/"
                                            << "@/app/dados"
                                            << "";
    QTest::newRow("through a link into the data folder") << "@/link"
                                                         << "@/app/dados"
                                                         << "";
    QTest::newRow("beside the data folder") << "@/app"
                                            << "@/app/dados"
                                            << "";
    QTest::newRow("copy would hold the data folder") << "@/nest"
                                                     << "@/nest/dados/app/dados"
                                                     << "";
}

void TestBackupLogic::copyPath()
{
    QFETCH(QString, folder);
    QFETCH(QString, dataDir);
    QFETCH(QString, copy);
    TempDataFolder data;
    const QString root = data.root();
    QVERIFY(QDir().mkpath(root + "/old/DADOS"));
    QVERIFY(QDir().mkpath(root + "/nest/dados/app/dados"));
    QVERIFY(QFile::link(root + "/app/dados/Notas", root + "/link"));
    QCOMPARE(backupCopyPath(QString(dataDir).replace('@', root), QString(folder).replace('@', root)),
             QString(copy).replace('@', root));
}

void TestBackupLogic::backupMakesVerifiedCopy_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("without a slash") << "/backup";
    QTest::newRow("with a slash") << "/backup/";
}

void TestBackupLogic::backupMakesVerifiedCopy()
{
    QFETCH(QString, folder);
    TempDataFolder data;
    fillDataFolder(data);
    // One file above the size that is held in memory, to take the piecewise path.
    QFile big(data.file("dados/Media/musica.wav"));
    QVERIFY(big.open(QIODevice::WriteOnly));
    QVERIFY(big.resize(qint64(65) * 1024 * 1024));
    QVERIFY(big.seek(big.size() - 4));
    big.write("fim!");
    big.close();
    const QDateTime stamp(QDate(2013, 3, 15), QTime(10, 0));
    {
        QFile f(data.file("dados/Finance/2013.CX"));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
    const auto live = seen(data.file("dados"));

    QVERIFY(backupDataFolder(data.file("dados"), data.root() + folder));
    const QString copy = data.root() + "/backup/dados";
    QCOMPARE(seen(copy), live);
    QCOMPARE(seen(data.file("dados")), live);
    QCOMPARE(entryNames(data.root() + "/backup"), QStringList{"dados"});
    QCOMPARE(QFileInfo(copy + "/Finance/2013.CX").lastModified(), stamp);
}

void TestBackupLogic::secondBackupReplacesFirst()
{
    TempDataFolder data;
    fillDataFolder(data);
    const QString folder = data.root() + "/backup";
    QVERIFY(backupDataFolder(data.file("dados"), folder));

    // A read-only file in the previous copy does not stop the next backup.
    QVERIFY(QFile::setPermissions(folder + "/dados/Finance/2013.CX", QFileDevice::ReadOwner));
    QVERIFY(data.write("dados/Finance/04.2013.fin", "novo\r\n"));
    QVERIFY(data.write("dados/Finance/2013.CX", "mudou\r\n"));
    QVERIFY(QFile::remove(data.file("dados/.oculto")));
    QVERIFY(backupDataFolder(data.file("dados"), folder));

    QCOMPARE(seen(folder + "/dados"), seen(data.file("dados")));
    QCOMPARE(entryNames(folder), QStringList{"dados"});
}

// The new copy is flushed to the disk while the previous one still stands, then renamed
// into place, then its folder is flushed: at no moment is the only complete copy one that a
// power cut could lose. A restore swaps the data folder in the same way.
void TestBackupLogic::copyReachesTheDiskBeforeItReplacesThePrevious()
{
    TempDataFolder data;
    fillDataFolder(data);
    const QString folder = data.root() + "/backup";
    QVERIFY(backupDataFolder(data.file("dados"), folder));
    const auto previous = seen(folder + "/dados");
    QVERIFY(data.write("dados/Finance/04.2013.fin", "novo\r\n"));
    const auto live = seen(data.file("dados"));

    QStringList steps;
    TreeCopyOptions options;
    options.onDurableStep = [&](TreeCopyOptions::DurableStep step, const QString &path) {
        switch (step) {
        case TreeCopyOptions::DurableStep::CopyFlushed:
            steps << "flushed";
            QVERIFY(QFileInfo(path).fileName().startsWith(".dados.partial-"));
            QCOMPARE(seen(path), live);
            QCOMPARE(seen(folder + "/dados"), previous);
            break;
        case TreeCopyOptions::DurableStep::CopyInPlace:
            steps << "renamed";
            QCOMPARE(path, folder + "/dados");
            QCOMPARE(seen(path), live);
            break;
        case TreeCopyOptions::DurableStep::FolderFlushed:
            steps << "folder flushed";
            QCOMPARE(path, folder);
            break;
        }
    };
    QVERIFY(backupDataFolder(data.file("dados"), folder, options));
    QCOMPARE(steps, (QStringList{"flushed", "renamed", "folder flushed"}));
    QCOMPARE(entryNames(folder), QStringList{"dados"});

    steps.clear();
    QVERIFY(data.write("dados/Finance/04.2013.fin", "depois\r\n"));
    options.onDurableStep = [&](TreeCopyOptions::DurableStep step, const QString &path) {
        steps << QString::number(int(step));
        if (step == TreeCopyOptions::DurableStep::CopyFlushed)
            QCOMPARE(data.read("dados/Finance/04.2013.fin"), QByteArray("depois\r\n"));
        if (step == TreeCopyOptions::DurableStep::FolderFlushed)
            QCOMPARE(path, data.root() + "/app");
    };
    QVERIFY(restoreDataFolder(data.file("dados"), folder, at("2013-03-15 10:00:00.000"), options));
    QCOMPARE(steps, (QStringList{"0", "1", "2"}));
    QCOMPARE(seen(data.file("dados")), live);
    QVERIFY(flushTreeToDisk(data.file("dados")));
    QVERIFY(!flushTreeToDisk(data.file("dados/Finance/04.2013.fin")));
}

enum class BackupFault { PipeInSource, DamagedCopy, ShortCopy, Cancelled, UnwritableFolder, NoDataFolder };
Q_DECLARE_METATYPE(BackupFault)

void TestBackupLogic::failedBackupKeepsPreviousCopy_data()
{
    QTest::addColumn<BackupFault>("fault");
    QTest::newRow("a source entry that cannot be read") << BackupFault::PipeInSource;
    QTest::newRow("copy differs from the source") << BackupFault::DamagedCopy;
    QTest::newRow("copy is short") << BackupFault::ShortCopy;
    QTest::newRow("stopped midway") << BackupFault::Cancelled;
    QTest::newRow("backup folder not writable") << BackupFault::UnwritableFolder;
    QTest::newRow("no data folder") << BackupFault::NoDataFolder;
}

void TestBackupLogic::failedBackupKeepsPreviousCopy()
{
    QFETCH(BackupFault, fault);
    TempDataFolder data;
    fillDataFolder(data);
    const QString folder = data.root() + "/backup";
    QVERIFY(backupDataFolder(data.file("dados"), folder));
    const auto previous = seen(folder + "/dados");

    QVERIFY(data.write("dados/Finance/05.2013.fin", "mais\r\n"));
    std::atomic<bool> cancel{false};
    TreeCopyOptions options;
    options.cancel = &cancel;
    switch (fault) {
    case BackupFault::PipeInSource:
        QVERIFY(makeFifo(data.file("dados/Notas/fila")));
        break;
    case BackupFault::DamagedCopy:
        options.afterFileWritten = [](const QString &file) {
            if (file.endsWith("2013.CX"))
                damage(file);
        };
        break;
    case BackupFault::ShortCopy:
        options.afterFileWritten = [](const QString &file) {
            if (file.endsWith("2013.CX"))
                QFile::resize(file, 10);
        };
        break;
    case BackupFault::Cancelled:
        options.afterFileWritten = [&cancel](const QString &) { cancel = true; };
        break;
    case BackupFault::UnwritableFolder:
        if (!permissionsEnforced())
            QSKIP("file permissions do not bind this user");
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        break;
    case BackupFault::NoDataFolder:
        QVERIFY(QDir(data.file("dados")).removeRecursively());
        break;
    }
    const auto live = seen(data.file("dados"));

    QVERIFY(!backupDataFolder(data.file("dados"), folder, options));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(seen(folder + "/dados"), previous);
    QCOMPARE(entryNames(folder), QStringList{"dados"});
    QCOMPARE(seen(data.file("dados")), live);
}

void TestBackupLogic::copyStoppedBetweenRenamesIsRecovered()
{
    TempDataFolder data;
    fillDataFolder(data);
    const QString folder = data.root() + "/backup";
    QVERIFY(backupDataFolder(data.file("dados"), folder));
    const auto previous = seen(folder + "/dados");
    // What a backup stopped between its two renames leaves: the previous copy moved
    // aside, the new one unfinished.
    QVERIFY(QDir().rename(folder + "/dados", folder + "/.dados.old-crash"));
    QVERIFY(QDir().mkpath(folder + "/.dados.partial-crash/Finance"));
    QVERIFY(markAsBackupCopy(folder + "/.dados.partial-crash"));

    // Even a backup that then fails puts the previous copy back and clears the rest.
    QVERIFY(makeFifo(data.file("dados/fila")));
    QVERIFY(!backupDataFolder(data.file("dados"), folder));
    QCOMPARE(entryNames(folder), QStringList{"dados"});
    QCOMPARE(seen(folder + "/dados"), previous);
}

// What stands at the backup's place before the first backup, and what must become of it.
enum class InTheWay { UsersDados, UsersDadosOtherCase, UnmarkedWorkFolders, LinkToElsewhere, OwnOldCopy };
Q_DECLARE_METATYPE(InTheWay)

void TestBackupLogic::backupRemovesOnlyItsOwnCopies_data()
{
    QTest::addColumn<InTheWay>("inTheWay");
    QTest::newRow("a folder of the user's named dados") << InTheWay::UsersDados;
    QTest::newRow("a folder of the user's named Dados") << InTheWay::UsersDadosOtherCase;
    QTest::newRow("work-folder names the program did not make") << InTheWay::UnmarkedWorkFolders;
    QTest::newRow("a link named dados") << InTheWay::LinkToElsewhere;
    QTest::newRow("the program's own copy in another case") << InTheWay::OwnOldCopy;
}

void TestBackupLogic::backupRemovesOnlyItsOwnCopies()
{
    QFETCH(InTheWay, inTheWay);
    TempDataFolder data;
    fillDataFolder(data);
    const QString folder = data.root() + "/pendrive";
    const QByteArray thesis = "minha tese";
    QStringList expected{"dados"};
    QString movedTo;
    switch (inTheWay) {
    case InTheWay::UsersDados:
        QVERIFY(writeAt(data.root() + "/pendrive/dados/projeto/tese.docx", thesis));
        expected << "dados-anterior";
        movedTo = folder + "/dados-anterior";
        break;
    case InTheWay::UsersDadosOtherCase:
        QVERIFY(writeAt(data.root() + "/pendrive/Dados/projeto/tese.docx", thesis));
        expected.prepend("Dados");
        break;
    case InTheWay::UnmarkedWorkFolders:
        QVERIFY(writeAt(data.root() + "/pendrive/.dados.old-x/tese.docx", thesis));
        QVERIFY(writeAt(data.root() + "/pendrive/.dados.partial-y/tese.docx", thesis));
        expected = QStringList{".dados.old-x", ".dados.partial-y", "dados"};
        break;
    case InTheWay::LinkToElsewhere:
        QVERIFY(writeAt(data.root() + "/elsewhere/projeto/tese.docx", thesis));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::link(data.root() + "/elsewhere", folder + "/dados"));
        expected << "dados-anterior";
        movedTo = folder + "/dados-anterior";
        break;
    case InTheWay::OwnOldCopy:
        QVERIFY(backupDataFolder(data.file("dados"), folder));
        QVERIFY(QDir().rename(folder + "/dados", folder + "/DADOS"));
        expected = QStringList{"DADOS"};
        break;
    }

    const BackupOutcome first = backupDataFolder(data.file("dados"), folder);
    QVERIFY(first.ok);
    QCOMPARE(first.setAside, movedTo);
    const QString copy = folder + "/" + (inTheWay == InTheWay::OwnOldCopy ? "DADOS" : "dados");
    QVERIFY(isBackupCopy(copy));
    QCOMPARE(seen(copy), seen(data.file("dados")));
    // A second backup replaces the program's own copy and still touches nothing else.
    QVERIFY(data.write("dados/Finance/04.2013.fin", "novo\r\n"));
    const BackupOutcome second = backupDataFolder(data.file("dados"), folder);
    QVERIFY(second.ok);
    QCOMPARE(second.setAside, QString());
    QCOMPARE(seen(copy), seen(data.file("dados")));
    QCOMPARE(entryNames(folder), expected);
    switch (inTheWay) {
    case InTheWay::UsersDados:
        QCOMPARE(readAt(data.root() + "/pendrive/dados-anterior/projeto/tese.docx"), thesis);
        break;
    case InTheWay::UsersDadosOtherCase:
        QCOMPARE(readAt(data.root() + "/pendrive/Dados/projeto/tese.docx"), thesis);
        break;
    case InTheWay::UnmarkedWorkFolders:
        QCOMPARE(readAt(data.root() + "/pendrive/.dados.old-x/tese.docx"), thesis);
        QCOMPARE(readAt(data.root() + "/pendrive/.dados.partial-y/tese.docx"), thesis);
        break;
    case InTheWay::LinkToElsewhere:
        QVERIFY(QFileInfo(folder + "/dados-anterior").isSymLink());
        QCOMPARE(readAt(data.root() + "/elsewhere/projeto/tese.docx"), thesis);
        break;
    case InTheWay::OwnOldCopy:
        break;
    }
}

enum class LinkCase { FolderOnAnotherDisk, FileOutside, Loop, ToBackup, Dangling, ToPipe };
Q_DECLARE_METATYPE(LinkCase)

void TestBackupLogic::backupCopiesWhatLinksName_data()
{
    QTest::addColumn<LinkCase>("link");
    QTest::addColumn<bool>("whole");
    QTest::newRow("a ledger folder kept on another disk") << LinkCase::FolderOnAnotherDisk << true;
    QTest::newRow("a file outside the data folder") << LinkCase::FileOutside << true;
    QTest::newRow("a link back up the tree") << LinkCase::Loop << false;
    QTest::newRow("a link to the backup folder") << LinkCase::ToBackup << false;
    QTest::newRow("a link that leads nowhere") << LinkCase::Dangling << false;
    QTest::newRow("a link to a pipe") << LinkCase::ToPipe << false;
}

void TestBackupLogic::backupCopiesWhatLinksName()
{
    QFETCH(LinkCase, link);
    QFETCH(bool, whole);
    TempDataFolder data;
    fillDataFolder(data);
    const QString folder = data.root() + "/backup";
    QVERIFY(backupDataFolder(data.file("dados"), folder));
    const auto previous = seen(folder + "/dados");
    const QString dados = data.file("dados");
    switch (link) {
    case LinkCase::FolderOnAnotherDisk:
        QVERIFY(QDir(dados + "/Finance").removeRecursively());
        QVERIFY(writeAt(data.root() + "/disco/Finance/03.2013.fin",
                        "1,00<1>01/03/2013<2>Entrada<3>X<4>Dinheiro\r\n"));
        QVERIFY(QFile::link(data.root() + "/disco/Finance", dados + "/Finance"));
        QVERIFY(QFile::remove(dados + "/atalho"));
        break;
    case LinkCase::FileOutside:
        QVERIFY(writeAt(data.root() + "/fora.txt", "de fora\r\n"));
        QVERIFY(QFile::link(data.root() + "/fora.txt", dados + "/Notas/fora.txt"));
        break;
    case LinkCase::Loop:
        QVERIFY(QFile::link(dados + "/Notas", dados + "/Notas/volta"));
        break;
    case LinkCase::ToBackup:
        QVERIFY(QFile::link(folder, dados + "/Notas/backup"));
        break;
    case LinkCase::Dangling:
        QVERIFY(QFile::link(data.root() + "/sumiu", dados + "/Notas/sumiu"));
        break;
    case LinkCase::ToPipe:
        QVERIFY(makeFifo(data.root() + "/fila"));
        QVERIFY(QFile::link(data.root() + "/fila", dados + "/Notas/fila"));
        break;
    }

    QCOMPARE(bool(backupDataFolder(dados, folder)), whole);
    QCOMPARE(entryNames(folder), QStringList{"dados"});
    if (!whole) {
        QCOMPARE(seen(folder + "/dados"), previous);
        return;
    }
    QCOMPARE(seen(folder + "/dados"), seen(dados));
    QDirIterator it(folder + "/dados", QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        QVERIFY2(!it.nextFileInfo().isSymLink(), qPrintable(it.filePath()));
}

enum class BackupLink { FileInside, FolderInside, FileOutside, FolderOutside, Loop, CopyIsALink };
Q_DECLARE_METATYPE(BackupLink)

void TestBackupLogic::restoreNeverBringsBackALink_data()
{
    QTest::addColumn<BackupLink>("link");
    QTest::addColumn<bool>("restored");
    QTest::newRow("to a file inside the backup") << BackupLink::FileInside << true;
    QTest::newRow("to a folder inside the backup") << BackupLink::FolderInside << true;
    QTest::newRow("to a file outside (a shell start-up file)") << BackupLink::FileOutside << false;
    QTest::newRow("to a folder outside") << BackupLink::FolderOutside << false;
    QTest::newRow("back up the tree") << BackupLink::Loop << false;
    QTest::newRow("the copy itself a link") << BackupLink::CopyIsALink << false;
}

void TestBackupLogic::restoreNeverBringsBackALink()
{
    QFETCH(BackupLink, link);
    QFETCH(bool, restored);
    TempDataFolder data;
    fillDataFolder(data);
    const QString folder = data.root() + "/stick";
    QVERIFY(backupDataFolder(data.file("dados"), folder));
    QVERIFY(writeAt(data.root() + "/home/.bashrc", "export PATH\n"));
    const QString copy = folder + "/dados";
    const QString outside = data.root() + "/home/.bashrc";
    switch (link) {
    case BackupLink::FileInside:
        QVERIFY(QFile::link(copy + "/Finance/03.2013.fin", copy + "/Notas/Map.next"));
        break;
    case BackupLink::FolderInside:
        QVERIFY(QFile::link(copy + "/Finance", copy + "/Notas/Financas"));
        break;
    case BackupLink::FileOutside:
        QVERIFY(QFile::link(outside, copy + "/Notas/Map.next"));
        break;
    case BackupLink::FolderOutside:
        QVERIFY(QFile::link(data.root() + "/home", copy + "/Notas/casa"));
        break;
    case BackupLink::Loop:
        QVERIFY(QFile::link(copy, copy + "/Notas/volta"));
        break;
    case BackupLink::CopyIsALink:
        QVERIFY(QDir().rename(copy, folder + "/real"));
        QVERIFY(QFile::link(folder + "/real", copy));
        break;
    }
    QVERIFY(data.write("dados/Finance/03.2013.fin", "depois do backup\r\n"));
    const auto live = seen(data.file("dados"));
    const auto backup = seen(copy);

    const BackupOutcome outcome =
        restoreDataFolder(data.file("dados"), folder, at("2013-03-15 10:00:00.000"));
    QCOMPARE(outcome.ok, restored);
    QCOMPARE(readAt(data.root() + "/home/.bashrc"), QByteArray("export PATH\n"));
    if (!restored) {
        QCOMPARE(seen(data.file("dados")), live);
        QCOMPARE(entryNames(data.root() + "/app"), QStringList{"dados"});
        return;
    }
    QCOMPARE(seen(data.file("dados")), backup);
    QDirIterator it(data.file("dados"), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        QVERIFY2(!it.nextFileInfo().isSymLink(), qPrintable(it.filePath()));
    QVERIFY(!QFileInfo::exists(data.file("dados/") + kBackupMarkName));
}

void TestBackupLogic::copiesKeepPermissionBits()
{
    TempDataFolder data;
    fillDataFolder(data);
    const QString dados = data.file("dados");
    const QList<QPair<QString, int>> modes{{"", 0700},
                                           {"Finance", 0750},
                                           {"Finance/03.2013.fin", 0600},
                                           {"Finance/2013.CX", 0400},
                                           {"Notas", 0700},
                                           {"Back.auto", 0640},
                                           {"Diary/sub", 0500}};
    auto modeOf = [](const QString &path) {
        struct stat st
        {
        };
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    };
    // Folders last, deepest first, so a read-only folder is set once its content is.
    for (auto it = modes.crbegin(); it != modes.crend(); ++it)
        QCOMPARE(::chmod(QFile::encodeName(dados + "/" + it->first).constData(), it->second), 0);

    const QString folder = data.root() + "/backup";
    QVERIFY(backupDataFolder(dados, folder));
    for (const auto &[rel, mode] : modes)
        QCOMPARE(modeOf(folder + "/dados/" + rel), mode);
    // A second backup replaces a copy holding a read-only folder.
    QVERIFY(backupDataFolder(dados, folder));
    QCOMPARE(entryNames(folder), QStringList{"dados"});

    QVERIFY(restoreDataFolder(dados, folder, at("2013-03-15 10:00:00.000")));
    for (const auto &[rel, mode] : modes)
        QCOMPARE(modeOf(dados + "/" + rel), mode);
}

void TestBackupLogic::restoreSwapsInCopyAndKeepsReplacedData()
{
    TempDataFolder data;
    fillDataFolder(data);
    const QString folder = data.root() + "/backup/";
    QVERIFY(backupDataFolder(data.file("dados"), folder));
    const auto backup = seen(folder + "dados");

    QVERIFY(data.write("dados/Finance/03.2013.fin", "errado\r\n"));
    QVERIFY(data.write("dados/Notas/novo.tel", "x\r\n"));
    const auto beforeFirst = seen(data.file("dados"));
    QVERIFY(restoreDataFolder(data.file("dados"), folder, at("2013-03-15 10:00:00.000")));
    QCOMPARE(seen(data.file("dados")), backup);
    const QString kept1 = data.root() + "/app/dados-anterior-2013-03-15_10-00-00";
    QCOMPARE(seen(kept1), beforeFirst);
    QCOMPARE(entryNames(data.root() + "/app"), (QStringList{"dados", "dados-anterior-2013-03-15_10-00-00"}));

    // The next restore keeps the folder it replaced too: the first one may hold the only
    // copy of work saved after the backup, and a folder of the user's that starts with the
    // same name is theirs.
    QVERIFY(QDir().mkpath(data.root() + "/app/dados-anterior-meu"));
    QVERIFY(data.write("dados/Fontes.cad", "Mercado\r\n"));
    const auto beforeSecond = seen(data.file("dados"));
    const BackupOutcome second = restoreDataFolder(data.file("dados"), folder, at("2013-03-16 08:15:30.000"));
    QVERIFY(second.ok);
    QCOMPARE(second.setAside, data.root() + "/app/dados-anterior-2013-03-16_08-15-30");
    QCOMPARE(seen(data.file("dados")), backup);
    QCOMPARE(entryNames(data.root() + "/app"),
             (QStringList{"dados", "dados-anterior-2013-03-15_10-00-00", "dados-anterior-2013-03-16_08-15-30",
                          "dados-anterior-meu"}));
    QCOMPARE(seen(kept1), beforeFirst);
    QCOMPARE(seen(second.setAside), beforeSecond);
}

enum class RestoreFault { NoCopy, EmptyFolder, RelativeFolder, DamagedCopy, PipeInCopy, Cancelled };
Q_DECLARE_METATYPE(RestoreFault)

void TestBackupLogic::failedRestoreLeavesDataFolder_data()
{
    QTest::addColumn<RestoreFault>("fault");
    QTest::newRow("no copy in the folder") << RestoreFault::NoCopy;
    QTest::newRow("empty folder field") << RestoreFault::EmptyFolder;
    QTest::newRow("relative folder") << RestoreFault::RelativeFolder;
    QTest::newRow("copy differs from the backup") << RestoreFault::DamagedCopy;
    QTest::newRow("backup entry that cannot be read") << RestoreFault::PipeInCopy;
    QTest::newRow("stopped midway") << RestoreFault::Cancelled;
}

void TestBackupLogic::failedRestoreLeavesDataFolder()
{
    QFETCH(RestoreFault, fault);
    TempDataFolder data;
    fillDataFolder(data);
    QString folder = data.root() + "/backup";
    QVERIFY(backupDataFolder(data.file("dados"), folder));
    QVERIFY(data.write("dados/Finance/03.2013.fin", "depois do backup\r\n"));

    std::atomic<bool> cancel{false};
    TreeCopyOptions options;
    options.cancel = &cancel;
    switch (fault) {
    case RestoreFault::NoCopy:
        folder = data.root() + "/elsewhere";
        QVERIFY(QDir().mkpath(folder));
        break;
    case RestoreFault::EmptyFolder:
        folder.clear();
        break;
    case RestoreFault::RelativeFolder:
        folder = "backup";
        break;
    case RestoreFault::DamagedCopy:
        options.afterFileWritten = [](const QString &file) {
            if (file.endsWith("03.2013.fin"))
                damage(file);
        };
        break;
    case RestoreFault::PipeInCopy:
        QVERIFY(makeFifo(folder + "/dados/Notas/fila"));
        break;
    case RestoreFault::Cancelled:
        options.afterFileWritten = [&cancel](const QString &) { cancel = true; };
        break;
    }
    const auto live = seen(data.file("dados"));
    const QStringList install = entryNames(data.root() + "/app");

    QVERIFY(!restoreDataFolder(data.file("dados"), folder, at("2013-03-15 10:00:00.000"), options));
    QCOMPARE(seen(data.file("dados")), live);
    QCOMPARE(entryNames(data.root() + "/app"), install);
}

void TestBackupLogic::restoreRecreatesMissingDataFolder()
{
    TempDataFolder data;
    fillDataFolder(data);
    const QString folder = data.root() + "/backup";
    QVERIFY(backupDataFolder(data.file("dados"), folder));
    const QString dataDir = data.file("dados");
    QVERIFY(QDir(dataDir).removeRecursively());
    QVERIFY(restoreDataFolder(dataDir, folder, at("2013-03-15 10:00:00.000")));
    QCOMPARE(seen(dataDir), seen(folder + "/dados"));
    QCOMPARE(entryNames(data.root() + "/app"), QStringList{"dados"});
}

void TestBackupLogic::runnerDeliversOnItsThreadOneJobAtATime()
{
    BackupRunner runner;
    QSignalSpy finished(&runner, &BackupRunner::finished);
    QThread *receivedOn = nullptr;
    connect(&runner, &BackupRunner::finished, this, [&] { receivedOn = QThread::currentThread(); });
    QSemaphore release;
    QThread *workedOn = nullptr;
    QVERIFY(runner.start(BackupRunner::Job::Restore, [&](const std::atomic<bool> &) {
        workedOn = QThread::currentThread();
        release.acquire();
        return true;
    }));
    QVERIFY(runner.isBusy());
    QVERIFY(!runner.start(BackupRunner::Job::Backup, [](const std::atomic<bool> &) { return true; }));
    release.release();
    QVERIFY(finished.wait());
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0][0].value<BackupRunner::Job>(), BackupRunner::Job::Restore);
    QCOMPARE(finished[0][1].toBool(), true);
    QVERIFY(workedOn != QThread::currentThread());
    QCOMPARE(receivedOn, QThread::currentThread());
    QVERIFY(!runner.isBusy());

    // A job that throws reports failure; the runner takes the next one.
    QVERIFY(runner.start(BackupRunner::Job::Backup,
                         [](const std::atomic<bool> &) -> bool { throw std::runtime_error("disk gone"); }));
    QVERIFY(runner.waitForFinished());
    QCOMPARE(finished.size(), 2);
    QCOMPARE(finished[1][1].toBool(), false);
}

void TestBackupLogic::runnerDestructionStopsTheJob()
{
    std::atomic<bool> sawCancel{false};
    QSemaphore started;
    {
        BackupRunner runner;
        QVERIFY(runner.start(BackupRunner::Job::Backup, [&](const std::atomic<bool> &cancel) {
            started.release();
            while (!cancel)
                QThread::msleep(1);
            sawCancel = true;
            return false;
        }));
        started.acquire();
    }
    QVERIFY(sawCancel);
}

// The installation's random id is written once, owner-only, into the stand-in folder and
// nowhere else, and read back the same afterwards.
void TestBackupLogic::installationKeyStaysInTheStandInFolder()
{
    TempDataFolder data;
    const QString standIn = data.paths().windowsDir();
    const QStringList before =
        QDir(standIn).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const QString dataBefore = QDir(data.file("dados")).entryList(QDir::AllEntries | QDir::Hidden).join('|');

    const BackupMark first = BackupMark::forUser(standIn, QDateTime::currentDateTime());
    QCOMPARE(first.key.size(), 32);
    QCOMPARE(QByteArray::fromHex(first.key).toHex(), first.key);
    const QStringList after = QDir(standIn).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QCOMPARE(after.size(), before.size() + 1);
    const QString keyFile = standIn + '/' + QStringList(after).filter(QRegularExpression("key")).value(0);
    const QFile::Permissions rights = QFile::permissions(keyFile);
    QVERIFY(rights.testFlags(QFile::ReadOwner | QFile::WriteOwner));
    QVERIFY(!(rights & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                        QFile::WriteOther | QFile::ExeOther)));
    QCOMPARE(QDir(data.file("dados")).entryList(QDir::AllEntries | QDir::Hidden).join('|'), dataBefore);
    QCOMPARE(BackupMark::forUser(standIn, QDateTime::currentDateTime()).key, first.key);

    // A pipe in the id's place neither blocks nor is read: a new id is kept instead.
    QVERIFY(QFile::remove(keyFile));
    QCOMPARE(::mkfifo(QFile::encodeName(keyFile).constData(), 0600), 0);
    const BackupMark afterPipe = BackupMark::forUser(standIn, QDateTime::currentDateTime());
    QCOMPARE(afterPipe.key.size(), 32);
    QVERIFY(QFileInfo(keyFile).isFile());
}

QTEST_GUILESS_MAIN(TestBackupLogic)
#include "tst_backuplogic.moc"

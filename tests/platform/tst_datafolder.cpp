// The installed program's data folder: used only when it is a real folder of the user that
// nobody else can change; otherwise the start is refused with the folder and the reason.
#include "platform/datafolder.h"
#include "platform/fakes.h"
#include "store/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

using namespace zorv;

namespace {

constexpr uid_t kNobody = 65534;
// The exit code of a child that could not take the other user's identity.
constexpr int kNoOrdinaryUser = 125;

int modeOf(const QString &path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

bool setMode(const QString &path, int mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0;
}

// Runs `work` in a child process; when the tests run as the superuser, the child is the
// ordinary user "nobody" and the superuser plays the other user. The child's exit code, or
// -1 when it did not exit.
int inChild(const std::function<int()> &work, bool asNobody)
{
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (asNobody && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(kNoOrdinaryUser);
        ::_exit(work());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

class TestDataFolder : public QObject
{
    Q_OBJECT

private slots:
    void ownFolderOnly_data();
    void ownFolderOnly();
    void anotherUsersFolderIsNeverAdopted_data();
    void anotherUsersFolderIsNeverAdopted();
    void refusalNamesTheFolderAndWhy();
    void newFilesAreTheUsersAlone();
    void installedProgramRefusesToStart();
};

void TestDataFolder::ownFolderOnly_data()
{
    QTest::addColumn<QString>("standing"); // what stands at the data folder's place first
    QTest::addColumn<int>("trust");
    QTest::newRow("nothing: made owner-only") << "nothing" << int(FolderTrust::Own);
    QTest::newRow("own folder others may read") << "0755" << int(FolderTrust::Own);
    QTest::newRow("own private folder") << "0700" << int(FolderTrust::Own);
    QTest::newRow("group may write") << "0770" << int(FolderTrust::OpenToOthers);
    QTest::newRow("everybody may write, sticky") << "1777" << int(FolderTrust::OpenToOthers);
    QTest::newRow("link to an own folder") << "link" << int(FolderTrust::Link);
    QTest::newRow("a file") << "file" << int(FolderTrust::NotAFolder);
}

// A folder found at the place is used only when it is the user's and nobody else may change
// it; a refused one is left exactly as found (no rights tightened, nothing made in it).
void TestDataFolder::ownFolderOnly()
{
    QFETCH(QString, standing);
    QFETCH(int, trust);
    QTemporaryDir home;
    const QString share = home.path() + QStringLiteral("/.local/share");
    const QString folder = userDataFolder(QString(), home.path());
    QCOMPARE(folder, share + QStringLiteral("/zorv-desk"));
    QVERIFY(QDir().mkpath(share));
    const QString elsewhere = home.path() + QStringLiteral("/elsewhere");
    QVERIFY(QDir().mkpath(elsewhere));
    if (standing == QLatin1String("link")) {
        QVERIFY(QFile::link(elsewhere, folder));
    } else if (standing == QLatin1String("file")) {
        QFile f(folder);
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else if (standing != QLatin1String("nothing")) {
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(setMode(folder, standing.toInt(nullptr, 8)));
    }
    const int modeBefore = modeOf(folder);

    QCOMPARE(int(claimUserDataFolder(folder)), trust);
    if (standing == QLatin1String("nothing"))
        QCOMPARE(modeOf(folder), 0700);
    else
        QCOMPARE(modeOf(folder), modeBefore);
    if (FolderTrust(trust) != FolderTrust::Own) {
        QVERIFY(!dataFolderProblem(FolderTrust(trust)).isEmpty());
        QCOMPARE(QDir(elsewhere).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }
}

void TestDataFolder::anotherUsersFolderIsNeverAdopted_data()
{
    QTest::addColumn<QString>("plant");
    QTest::addColumn<int>("trust");
    // $XDG_DATA_HOME on a shared folder where the other user made "zorv-desk" first.
    QTest::newRow("other user's folder in a shared place") << "shared" << int(FolderTrust::OtherOwner);
    // ~/.local/share/zorv-desk is a link to the other user's folder.
    QTest::newRow("link to the other user's folder") << "link" << int(FolderTrust::Link);
}

// The user (nobody, in a child) meets a data folder the other user (the superuser here)
// planted; the user's start refuses it and writes nothing into it.
void TestDataFolder::anotherUsersFolderIsNeverAdopted()
{
    QFETCH(QString, plant);
    QFETCH(int, trust);
    if (::geteuid() != 0)
        QSKIP("two users are needed: run the tests as the superuser");
    QTemporaryDir root;
    QVERIFY(setMode(root.path(), 0755));
    const QString shared = root.path() + QStringLiteral("/shared");
    QVERIFY(QDir().mkdir(shared));
    QVERIFY(setMode(shared, 01777));
    const QString planted = shared + QStringLiteral("/zorv-desk");
    QVERIFY(QDir().mkdir(planted));
    QVERIFY(setMode(planted, 0777)); // even a folder the user could write is not theirs
    QVERIFY(QDir().mkdir(planted + QStringLiteral("/dados")));
    QVERIFY(setMode(planted + QStringLiteral("/dados"), 0777));
    const QString home = root.path() + QStringLiteral("/home");
    QVERIFY(QDir().mkpath(home + QStringLiteral("/.local/share")));
    for (const QString &dir :
         {home, home + QStringLiteral("/.local"), home + QStringLiteral("/.local/share")})
        QCOMPARE(::chown(QFile::encodeName(dir).constData(), kNobody, kNobody), 0);
    QString xdgDataHome;
    if (plant == QLatin1String("shared")) {
        xdgDataHome = shared;
    } else {
        const QString link = home + QStringLiteral("/.local/share/zorv-desk");
        QVERIFY(QFile::link(planted, link));
        QCOMPARE(::lchown(QFile::encodeName(link).constData(), kNobody, kNobody), 0);
    }

    const int answer = inChild(
        [&] {
            const QString folder = userDataFolder(xdgDataHome, home);
            return int(claimUserDataFolder(folder));
        },
        true);
    QVERIFY(answer != kNoOrdinaryUser);
    QCOMPARE(answer, trust);
    QCOMPARE(QDir(planted).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{"dados"});
    QCOMPARE(QDir(planted + QStringLiteral("/dados")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
}

// The refusal tells the user which folder and why, and leaves one log line that does too.
void TestDataFolder::refusalNamesTheFolderAndWhy()
{
    FakeDialogs dialogs;
    const QString folder = QStringLiteral("/srv/compartilhada/zorv-desk");
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("/srv/compartilhada/zorv-desk.*another user")));
    refuseDataFolder(dialogs, folder, FolderTrust::OtherOwner);
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown.first().kind, FakeDialogs::Kind::Message);
    QCOMPARE(dialogs.shown.first().icon, MessageIcon::Error);
    const QString text = dialogs.shown.first().text;
    QVERIFY2(text.contains(folder), qPrintable(text));
    QVERIFY2(text.contains(dataFolderProblem(FolderTrust::OtherOwner)), qPrintable(text));
}

// Once restricted, what the process creates is the user's alone; a launcher it starts puts
// the user's usual mode back for the programs it runs.
void TestDataFolder::newFilesAreTheUsersAlone()
{
    QTemporaryDir dir;
    const QByteArray file = QFile::encodeName(dir.path() + QStringLiteral("/novo"));
    const QByteArray later = QFile::encodeName(dir.path() + QStringLiteral("/depois"));
    const int result = inChild(
        [&] {
            ::umask(022);
            qunsetenv("ZORV_DESK_USUAL_UMASK");
            restrictNewFilesToOwner();
            int fd = ::open(file.constData(), O_CREAT | O_WRONLY, 0666);
            if (fd < 0)
                return 1;
            ::close(fd);
            // What a launcher started from here does first.
            restoreUsualNewFileMode();
            if (qEnvironmentVariableIsSet("ZORV_DESK_USUAL_UMASK"))
                return 2;
            fd = ::open(later.constData(), O_CREAT | O_WRONLY, 0666);
            if (fd < 0)
                return 3;
            ::close(fd);
            return 0;
        },
        false);
    QCOMPARE(result, 0);
    QCOMPARE(modeOf(QFile::decodeName(file)), 0600);
    QCOMPARE(modeOf(QFile::decodeName(later)), 0644);
}

// The installed program itself, over a data folder its group may write: it says so in its log
// and in a message (which waits for the user, so the test ends it there), and has written
// nothing into the folder.
void TestDataFolder::installedProgramRefusesToStart()
{
    const QString built = QCoreApplication::applicationDirPath() + QStringLiteral("/zorv-desk");
    if (!QFile::exists(built))
        QSKIP("the program is not part of this build");
    QTemporaryDir root;
    // An installation under a prefix of its own: the program in bin, its companions' folder.
    const QString bin = root.path() + QStringLiteral("/prefix/bin");
    QVERIFY(QDir().mkpath(bin));
    QVERIFY(QDir().mkpath(root.path() + QStringLiteral("/prefix/libexec/zorv-desk")));
    QVERIFY(QFile::copy(built, bin + QStringLiteral("/zorv-desk")));
    const QString folder = root.path() + QStringLiteral("/share/zorv-desk");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(setMode(folder, 0770));

    QProcess desk;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), root.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), root.path() + QStringLiteral("/share"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), root.path() + QStringLiteral("/cache"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("zorv.app.warning=true"));
    desk.setProcessEnvironment(env);
    desk.setProgram(bin + QStringLiteral("/zorv-desk"));
    desk.start();
    QVERIFY(desk.waitForStarted());
    QString said;
    QTRY_VERIFY_WITH_TIMEOUT((said += QString::fromUtf8(desk.readAllStandardError()))
                                 .contains(QStringLiteral("its group or other users can write it")),
                             15000);
    desk.kill();
    desk.waitForFinished();
    QVERIFY2(said.contains(folder), qPrintable(said));
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    QCOMPARE(modeOf(folder), 0770);
}

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"

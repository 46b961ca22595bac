// The Web launcher runs a program only from a place programs are installed in; a file in
// the data folder or on a stick goes to the desktop's application for its type, and a
// program of the user's own elsewhere runs only after a question that names it.
#include "carryout.h"
#include "opentarget.h"

#include "platform/fakes.h"
#include "reports/launcher.h"
#include "tempdatafolder.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace zorv;

// Takes the desktop's openings of local files in place of the desktop.
class OpenedFiles : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

class TestWebLaunch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void onlyInstalledProgramsRun_data();
    void onlyInstalledProgramsRun();
    void systemProgramsRunWithoutAQuestion();
    void companionNeverRunsAScriptFromTheDataFolder();
    void installedCompanionReadsNoForeignHandOff();

private:
    OpenedFiles m_opened;
};

namespace {

// A shell script that leaves `marker` behind when it runs.
QByteArray markingScript(const QString &marker)
{
    return "#!/bin/sh\ntouch '" + QFile::encodeName(marker) + "'\n";
}

bool writeProgram(const QString &path, const QByteArray &content, int mode = 0755)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        return false;
    f.close();
    return ::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0;
}

} // namespace

void TestWebLaunch::init()
{
    m_opened.urls.clear();
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_opened, "open");
}

void TestWebLaunch::cleanup()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

void TestWebLaunch::onlyInstalledProgramsRun_data()
{
    // "@" stands for the exe folder, "~" for the temporary folder around it (where a stick is
    // mounted at "~/pendrive" and the user keeps programs in "~/meus").
    QTest::addColumn<QString>("file");   // where the program is
    QTest::addColumn<QString>("target"); // what is handed off, when not the file itself
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("outcome"); // "open", "start" or "ask"
    QTest::addColumn<bool>("answer");     // to the question, when there is one

    QTest::newRow("script in the data folder") << "@dados/Notas/nota"
                                               << "" << 0755 << "open" << false;
    QTest::newRow("same, as a file address") << "@dados/Notas/nota"
                                             << "file://@dados/Notas/nota" << 0755 << "open" << false;
    QTest::newRow("same, as a relative path") << "@dados/Notas/nota"
                                              << "Dados\\Notas\\nota" << 0755 << "open" << false;
    QTest::newRow("link beside the program into the data folder") << "@dados/Notas/nota"
                                                                  << "@atalho" << 0755 << "open" << false;
    QTest::newRow("script on a FAT stick") << "~/pendrive/jogo"
                                           << "" << 0755 << "open" << false;
    QTest::newRow("script others can change") << "~/meus/comum"
                                              << "" << 0777 << "open" << false;
    QTest::newRow("script beside the program") << "@ferramenta"
                                               << "" << 0755 << "start" << false;
    QTest::newRow("own script elsewhere, answered no") << "~/meus/meu"
                                                       << "" << 0755 << "ask" << false;
    QTest::newRow("own script elsewhere, answered yes") << "~/meus/meu"
                                                        << "" << 0755 << "ask" << true;
}

void TestWebLaunch::onlyInstalledProgramsRun()
{
    QFETCH(QString, file);
    QFETCH(QString, target);
    QFETCH(int, mode);
    QFETCH(QString, outcome);
    QFETCH(bool, answer);
    TempDataFolder data;
    const QString exe = data.paths().exeDir();
    auto expand = [&](QString text) {
        return text.replace(QLatin1Char('@'), exe).replace(QLatin1Char('~'), data.root());
    };
    const QString marker = data.root() + QStringLiteral("/ran");
    const QString program = expand(file);
    QVERIFY(writeProgram(program, markingScript(marker), mode));
    if (target == QLatin1String("@atalho"))
        QVERIFY(QFile::link(program, exe + QStringLiteral("atalho")));
    const QString handedOff = target.isEmpty() ? program : expand(target);
    const QString stick = data.root() + QStringLiteral("/pendrive/");
    auto fileSystemOf = [&](const QString &path) {
        return path.startsWith(stick) ? QByteArray("vfat") : QByteArray("ext4");
    };

    const OpenAction action = classifyTarget(handedOff, data.paths(), fileSystemOf);
    FakeDialogs dialogs;
    dialogs.answers << answer;
    const bool done = carryOut(action, dialogs);

    if (outcome == QLatin1String("open")) {
        QCOMPARE(int(action.kind), int(OpenAction::Open));
        QVERIFY(done);
        QCOMPARE(m_opened.urls.size(), 1);
        QVERIFY(m_opened.urls.first().isLocalFile());
        QCOMPARE(QFileInfo(m_opened.urls.first().toLocalFile()).canonicalFilePath(),
                 QFileInfo(program).canonicalFilePath());
        QVERIFY(dialogs.shown.isEmpty());
        QVERIFY(!QFile::exists(marker));
        return;
    }
    QCOMPARE(int(action.kind), int(OpenAction::Start));
    QCOMPARE(action.askFirst, outcome == QLatin1String("ask"));
    QVERIFY(m_opened.urls.isEmpty());
    if (action.askFirst) {
        QCOMPARE(dialogs.questions(), QStringList{runProgramQuestion(program)});
        QVERIFY(dialogs.questions().first().contains(program));
        QCOMPARE(dialogs.shown.first().defaultAnswer, DefaultAnswer::No);
    } else {
        QVERIFY(dialogs.shown.isEmpty());
    }
    const bool runs = !action.askFirst || answer;
    QCOMPARE(done, runs);
    if (runs)
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 5000);
    else
        QVERIFY(!QFile::exists(marker));
}

// The system's own programs, found through the links of a merged /usr, start at once.
void TestWebLaunch::systemProgramsRunWithoutAQuestion()
{
    TempDataFolder data;
    for (const char *path : {"/bin/sh", "/usr/bin/env"}) {
        if (!QFileInfo(QLatin1StringView(path)).isExecutable())
            continue;
        const OpenAction action = classifyTarget(QLatin1StringView(path), data.paths());
        QCOMPARE(int(action.kind), int(OpenAction::Start));
        QVERIFY(!action.askFirst);
    }
}

// The companion itself, handed a script of the data folder: it hands the file to the
// desktop (which, on the test platform, has nothing to open it with and says so) and the
// script never runs.
void TestWebLaunch::companionNeverRunsAScriptFromTheDataFolder()
{
    const QString built = QCoreApplication::applicationDirPath() + QStringLiteral("/Web");
    if (!QFile::exists(built))
        QSKIP("the companion is not part of this build");
    TempDataFolder data;
    const QString exe = data.paths().exeDir();
    QVERIFY(QFile::copy(built, exe + QStringLiteral("Web")));
    const QString marker = data.root() + QStringLiteral("/ran");
    const QString nota = data.file(QStringLiteral("dados/Notas/nota"));
    QVERIFY(writeProgram(nota, markingScript(marker)));
    FakeProgramStarter unused;
    QVERIFY(OpenThroughLauncher(data.paths(), unused, nota));

    QProcess web;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("zorv.launcher.warning=true"));
    web.setProcessEnvironment(env);
    web.setProgram(exe + QStringLiteral("Web"));
    web.setWorkingDirectory(QDir::tempPath());
    web.start();
    QVERIFY(web.waitForFinished(15000));
    QCOMPARE(web.exitCode(), 0);
    // The launcher does one thing per hand-off, and that was an opening of the file.
    const QString said = QString::fromUtf8(web.readAllStandardError());
    QVERIFY2(said.contains(QStringLiteral("opened nothing for ") + nota), qPrintable(said));
    QVERIFY(!QFile::exists(marker));
}

// Installed, the companion reads its hand-off from the user's data folder only when that is the
// user's own that nobody else can change: from a folder its group may write, even a program
// it would otherwise start at once is left alone.
void TestWebLaunch::installedCompanionReadsNoForeignHandOff()
{
    const QString built = QCoreApplication::applicationDirPath() + QStringLiteral("/Web");
    if (!QFile::exists(built))
        QSKIP("the companion is not part of this build");
    QTemporaryDir root;
    const QString companions = root.path() + QStringLiteral("/prefix/libexec/zorv-desk");
    QVERIFY(QDir().mkpath(companions));
    QVERIFY(writeProgram(root.path() + QStringLiteral("/prefix/bin/zorv-desk"), "#!/bin/sh\n"));
    QVERIFY(QFile::copy(built, companions + QStringLiteral("/Web")));
    const QString marker = root.path() + QStringLiteral("/ran");
    QVERIFY(writeProgram(companions + QStringLiteral("/ferramenta"), markingScript(marker)));
    const QString folder = root.path() + QStringLiteral("/share/zorv-desk");
    QVERIFY(writeProgram(folder + QStringLiteral("/dados/Web.start"),
                         QFile::encodeName(companions + QStringLiteral("/ferramenta\r\n")), 0644));
    QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0770) == 0);

    QProcess web;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), root.path() + QStringLiteral("/share"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("zorv.launcher.warning=true"));
    web.setProcessEnvironment(env);
    web.setProgram(companions + QStringLiteral("/Web"));
    web.setWorkingDirectory(QDir::tempPath());
    web.start();
    QVERIFY(web.waitForFinished(15000));
    QCOMPARE(web.exitCode(), 0);
    const QString said = QString::fromUtf8(web.readAllStandardError());
    QVERIFY2(said.contains(QStringLiteral("Not reading the hand-off file")) && said.contains(folder),
             qPrintable(said));
    QVERIFY(!QFile::exists(marker));
}

QTEST_MAIN(TestWebLaunch)
#include "tst_weblaunch.moc"

#include "opentarget.h"
#include "platform/fakes.h"
#include "reports/launcher.h"
#include "store/paths.h"
#include "tempdatafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace zorv;

class TestWebLauncher : public QObject
{
    Q_OBJECT

private slots:
    void handOffHoldsTheTargetAndStartsTheCompanion_data();
    void handOffHoldsTheTargetAndStartsTheCompanion();
    void exeFolderWithSpaces();
    void unwritableHandOffStartsNothing();
    void toAnsi();
    void readHandOff_data();
    void readHandOff();
    void classify_data();
    void classify();
    void classifyEntries_data();
    void classifyEntries();
    void companionProgram();
};

void TestWebLauncher::handOffHoldsTheTargetAndStartsTheCompanion_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("web address") << "https://example.com/a?b=1"
                                 << QByteArray("https://example.com/a?b=1\r\n");
    QTest::newRow("accented path") << "/home/zé/Relatório.html"
                                   << QByteArray("/home/z\xe9/Relat\xf3rio.html\r\n");
    QTest::newRow("path beyond the code page")
        << "/home/Дом/Relatorio.html"
        << QByteArray("\xef\xbb\xbf/home/\xd0\x94\xd0\xbe\xd0\xbc/Relatorio.html\r\n");
}

void TestWebLauncher::handOffHoldsTheTargetAndStartsTheCompanion()
{
    QFETCH(QString, target);
    QFETCH(QByteArray, bytes);
    TempDataFolder data;
    FakeServices fake;
    data.write(QStringLiteral("dados/Web.start"), "an older target\r\nand more\r\n");
    QVERIFY(OpenThroughLauncher(data.paths(), fake.services(), target));
    QCOMPARE(data.read(QStringLiteral("dados/Web.start")), bytes);
    QCOMPARE(fake.programs.started.size(), 1);
    QCOMPARE(fake.programs.started[0].program, data.paths().exeDir() + QStringLiteral("Web"));
    QVERIFY(fake.programs.started[0].arguments.isEmpty());
    // What the companion reads back is the target, whole.
    QCOMPARE(readHandOffTarget(data.paths()), std::optional<QString>(target));
}

// The program path is handed over whole, never split at a space.
void TestWebLauncher::exeFolderWithSpaces()
{
    QTemporaryDir root;
    const QString exe = root.path() + QStringLiteral("/Meus Programas/Zorv Desk");
    QVERIFY(QDir().mkpath(exe + QStringLiteral("/dados")));
    const Paths paths(exe, root.path());
    FakeProgramStarter programs;
    QVERIFY(OpenThroughLauncher(paths, programs, QStringLiteral("https://example.com")));
    QCOMPARE(programs.started.size(), 1);
    QCOMPARE(programs.started[0].program, exe + QStringLiteral("/Web"));
}

void TestWebLauncher::unwritableHandOffStartsNothing()
{
    QTemporaryDir exe; // no data folder
    const Paths paths(exe.path(), exe.path());
    FakeProgramStarter programs;
    QVERIFY(!OpenThroughLauncher(paths, programs, QStringLiteral("https://example.com")));
    QVERIFY(programs.started.isEmpty());
}

void TestWebLauncher::toAnsi()
{
    QCOMPARE(ToAnsi(QString()), QByteArray());
    QCOMPARE(ToAnsi(QStringLiteral("C:\\Arquivos de programas\\Ação\\Web.exe")),
             QByteArray("C:\\Arquivos de programas\\A\xe7\xe3o\\Web.exe"));
    QCOMPARE(ToAnsi(QStringLiteral("Дом €")), QByteArray("??? \x80"));
}

void TestWebLauncher::readHandOff_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("target"); // empty: nothing to open
    QTest::newRow("missing") << QString() << QByteArray() << QString();
    QTest::newRow("empty") << "dados/Web.start" << QByteArray() << QString();
    QTest::newRow("blank line") << "dados/Web.start" << QByteArray(" \r\n") << QString();
    QTest::newRow("first line counts")
        << "dados/Web.start" << QByteArray("www.example.com\r\nother\r\n") << "www.example.com";
    QTest::newRow("any letter case") << "dados/WEB.START" << QByteArray("/tmp/a b.html\r\n")
                                     << "/tmp/a b.html";
    QTest::newRow("Windows-1252") << "dados/Web.start" << QByteArray("/tmp/Relat\xf3rio.html\r\n")
                                  << "/tmp/Relatório.html";
}

void TestWebLauncher::readHandOff()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, target);
    TempDataFolder data;
    if (!name.isEmpty())
        QVERIFY(data.write(name, bytes));
    const std::optional<QString> read = readHandOffTarget(data.paths());
    QCOMPARE(read.value_or(QString()), target);
    QCOMPARE(read.has_value(), !target.isEmpty());
}

void TestWebLauncher::classify_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected"); // program path or URL; "@" stands for the exe folder

    QTest::newRow("nothing") << "  " << int(OpenAction::Nothing) << QString();
    QTest::newRow("https") << "https://example.com/x" << int(OpenAction::Open) << "https://example.com/x";
    QTest::newRow("www") << "www.example.com" << int(OpenAction::Open) << "http://www.example.com";
    QTest::newRow("mail") << "mailto:a@example.com" << int(OpenAction::Open) << "mailto:a@example.com";
    QTest::newRow("report") << "@dados/Relatorio.html" << int(OpenAction::Open)
                            << "file://@dados/Relatorio.html";
    QTest::newRow("report with the executable bit")
        << "@dados/marked.html" << int(OpenAction::Open) << "file://@dados/marked.html";
    QTest::newRow("file URL of a script") << "file://@tool.sh" << int(OpenAction::Start) << "@tool.sh";
    QTest::newRow("script") << "@tool.sh" << int(OpenAction::Start) << "@tool.sh";
    QTest::newRow("binary") << "@program" << int(OpenAction::Start) << "@program";
    QTest::newRow("relative to the exe folder")
        << "dados/Relatorio.html" << int(OpenAction::Open) << "file://@dados/Relatorio.html";
    QTest::newRow("folder") << "@dados" << int(OpenAction::Open) << "file://@dados";
    // Spaces belong to the path: "nota " beside "nota" is the other file.
    QTest::newRow("trailing space") << "@nota " << int(OpenAction::Open) << "file://@nota ";
    QTest::newRow("leading space") << "@dados/ nota" << int(OpenAction::Open) << "file://@dados/ nota";
    QTest::newRow("program with a trailing space") << "@run me " << int(OpenAction::Start) << "@run me ";
    QTest::newRow("only the line ending goes") << "@nota \r\n" << int(OpenAction::Open) << "file://@nota ";
}

void TestWebLauncher::classify()
{
    QFETCH(QString, target);
    QFETCH(int, kind);
    QFETCH(QString, expected);
    TempDataFolder data;
    const QString exe = data.paths().exeDir();
    data.write(QStringLiteral("dados/Relatorio.html"), "<html>\r\n");
    data.write(QStringLiteral("dados/marked.html"), "<html>\r\n");
    data.write(QStringLiteral("tool.sh"), "#!/bin/sh\nexit 0\n");
    data.write(QStringLiteral("run me "), "#!/bin/sh\nexit 0\n");
    data.write(QStringLiteral("run me"), "não é programa\n");
    data.write(QStringLiteral("nota"), "a\r\n");
    data.write(QStringLiteral("nota "), "b\r\n");
    data.write(QStringLiteral("dados/ nota"), "c\r\n");
    QFile::copy(QCoreApplication::applicationFilePath(), exe + QStringLiteral("program"));
    const auto exec = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    for (const char *name : {"dados/marked.html", "tool.sh", "program", "run me "})
        QFile::setPermissions(exe + QLatin1StringView(name), exec);

    const OpenAction action = classifyTarget(QString(target).replace(QLatin1Char('@'), exe), data.paths());
    QCOMPARE(int(action.kind), kind);
    expected.replace(QLatin1Char('@'), exe);
    if (kind == OpenAction::Start)
        QCOMPARE(action.program, expected);
    else if (kind == OpenAction::Open)
        QCOMPARE(action.url.toString(), expected);
}

void TestWebLauncher::classifyEntries_data()
{
    // "@" stands for the exe folder, "#" for a folder on PATH holding "tool" and
    // "x-terminal-emulator".
    // "exe": beside the program; "apps": the applications folder; "stick": a removable disk;
    // "dados": the data folder
    QTest::addColumn<QString>("place");
    QTest::addColumn<bool>("runnable"); // the executable bit
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("program"); // Start: program; Open: URL
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("folder");

    const int start = OpenAction::Start, open = OpenAction::Open, nothing = OpenAction::Nothing;
    const QByteArray app = "[Desktop Entry]\nType=Application\nName=Tool\nIcon=tool-icon\n";
    QTest::newRow("application by name on PATH")
        << "exe" << true << app + "Exec=tool --open %U -i %i\nPath=/srv/work\n"
        << start << "#tool" << QStringList{"--open", "-i", "--icon", "tool-icon"} << "/srv/work";
    QTest::newRow("absolute program, home folder")
        << "exe" << true << app + "Exec=\"#tool\" \"a b\" %k\n"
        << start << "#tool" << QStringList{"a b", "@Tool.desktop"} << QDir::homePath();
    QTest::newRow("terminal") << "exe" << true << app + "Exec=tool -v\nTerminal=true\n"
                              << start << "#x-terminal-emulator" << QStringList{"-e", "#tool", "-v"}
                              << QDir::homePath();
    QTest::newRow("installed application needs no bit")
        << "apps" << false << app + "Exec=tool\n"
        << start << "#tool" << QStringList{} << QDir::homePath();
    QTest::newRow("untrusted application starts nothing")
        << "exe" << false << app + "Exec=tool\n"
        << nothing << QString() << QStringList{} << QString();
    // Every file on a FAT or NTFS stick carries the executable bit; so may a restored backup.
    QTest::newRow("runnable entry on a stick starts nothing")
        << "stick" << true << app + "Exec=tool\n"
        << nothing << QString() << QStringList{} << QString();
    QTest::newRow("runnable entry in the data folder starts nothing")
        << "dados" << true << app + "Exec=tool\n"
        << nothing << QString() << QStringList{} << QString();
    QTest::newRow("missing program") << "exe" << true << app + "Exec=no-such-program-zorv\n"
                                     << nothing << QString() << QStringList{} << QString();
    QTest::newRow("open quote") << "exe" << true << app + "Exec=\"tool\n"
                                << nothing << QString() << QStringList{} << QString();
    QTest::newRow("link") << "exe" << true
                          << QByteArray("[Desktop Entry]\nType=Link\nURL=https://example.com/x\n") << open
                          << "https://example.com/x" << QStringList{} << QString();
    QTest::newRow("link without address") << "exe" << true << QByteArray("[Desktop Entry]\nType=Link\n")
                                          << nothing << QString() << QStringList{} << QString();
    QTest::newRow("directory") << "exe" << true << QByteArray("[Desktop Entry]\nType=Directory\nName=D\n")
                               << nothing << QString() << QStringList{} << QString();
    QTest::newRow("not an entry at all")
        << "exe" << true << QByteArray("just text\n") << nothing << QString() << QStringList{} << QString();
}

// Desktop entries are started as they describe, never opened as text, and only when trusted.
void TestWebLauncher::classifyEntries()
{
    QFETCH(QString, place);
    QFETCH(bool, runnable);
    QFETCH(QByteArray, entry);
    QFETCH(int, kind);
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, folder);

    TempDataFolder data;
    QTemporaryDir bin, share;
    const QByteArray oldPath = qgetenv("PATH"), oldData = qgetenv("XDG_DATA_HOME");
    qputenv("PATH", bin.path().toUtf8() + ':' + oldPath);
    qputenv("XDG_DATA_HOME", share.path().toUtf8());
    auto restore = qScopeGuard([&] {
        qputenv("PATH", oldPath);
        if (oldData.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", oldData);
    });
    const auto exec = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    for (const char *name : {"/tool", "/x-terminal-emulator"}) {
        QFile f(bin.path() + QLatin1String(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.close();
        QFile::setPermissions(f.fileName(), exec);
    }
    const QString exe = data.paths().exeDir();
    QString file = exe + QStringLiteral("Tool.desktop");
    if (place == QLatin1String("apps")) {
        QVERIFY(QDir().mkpath(share.path() + QStringLiteral("/applications")));
        file = share.path() + QStringLiteral("/applications/Tool.desktop");
    } else if (place != QLatin1String("exe")) {
        const QString entryFolder = place == QLatin1String("stick")
                                        ? data.root() + QStringLiteral("/pendrive")
                                        : data.file(QStringLiteral("dados"));
        QVERIFY(QDir().mkpath(entryFolder));
        file = entryFolder + QStringLiteral("/Tool.desktop");
    }
    auto expand = [&](QString text) {
        return text.replace(QLatin1Char('@'), exe).replace(QLatin1Char('#'), bin.path() + QLatin1Char('/'));
    };
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(expand(QString::fromUtf8(entry)).toUtf8());
    }
    QFile::setPermissions(file, runnable ? exec : QFile::ReadOwner | QFile::WriteOwner);

    const OpenAction action = classifyTarget(file, data.paths());
    QCOMPARE(int(action.kind), kind);
    if (kind == OpenAction::Start) {
        QCOMPARE(action.program, expand(program));
        QStringList expected;
        for (const QString &a : arguments)
            expected << expand(a);
        QCOMPARE(action.arguments, expected);
        QCOMPARE(action.folder, folder);
    } else if (kind == OpenAction::Open) {
        QCOMPARE(action.url.toString(), program);
    }
}

// The companion itself, when the build has it beside the tests: with nothing handed off it
// ends quietly; a program handed off is started in its own folder.
void TestWebLauncher::companionProgram()
{
    const QString built = QCoreApplication::applicationDirPath() + QStringLiteral("/Web");
    if (!QFile::exists(built))
        QSKIP("the companion is not part of this build");
    TempDataFolder data;
    const QString exe = data.paths().exeDir();
    QVERIFY(QFile::copy(built, exe + QStringLiteral("Web")));

    auto runCompanion = [&] {
        QProcess p;
        p.setProgram(exe + QStringLiteral("Web"));
        p.setWorkingDirectory(QDir::tempPath());
        p.start();
        return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    };
    QVERIFY(runCompanion()); // no hand-off file
    QVERIFY(data.write(QStringLiteral("dados/Web.start"), QByteArray()));
    QVERIFY(runCompanion()); // an empty one

    QVERIFY(data.write(QStringLiteral("tool.sh"), "#!/bin/sh\npwd > started.txt\n"));
    QFile::setPermissions(exe + QStringLiteral("tool.sh"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    FakeProgramStarter unused;
    QVERIFY(OpenThroughLauncher(data.paths(), unused, exe + QStringLiteral("tool.sh")));
    QVERIFY(runCompanion());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(exe + QStringLiteral("started.txt")), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(data.read(QStringLiteral("started.txt")).trimmed(),
                              QDir(exe).canonicalPath().toUtf8(), 5000);
}

QTEST_GUILESS_MAIN(TestWebLauncher)
#include "tst_weblauncher.moc"

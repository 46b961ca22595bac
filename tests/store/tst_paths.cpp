#include "store/paths.h"
#include "tempdatafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace zorv;

class TestPaths : public QObject
{
    Q_OBJECT

private slots:
    void rootsAreNormalised();
    void everySpellingReachesOneFile_data();
    void everySpellingReachesOneFile();
    void newFileKeepsGivenSpelling();
    void windowsFileTakesLeadingBackslash();
    void refusesNamesThatLeaveTheFolder();
    void safeFileNames_data();
    void safeFileNames();
    void placement_data();
    void placement();
    void userDataFolderFollowsXdgDataHome_data();
    void userDataFolderFollowsXdgDataHome();
    void skeletonIsLaidOnlyWhereNoDataFolderIs();
    void skeletonFailsWhereNoFolderCanBe();
    void companionsHaveTheirOwnFolder();
    void everyProgramSharesOneWindowsFolder();
};

void TestPaths::rootsAreNormalised()
{
    const Paths p(QStringLiteral("/opt/zorv///"), QStringLiteral("/var/win/"));
    QCOMPARE(p.exeDir(), QStringLiteral("/opt/zorv/"));
    QCOMPARE(p.windowsDir(), QStringLiteral("/var/win"));
}

void TestPaths::everySpellingReachesOneFile_data()
{
    QTest::addColumn<QString>("spelling");
    QTest::newRow("canonical") << "Dados\\ma.list";
    QTest::newRow("lower-case folder") << "dados\\ma.list";
    QTest::newRow("upper-case file") << "DADOS\\MA.LIST";
    QTest::newRow("forward slashes") << "dados/Ma.List";
}

void TestPaths::everySpellingReachesOneFile()
{
    QFETCH(QString, spelling);
    TempDataFolder data;
    QVERIFY(data.write("dados/ma.list", "x\r\n"));
    QCOMPARE(data.paths().resolve(spelling), data.root() + "/app/dados/ma.list");
}

void TestPaths::newFileKeepsGivenSpelling()
{
    TempDataFolder data;
    QCOMPARE(data.paths().resolve("Dados\\Notas\\Novo.tel"), data.root() + "/app/dados/Notas/Novo.tel");
    QCOMPARE(data.paths().resolve("Dados\\Missing\\Sub\\x"), data.root() + "/app/dados/Missing/Sub/x");
    QCOMPARE(data.paths().dataDir(), data.root() + "/app/dados");
}

void TestPaths::windowsFileTakesLeadingBackslash()
{
    TempDataFolder data;
    QFile f(data.root() + "/windows/MSDoc.dat");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QCOMPARE(data.paths().windowsFile("\\msdoc.DAT"), data.root() + "/windows/MSDoc.dat");
}

void TestPaths::refusesNamesThatLeaveTheFolder()
{
    TempDataFolder data;
    QVERIFY(data.paths().resolve("dados\\..\\..\\etc\\passwd").isEmpty());
    QVERIFY(data.paths().resolve("dados/./x").isEmpty());
}

void TestPaths::safeFileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");
    QTest::newRow("plain") << "João Silva" << true;
    QTest::newRow("hidden") << ".OCULTO" << true;
    QTest::newRow("device inside a longer name") << "CONTA.tel" << true;
    QTest::newRow("port beyond nine") << "COM10" << true;
    QTest::newRow("255 units") << QString(255, u'A') << true;
    QTest::newRow("pair of surrogates") << QString::fromUcs4(U"nota\U0001F600") << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("dot dot") << ".." << false;
    QTest::newRow("slash") << "a/b" << false;
    QTest::newRow("backslash") << "a\\b" << false;
    QTest::newRow("colon") << "c:x" << false;
    QTest::newRow("question") << "a?" << false;
    QTest::newRow("control") << QString("a\tb") << false;
    QTest::newRow("trailing dot") << "abc." << false;
    QTest::newRow("trailing space") << "abc " << false;
    QTest::newRow("device") << "CON" << false;
    QTest::newRow("device, lower case, extension") << "con.x" << false;
    QTest::newRow("device, spaces before the dot") << "Nul  .txt" << false;
    QTest::newRow("port") << "COM1" << false;
    QTest::newRow("port zero") << "lpt0.tel" << false;
    QTest::newRow("superscript port") << "LPT¹" << false;
    QTest::newRow("256 units") << QString(256, u'A') << false;
    QTest::newRow("256 bytes") << QString(128, u'Ç') << false;
    QTest::newRow("lone high surrogate") << QString(QChar(0xD83D)) + "x" << false;
    QTest::newRow("lone low surrogate") << "x" + QString(QChar(0xDE00)) << false;
}

void TestPaths::safeFileNames()
{
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QCOMPARE(isSafeFileName(name), safe);
}

namespace {

// A machine in a temporary folder: an installation under usr, another under opt/zorv, a
// build folder, a portable folder, folders shaped like half an installation and a home.
struct Machine
{
    QTemporaryDir dir;
    QString path(const char *relative) const
    {
        return dir.path() + QLatin1Char('/') + QLatin1String(relative);
    }
    Machine()
    {
        for (const char *sub :
             {"usr/bin", "usr/libexec/zorv-desk", "opt/zorv/bin", "opt/zorv/libexec/zorv-desk", "build/bin",
              "stick/Zorv/Dados/Finance", "plain/bin", "tools/libexec/zorv-desk", "home"})
            QDir().mkpath(path(sub));
        for (const char *program : {"usr/bin/zorv-desk", "opt/zorv/bin/zorv-desk"}) {
            QFile f(path(program));
            f.open(QIODevice::WriteOnly);
        }
        // The same install folder reached through a link, as /bin is /usr/bin on merged systems.
        QFile::link(path("usr/bin"), path("bin"));
    }
    PlacementFacts facts(const QString &programDir, bool writable) const
    {
        PlacementFacts f;
        f.programDir = dir.path() + QLatin1Char('/') + programDir;
        f.programDirWritable = writable;
        f.installDeskDir = QStringLiteral("bin");
        f.installCompanionDir = QStringLiteral("libexec/zorv-desk");
        f.homeDir = path("home");
        return f;
    }
};

} // namespace

void TestPaths::placement_data()
{
    QTest::addColumn<QString>("programDir");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QString>("base"); // relative to the machine; "~" is the user's data folder
    QTest::addColumn<QString>("deskDir");
    QTest::addColumn<QString>("companionDir");
    // Writable on purpose where the install folders are: root can write every folder, and
    // an installed program must still keep its data in the user's folder.
    QTest::newRow("installed program") << "usr/bin" << true << "~"
                                       << "usr/bin"
                                       << "usr/libexec/zorv-desk";
    QTest::newRow("installed companion") << "usr/libexec/zorv-desk" << true << "~"
                                         << "usr/bin"
                                         << "usr/libexec/zorv-desk";
    QTest::newRow("install folder through a link") << "bin" << true << "~"
                                                   << "usr/bin"
                                                   << "usr/libexec/zorv-desk";
    QTest::newRow("installed under another prefix") << "opt/zorv/bin" << true << "~"
                                                    << "opt/zorv/bin"
                                                    << "opt/zorv/libexec/zorv-desk";
    QTest::newRow("companion under another prefix") << "opt/zorv/libexec/zorv-desk" << true << "~"
                                                    << "opt/zorv/bin"
                                                    << "opt/zorv/libexec/zorv-desk";
    QTest::newRow("a bin folder without the companions' folder") << "plain/bin" << true << "plain/bin"
                                                                 << "plain/bin"
                                                                 << "plain/bin";
    QTest::newRow("companions' folder without zorv-desk installed")
        << "tools/libexec/zorv-desk" << true << "tools/libexec/zorv-desk"
        << "tools/libexec/zorv-desk"
        << "tools/libexec/zorv-desk";
    QTest::newRow("installed, read-only") << "usr/bin" << false << "~"
                                          << "usr/bin"
                                          << "usr/libexec/zorv-desk";
    QTest::newRow("build folder") << "build/bin" << true << "build/bin"
                                  << "build/bin"
                                  << "build/bin";
    QTest::newRow("portable folder with its Dados") << "stick/Zorv" << true << "stick/Zorv"
                                                    << "stick/Zorv"
                                                    << "stick/Zorv";
    QTest::newRow("read-only portable folder with its Dados") << "stick/Zorv" << false << "stick/Zorv"
                                                              << "stick/Zorv"
                                                              << "stick/Zorv";
    QTest::newRow("read-only folder, no dados") << "build/bin" << false << "~"
                                                << "build/bin"
                                                << "build/bin";
}

void TestPaths::placement()
{
    QFETCH(QString, programDir);
    QFETCH(bool, writable);
    QFETCH(QString, base);
    QFETCH(QString, deskDir);
    QFETCH(QString, companionDir);
    Machine m;
    const auto at = [&m](const QString &relative) { return m.dir.path() + QLatin1Char('/') + relative; };
    PlacementFacts facts = m.facts(programDir, writable);
    facts.xdgDataHome = at(QStringLiteral("home/data"));
    const ProgramPlacement place = choosePlacement(facts);
    const bool inUserData = base == QLatin1String("~");
    QCOMPARE(place.baseDir, inUserData ? at(QStringLiteral("home/data/zorv-desk")) : at(base));
    QCOMPARE(place.inUserData, inUserData);
    QCOMPARE(place.deskDir, at(deskDir));
    QCOMPARE(place.companionDir, at(companionDir));
    // Deciding writes nothing.
    QVERIFY(!QFileInfo::exists(at(QStringLiteral("home/data"))));
}

void TestPaths::userDataFolderFollowsXdgDataHome_data()
{
    QTest::addColumn<QString>("xdg");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unset") << ""
                           << "/home/ana/.local/share/zorv-desk";
    QTest::newRow("absolute") << "/srv/ana/data"
                              << "/srv/ana/data/zorv-desk";
    QTest::newRow("trailing slashes") << "/srv/ana/data//"
                                      << "/srv/ana/data/zorv-desk";
    QTest::newRow("relative, ignored") << "data"
                                       << "/home/ana/.local/share/zorv-desk";
    QTest::newRow("dot-relative, ignored") << "./data"
                                           << "/home/ana/.local/share/zorv-desk";
    QTest::newRow("tilde is not expanded, ignored") << "~/data"
                                                    << "/home/ana/.local/share/zorv-desk";
    QTest::newRow("root") << "/"
                          << "/zorv-desk";
}

void TestPaths::userDataFolderFollowsXdgDataHome()
{
    QFETCH(QString, xdg);
    QFETCH(QString, expected);
    QCOMPARE(userDataFolder(xdg, QStringLiteral("/home/ana")), expected);
}

void TestPaths::skeletonIsLaidOnlyWhereNoDataFolderIs()
{
    QTemporaryDir dir;
    const QString base = dir.path() + QStringLiteral("/share/zorv-desk");
    QVERIFY(layDataFolderSkeleton(base));
    for (const char *sub : kDataFolderSkeleton)
        QVERIFY2(QFileInfo(base + QStringLiteral("/dados/") + QLatin1String(sub)).isDir(), sub);
    QCOMPARE(QDir(base).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("dados")});
    // Nobody but the user enters the folders made for the data.
    QCOMPARE(int(QFileInfo(base).permissions() & 0x0077), 0);
    QCOMPARE(int(QFileInfo(base + QStringLiteral("/dados")).permissions() & 0x0077), 0);

    // A data folder the user moved in stays as it is, even without the sub-folders.
    QTemporaryDir moved;
    QVERIFY(QDir(moved.path()).mkdir(QStringLiteral("Dados")));
    QVERIFY(layDataFolderSkeleton(moved.path()));
    QCOMPARE(QDir(moved.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("Dados")});
    QVERIFY(QDir(moved.path() + QStringLiteral("/Dados")).isEmpty());

    // The paths of an installed program then reach it like any other data folder.
    const Paths paths(base, dir.path() + QStringLiteral("/windows"), dir.path() + QStringLiteral("/libexec"));
    QCOMPARE(paths.resolve(QStringLiteral("Dados\\Finance\\03.2013.fin")),
             base + QStringLiteral("/dados/Finance/03.2013.fin"));
}

void TestPaths::skeletonFailsWhereNoFolderCanBe()
{
    QTemporaryDir dir;
    QFile blocker(dir.path() + QStringLiteral("/share"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!layDataFolderSkeleton(dir.path() + QStringLiteral("/share/zorv-desk")));
    // A file named "dados" is no data folder, and no skeleton replaces it.
    QFile dados(dir.path() + QStringLiteral("/dados"));
    QVERIFY(dados.open(QIODevice::WriteOnly));
    dados.close();
    QVERIFY(!layDataFolderSkeleton(dir.path()));
    QVERIFY(QFileInfo(dir.path() + QStringLiteral("/dados")).isFile());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 2);
}

void TestPaths::companionsHaveTheirOwnFolder()
{
    const Paths beside(QStringLiteral("/opt/zorv"), QStringLiteral("/var/win"));
    QCOMPARE(beside.companionProgram(QStringLiteral("Web")), QStringLiteral("/opt/zorv/Web"));
    const Paths installed(QStringLiteral("/home/ana/.local/share/zorv-desk"), QStringLiteral("/var/win"),
                          QStringLiteral("/usr/libexec/zorv-desk/"));
    QCOMPARE(installed.companionDir(), QStringLiteral("/usr/libexec/zorv-desk/"));
    QCOMPARE(installed.companionProgram(QStringLiteral("Web")), QStringLiteral("/usr/libexec/zorv-desk/Web"));
    QCOMPARE(installed.resolve(QStringLiteral("Dados\\Web.start")),
             QStringLiteral("/home/ana/.local/share/zorv-desk/Dados/Web.start"));
}

// The stand-in folder is the suite's, whichever program asks: a companion named otherwise
// must not make a folder of its own beside it.
void TestPaths::everyProgramSharesOneWindowsFolder()
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const QString before = QCoreApplication::applicationName();
    const QString expected = config.path() + QStringLiteral("/zorv-desk/windows");
    for (const char *name : {"zorv-desk", "zorvoletps", "Web"}) {
        QCoreApplication::setApplicationName(QString::fromLatin1(name));
        QCOMPARE(Paths::defaultWindowsDirectory(), expected);
    }
    QCoreApplication::setApplicationName(before);
    qunsetenv("XDG_CONFIG_HOME");
}

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"

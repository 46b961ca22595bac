#include "store/paths.h"
#include "tempdatafolder.h"

#include <QDir>
#include <QFile>
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

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"

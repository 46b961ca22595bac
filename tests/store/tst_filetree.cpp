#include "store/filetree.h"
#include "store/flagfile.h"
#include "tempdatafolder.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace zorv;

class TestFileTree : public QObject
{
    Q_OBJECT

private slots:
    void flagFileCountsByExistence();
    void copyTreePutsFolderUnderItsName();
    void copyTreeReplacesExistingFiles();
    void copyTreeFailsOnUnreadableSource();
    void copyTreeRefusesCopyIntoItself();
    void deleteTreeRemovesEverything();
    void deleteTreeRefusesDangerousPaths_data();
    void deleteTreeRefusesDangerousPaths();
    void deleteTreeTakesLongPaths();
};

void TestFileTree::flagFileCountsByExistence()
{
    TempDataFolder data;
    const QString once = data.file("Dados\\Open.imd");
    const QString thrice = data.file("dados\\Sound.viw");
    QVERIFY(!flagFileExists(once));
    QVERIFY(writeFlagFile(once));
    QVERIFY(writeFlagFile(thrice, 3));
    QCOMPARE(data.read("dados/Open.imd"), QByteArray("57948579487593465966\r\n"));
    QCOMPARE(data.read("dados/Sound.viw"), QByteArray("57948579487593465966\r\n").repeated(3));
    QVERIFY(flagFileExists(once));
    QVERIFY(flagFileExists(thrice));
    QVERIFY(deleteFlagFile(once));
    QVERIFY(!flagFileExists(once));
    QVERIFY(deleteFlagFile(once)); // already off
}

void TestFileTree::copyTreePutsFolderUnderItsName()
{
    TempDataFolder data;
    QVERIFY(data.write("dados/Finance/03.2013.fin", "a\r\n"));
    QVERIFY(data.write("dados/Notas/x.tel", "b\r\n"));
    const QString target = data.root() + "/backup/";
    QVERIFY(CopyTree(data.paths().dataDir(), target));
    QFile f(target + "dados/Finance/03.2013.fin");
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("a\r\n"));
    QVERIFY(QDir(target + "dados/Diary").exists()); // empty folders come along
    QVERIFY(QFile::exists(target + "dados/Notas/x.tel"));
}

void TestFileTree::copyTreeReplacesExistingFiles()
{
    TempDataFolder data;
    QVERIFY(data.write("dados/Fontes.cad", "new\r\n"));
    const QString target = data.root() + "/backup";
    QVERIFY(QDir().mkpath(target + "/dados"));
    QFile old(target + "/dados/Fontes.cad");
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old old old\r\n");
    old.close();
    QFile::setPermissions(old.fileName(), QFileDevice::ReadOwner);
    QVERIFY(CopyTree(data.paths().dataDir(), target));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("new\r\n"));
}

void TestFileTree::copyTreeFailsOnUnreadableSource()
{
    TempDataFolder data;
    QVERIFY(data.write("dados/secret.txt", "x"));
    QFile::setPermissions(data.file("dados/secret.txt"), QFileDevice::Permissions());
    QFile probe(data.file("dados/secret.txt"));
    if (probe.open(QIODevice::ReadOnly))
        QSKIP("running with rights that ignore file permissions");
    QVERIFY(!CopyTree(data.paths().dataDir(), data.root() + "/backup"));
    QVERIFY(!CopyTree(data.root() + "/missing", data.root() + "/backup"));
}

void TestFileTree::copyTreeRefusesCopyIntoItself()
{
    TempDataFolder data;
    QVERIFY(!CopyTree(data.paths().dataDir(), data.file("dados/Finance")));
    QVERIFY(!QDir(data.file("dados/Finance/dados")).exists());
}

void TestFileTree::deleteTreeRemovesEverything()
{
    TempDataFolder data;
    QVERIFY(data.write("dados/Finance/2013.CX", "x"));
    QVERIFY(DeleteTree(data.paths().dataDir()));
    QVERIFY(!QDir(data.root() + "/app/dados").exists());
    QVERIFY(DeleteTree(data.root() + "/app/dados")); // nothing left is success
}

void TestFileTree::deleteTreeRefusesDangerousPaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("empty") << "";
    QTest::newRow("blank") << "  ";
    QTest::newRow("root") << "/";
    QTest::newRow("home") << QDir::homePath();
    QTest::newRow("home with slash") << QDir::homePath() + "/";
}

void TestFileTree::deleteTreeRefusesDangerousPaths()
{
    QFETCH(QString, path);
    QVERIFY(!DeleteTree(path));
    if (!path.trimmed().isEmpty())
        QVERIFY(QDir(path).exists());
}

void TestFileTree::deleteTreeTakesLongPaths()
{
    TempDataFolder data;
    QString deep = data.root() + "/long";
    for (int i = 0; i < 12; ++i)
        deep += "/folder-name-that-is-rather-long-" + QString::number(i);
    QVERIFY(QDir().mkpath(deep));
    QVERIFY(deep.size() > 300);
    QVERIFY(DeleteTree(data.root() + "/long"));
    QVERIFY(!QDir(data.root() + "/long").exists());
}

QTEST_GUILESS_MAIN(TestFileTree)
#include "tst_filetree.moc"

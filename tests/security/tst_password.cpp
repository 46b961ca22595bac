#include "security/password.h"

#include "tempdatafolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace zorv;

namespace {

QByteArray passwordBytes(const TempDataFolder &data)
{
    QFile f(data.paths().windowsFile(kPasswordFile));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writePasswordBytes(const TempDataFolder &data, const QByteArray &bytes)
{
    QFile f(data.paths().windowsFile(kPasswordFile));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestPassword : public QObject
{
    Q_OBJECT

private slots:
    void scramble_data();
    void scramble();
    void scrambleTwiceGivesBack();
    void setWritesOneScrambledLinePrivately();
    void setRefusesUnstorable_data();
    void setRefusesUnstorable();
    void setTwiceKeepsTheLast();
    void setFailureWritesNothing();
    void clear();
    void verify_data();
    void verify();
    void verifyKeepsTheLastLoadedCopy();
    void mirrorGetsEachReload();
};

void TestPassword::scramble_data()
{
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("scrambled");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("1234") << "1234"
                          << "^]\\[";
    QTest::newRow("digits") << "0123456789"
                            << "_^]\\[ZYXWV";
}

void TestPassword::scramble()
{
    QFETCH(QString, plain);
    QFETCH(QString, scrambled);
    QCOMPARE(ScramblePassword(plain), scrambled);
}

void TestPassword::scrambleTwiceGivesBack()
{
    for (const QString &text :
         {QStringLiteral("1234"), QStringLiteral("Ação ✓ \r\n"), QString(QChar(0xFFFF))})
        QCOMPARE(ScramblePassword(ScramblePassword(text)), text);
}

void TestPassword::setWritesOneScrambledLinePrivately()
{
    TempDataFolder data;
    // An earlier file readable by everyone: the new one must not inherit that.
    QVERIFY(writePasswordBytes(data, "old\r\n"));
    QFile(data.paths().windowsFile(kPasswordFile))
        .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    PasswordStore store(data.paths());
    QVERIFY(store.set("1234"));
    QCOMPARE(passwordBytes(data), QByteArray("^]\\[\r\n"));
    const QFile::Permissions mode = QFile(store.path()).permissions();
    QCOMPARE(mode & (QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner),
             QFile::ReadOwner | QFile::WriteOwner);
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(mode & others, QFile::Permissions());
    QVERIFY(store.exists());
}

void TestPassword::setRefusesUnstorable_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("empty") << "";
    QTest::newRow("scrambles to CR") << "b";
    QTest::newRow("scrambles to LF") << "e";
    QTest::newRow("scrambles to NUL") << "o";
    QTest::newRow("scrambles outside the code page") << QString(QChar(0xEF)); // to U+0080
}

void TestPassword::setRefusesUnstorable()
{
    QFETCH(QString, password);
    TempDataFolder data;
    PasswordStore store(data.paths());
    QVERIFY(!store.set(password));
    QVERIFY(!QFile::exists(store.path()));
}

void TestPassword::setTwiceKeepsTheLast()
{
    TempDataFolder data;
    PasswordStore store(data.paths());
    QVERIFY(store.set("1234"));
    QVERIFY(store.set("99"));
    QCOMPARE(passwordBytes(data), QByteArray("VV\r\n"));
    QCOMPARE(store.verify("99"), PasswordStore::Verdict::StoredMatch);
    QCOMPARE(store.verify("1234"), PasswordStore::Verdict::NoMatch);
}

void TestPassword::setFailureWritesNothing()
{
    TempDataFolder data;
    PasswordStore store(data.paths());
    QVERIFY(store.set("1234"));
    // A stand-in that is no longer a folder takes no file, even for a privileged user.
    const QString dir = data.paths().windowsDir();
    QVERIFY(QDir(dir).removeRecursively());
    QVERIFY(QFile(dir).open(QIODevice::WriteOnly));
    QVERIFY(!store.set("5678"));
    QVERIFY(!store.exists());
    // A password file that is a folder is left alone.
    QVERIFY(QFile::remove(dir) && QDir().mkpath(store.path()));
    QVERIFY(!store.set("5678"));
    QVERIFY(QFileInfo(store.path()).isDir());
}

void TestPassword::clear()
{
    TempDataFolder data;
    PasswordStore store(data.paths());
    QVERIFY(store.clear()); // nothing to delete
    QVERIFY(store.set("1234"));
    QVERIFY(store.clear());
    QVERIFY(!store.exists());
}

void TestPassword::verify_data()
{
    QTest::addColumn<QByteArray>("file"); // null: no password file
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("verdict");
    using V = PasswordStore::Verdict;
    const QByteArray stored("^]\\[\r\n"); // "1234"
    QTest::newRow("no file, default") << QByteArray() << kDefaultPassword << int(V::BuiltInMatch);
    QTest::newRow("no file, master") << QByteArray() << kMasterCode << int(V::BuiltInMatch);
    QTest::newRow("no file, anything else") << QByteArray() << "1234" << int(V::NoMatch);
    QTest::newRow("no file, empty") << QByteArray() << "" << int(V::NoMatch);
    QTest::newRow("file, default") << stored << kDefaultPassword << int(V::NoMatch);
    QTest::newRow("file, master") << stored << kMasterCode << int(V::BuiltInMatch);
    QTest::newRow("file, stored") << stored << "1234" << int(V::StoredMatch);
    QTest::newRow("file, wrong") << stored << "1235" << int(V::NoMatch);
    QTest::newRow("file, stored prefix") << stored << "123" << int(V::NoMatch);
    QTest::newRow("second line ignored") << QByteArray("^]\\[\r\n[[\r\n") << "44" << int(V::NoMatch);
    QTest::newRow("empty first line, empty text") << QByteArray("\r\n") << "" << int(V::NoMatch);
    QTest::newRow("empty file, empty text") << QByteArray("") << "" << int(V::NoMatch);
}

void TestPassword::verify()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, typed);
    QFETCH(int, verdict);
    TempDataFolder data;
    if (!file.isNull())
        QVERIFY(writePasswordBytes(data, file));
    PasswordStore store(data.paths());
    QCOMPARE(int(store.verify(typed)), verdict);
}

void TestPassword::verifyKeepsTheLastLoadedCopy()
{
    TempDataFolder data;
    QVERIFY(writePasswordBytes(data, "^]\\[\r\n"));
    PasswordStore store(data.paths());
    QCOMPARE(store.verify("0"), PasswordStore::Verdict::NoMatch); // loads the copy
    QVERIFY(QFile::remove(store.path()));
    QCOMPARE(store.verify("1234"), PasswordStore::Verdict::StoredMatch);
    // Without the file the default code counts again, next to the copy.
    QCOMPARE(store.verify(kDefaultPassword), PasswordStore::Verdict::BuiltInMatch);
}

void TestPassword::mirrorGetsEachReload()
{
    TempDataFolder data;
    PasswordStore store(data.paths());
    QList<QStringList> mirrored;
    store.setMirror([&](const QStringList &lines) { mirrored.append(lines); });
    store.verify("1");
    QVERIFY(mirrored.isEmpty()); // no file, nothing loaded
    QVERIFY(store.set("1234"));
    store.verify("1");
    QCOMPARE(mirrored, QList<QStringList>{QStringList{"^]\\["}});
}

QTEST_GUILESS_MAIN(TestPassword)
#include "tst_password.moc"

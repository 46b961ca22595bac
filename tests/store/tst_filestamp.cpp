// File stamps: what tells two versions of a file apart, and when a stamp may vouch for one.
#include "store/filestamp.h"
#include "store/textlist.h"
#include "tempdatafolder.h"

#include <QDir>
#include <QScopeGuard>
#include <QTest>

using namespace zorv;

class TestFileStamp : public QObject
{
    Q_OBJECT

private slots:
    void onlyRegularFilesHaveStamps();
    void atomicRewriteOfTheSameBytesIsANewVersion();
    void freshlyChangedFileIsNeverVouchedFor();
};

void TestFileStamp::onlyRegularFilesHaveStamps()
{
    TempDataFolder data;
    QVERIFY(data.write(QStringLiteral("dados/a.txt"), "abc"));
    QVERIFY(fileStamp(data.file(QStringLiteral("dados/a.txt"))).exists());
    QCOMPARE(fileStamp(data.file(QStringLiteral("dados/a.txt"))).size, 3);
    QVERIFY(!fileStamp(data.file(QStringLiteral("dados/none.txt"))).exists());
    QVERIFY(!fileStamp(data.file(QStringLiteral("dados"))).exists());
    QVERIFY(!fileStamp(QString()).exists());
    QVERIFY(!isUnchanged(data.file(QStringLiteral("dados/none.txt")), FileStamp{}));
}

void TestFileStamp::atomicRewriteOfTheSameBytesIsANewVersion()
{
    const qint64 before = setStampSettleTime(0);
    auto restore = qScopeGuard([before] { setStampSettleTime(before); });
    TempDataFolder data;
    const QString path = data.file(QStringLiteral("dados/a.txt"));
    QVERIFY(writeFileAtomically(path, "same bytes"));
    const FileStamp first = fileStamp(path);
    QVERIFY(first.settled);
    QVERIFY(isUnchanged(path, first));
    // Same size, same content, within the same clock tick: still another file.
    QVERIFY(writeFileAtomically(path, "same bytes"));
    QVERIFY(!isUnchanged(path, first));
    QVERIFY(isUnchanged(path, fileStamp(path)));
    QVERIFY(QFile::remove(path));
    QVERIFY(!isUnchanged(path, first));
}

void TestFileStamp::freshlyChangedFileIsNeverVouchedFor()
{
    TempDataFolder data;
    const QString path = data.file(QStringLiteral("dados/a.txt"));
    QVERIFY(data.write(QStringLiteral("dados/a.txt"), "abc"));
    // Written a moment ago: an in-place rewrite of three other bytes now could keep every
    // field of the stamp, so the stamp does not vouch for the content.
    const FileStamp fresh = fileStamp(path);
    QVERIFY(!fresh.settled);
    QVERIFY(!isUnchanged(path, fresh));
    // Once the settle time has passed since the change, the stamp vouches for it.
    const qint64 before = setStampSettleTime(0);
    auto restore = qScopeGuard([before] { setStampSettleTime(before); });
    QVERIFY(fileStamp(path).settled);
}

QTEST_GUILESS_MAIN(TestFileStamp)
#include "tst_filestamp.moc"

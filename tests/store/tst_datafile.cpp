#include "store/datafile.h"
#include "store/richtextfile.h"
#include "store/textlist.h"
#include "tempdatafolder.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <chrono>
#include <functional>
#include <future>

#include <sys/stat.h>
#include <unistd.h>

using namespace zorv;
using namespace std::chrono_literals;

namespace {

enum class Outcome { Read, Refused, Wrong };

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * ::sysconf(_SC_PAGESIZE) : 0;
}

// Runs a read on a thread of its own and waits a generous while for it. A read that blocks
// (a pipe nobody writes) or takes memory without end (a device that never ends) cannot be
// stopped from outside, so it stops the whole test run with a message instead of hanging
// it or filling the machine's memory.
Outcome finishes(std::function<Outcome()> read)
{
    const qint64 baseline = residentBytes();
    auto future = std::async(std::launch::async, std::move(read));
    const QDeadlineTimer deadline(60s);
    while (future.wait_for(20ms) != std::future_status::ready) {
        if (deadline.hasExpired())
            qFatal("a data file read never finished: it waits for a pipe or a device");
        if (residentBytes() - baseline > (qint64(1) << 30))
            qFatal("a data file read took more than 1 GiB: it reads a device without end");
    }
    return future.get();
}

// One way of the store to read a data file, with the size limit for its kind. Each says
// Read, Refused (exactly what it does for an unreadable file: the caller's data untouched),
// or Wrong for anything else.
struct Reader
{
    const char *name;
    qint64 limit;
    std::function<Outcome(const QString &)> read;
};

const QByteArray kGood("R$\r\n");

QList<Reader> readers()
{
    return {
        {"readDataFile", kTextListReadLimit,
         [](const QString &path) {
             const auto bytes = readDataFile(path, kTextListReadLimit);
             return !bytes ? Outcome::Refused : *bytes == kGood ? Outcome::Read : Outcome::Wrong;
         }},
        {"text list", kTextListReadLimit,
         [](const QString &path) {
             TextList list(QStringList{"kept"});
             switch (list.load(path)) {
             case TextList::LoadResult::Loaded:
                 return list.lines() == QStringList{"R$"} ? Outcome::Read : Outcome::Wrong;
             case TextList::LoadResult::Failed:
                 return list.lines() == QStringList{"kept"} ? Outcome::Refused : Outcome::Wrong;
             case TextList::LoadResult::Missing:
                 break;
             }
             return Outcome::Wrong;
         }},
        {"whole file", kTextListReadLimit,
         [](const QString &path) {
             const auto bytes = readWholeFile(path);
             return !bytes ? Outcome::Refused : *bytes == kGood ? Outcome::Read : Outcome::Wrong;
         }},
        {"rich-text page", kRichTextReadLimit,
         [](const QString &path) {
             QTextDocument document(QStringLiteral("kept"));
             document.setModified(true);
             if (loadRichTextFile(path, document))
                 return document.toPlainText() == QLatin1String("R$") ? Outcome::Read : Outcome::Wrong;
             return document.toPlainText() == QLatin1String("kept") && document.isModified()
                        ? Outcome::Refused
                        : Outcome::Wrong;
         }},
    };
}

} // namespace

class TestDataFile : public QObject
{
    Q_OBJECT

private slots:
    void onlyRegularFilesWithinTheLimitAreRead_data();
    void onlyRegularFilesWithinTheLimitAreRead();
    void limitAndReasons();
};

void TestDataFile::onlyRegularFilesWithinTheLimitAreRead_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<bool>("read");
    QTest::newRow("plain file") << "plain" << true;
    QTest::newRow("link to a plain file outside") << "link to plain" << true;
    QTest::newRow("link to a pipe") << "link to pipe" << false;
    QTest::newRow("pipe") << "pipe" << false;
    QTest::newRow("link to /dev/zero") << "link to /dev/zero" << false;
    QTest::newRow("link to /dev/urandom") << "link to /dev/urandom" << false;
    QTest::newRow("one byte beyond the limit") << "too large" << false;
    QTest::newRow("folder") << "folder" << false;
}

// Every reader of the store, over the same object at a data file's place.
void TestDataFile::onlyRegularFilesWithinTheLimitAreRead()
{
    QFETCH(QString, object);
    QFETCH(bool, read);
    TempDataFolder data;
    QTemporaryDir outside;
    QVERIFY(data.isValid() && outside.isValid());
    const QString path = data.file("dados/Money.sbm");
    const QString pipe = outside.filePath("pipe");
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    QVERIFY(data.write("dados/Money.sbm", kGood)); // what a plain or too large file starts as

    for (const Reader &reader : readers()) {
        QVERIFY(QFile::remove(path) || QDir(path).removeRecursively());
        if (object == QLatin1String("plain")) {
            QVERIFY(data.write("dados/Money.sbm", kGood));
        } else if (object == QLatin1String("link to plain")) {
            QFile target(outside.filePath("money"));
            QVERIFY(target.open(QIODevice::WriteOnly) && target.write(kGood) == kGood.size());
            target.close();
            QVERIFY(QFile::link(target.fileName(), path));
        } else if (object == QLatin1String("link to pipe")) {
            QVERIFY(QFile::link(pipe, path));
        } else if (object == QLatin1String("pipe")) {
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        } else if (object.startsWith(QLatin1String("link to /dev/"))) {
            QVERIFY(QFile::link(object.sliced(8), path));
        } else if (object == QLatin1String("too large")) {
            // A sparse file: as large as that on paper, taking no room on the disk.
            QVERIFY(data.write("dados/Money.sbm", kGood));
            QVERIFY(QFile::resize(path, reader.limit + 1));
        } else if (object == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(path));
        }
        const Outcome outcome = finishes([&] { return reader.read(path); });
        QVERIFY2(outcome == (read ? Outcome::Read : Outcome::Refused), reader.name);
    }
}

// The limit is the largest size read, whether the file is that large when opened or
// becomes so; the reason tells a missing file from a refused one.
void TestDataFile::limitAndReasons()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("list");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("0123456789") == 10);
    file.close();

    DataFileError error = DataFileError::Unreadable;
    QCOMPARE(readDataFile(path, 10, &error), std::optional<QByteArray>("0123456789"));
    QCOMPARE(error, DataFileError::None);
    QCOMPARE(readDataFile(path, 9, &error), std::nullopt);
    QCOMPARE(error, DataFileError::TooLarge);
    QCOMPARE(readDataFile(dir.filePath("none"), 10, &error), std::nullopt);
    QCOMPARE(error, DataFileError::Missing);
    QVERIFY(QFile::link(dir.filePath("none"), dir.filePath("dangling")));
    QCOMPARE(readDataFile(dir.filePath("dangling"), 10, &error), std::nullopt);
    QCOMPARE(error, DataFileError::Missing);
    QCOMPARE(readDataFile(dir.path(), 10, &error), std::nullopt);
    QCOMPARE(error, DataFileError::NotRegular);
    QCOMPARE(readDataFile(QStringLiteral("/dev/null"), 10, &error), std::nullopt);
    QCOMPARE(error, DataFileError::NotRegular);
    QCOMPARE(readDataFile(QString(), 10, &error), std::nullopt);
    QCOMPARE(error, DataFileError::Missing);

    if (::geteuid() != 0) {
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        QCOMPARE(readDataFile(path, 10, &error), std::nullopt);
        QCOMPARE(error, DataFileError::Unreadable);
    }
}

QTEST_MAIN(TestDataFile)
#include "tst_datafile.moc"

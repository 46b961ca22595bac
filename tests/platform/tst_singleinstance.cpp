#include "platform/identity.h"
#include "platform/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>

#include <sys/stat.h>
#include <unistd.h>

using zorv::FileLockInstance;
using Claim = zorv::SingleInstance::Claim;

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    // Two guards in one process stand for two processes: flock locks belong to the open
    // file, so the second open conflicts just as another process's would.
    void secondClaimFailsUntilFirstEnds()
    {
        QTemporaryDir dir;
        auto first = std::make_unique<FileLockInstance>(QStringLiteral("Zorv Desk"), dir.path());
        FileLockInstance second(QStringLiteral("Zorv Desk"), dir.path());
        FileLockInstance otherName(QStringLiteral("Other"), dir.path());

        QCOMPARE(first->claim(), Claim::First);
        QCOMPARE(first->claim(), Claim::First); // asking again keeps the claim
        QCOMPARE(second.claim(), Claim::AlreadyRunning);
        QCOMPARE(otherName.claim(), Claim::First);

        first.reset();
        QCOMPARE(second.claim(), Claim::First);
    }

    void guardThatCannotBeSetUpRunsUnguarded()
    {
        FileLockInstance guard(QStringLiteral("Zorv Desk"), QStringLiteral("/nonexistent/zorv-folder"));
        QCOMPARE(guard.claim(), Claim::Unguarded);
        QVERIFY(!guard.serveShowRequests([] {}));
    }

    void showRequestReachesTheServingCopy()
    {
        QTemporaryDir dir;
        FileLockInstance running(QStringLiteral("Zorv Desk"), dir.path());
        QCOMPARE(running.claim(), Claim::First);
        int shown = 0;
        QVERIFY(running.serveShowRequests([&] { ++shown; }));

        FileLockInstance secondStart(QStringLiteral("Zorv Desk"), dir.path());
        QCOMPARE(secondStart.claim(), Claim::AlreadyRunning);
        QVERIFY(secondStart.requestShow());
        QTRY_COMPARE(shown, 1);
        QVERIFY(secondStart.requestShow());
        QTRY_COMPARE(shown, 2);
    }

    // A running copy with a tray icon does not serve requests: a second start finds
    // nobody to ask and leaves it alone.
    void requestWithoutServingCopyReachesNobody()
    {
        QTemporaryDir dir;
        FileLockInstance running(QStringLiteral("Zorv Desk"), dir.path());
        QCOMPARE(running.claim(), Claim::First);
        FileLockInstance secondStart(QStringLiteral("Zorv Desk"), dir.path());
        QVERIFY(!secondStart.requestShow());
    }

    // The companion's requests are answered by the running copy whether or not it takes show
    // requests (with a tray icon it does not). The copy runs its own event loop in a thread,
    // as another process would.
    void requestsAreAnsweredBesideShow()
    {
        QTemporaryDir dir;
        QThread loop;
        QObject inLoop;
        inLoop.moveToThread(&loop);
        loop.start();
        std::unique_ptr<FileLockInstance> running;
        std::atomic<bool> playing = true;
        std::atomic<int> stops = 0;
        bool served = false;
        QMetaObject::invokeMethod(
            &inLoop,
            [&] {
                running = std::make_unique<FileLockInstance>(QStringLiteral("Zorv Desk"), dir.path());
                served =
                    running->claim() == Claim::First &&
                    running->serveRequest(zorv::kMusicPlayingRequest,
                                          [&] { return playing ? QByteArray("yes") : QByteArray("no"); }) &&
                    running->serveRequest(zorv::kStopMusicRequest, [&] {
                        ++stops;
                        playing = false;
                        return QByteArray("ok");
                    });
            },
            Qt::BlockingQueuedConnection);
        auto finish = qScopeGuard([&] {
            QMetaObject::invokeMethod(
                &inLoop, [&] { running.reset(); }, Qt::BlockingQueuedConnection);
            loop.quit();
            loop.wait();
        });
        QVERIFY(served);

        FileLockInstance companion(QStringLiteral("Zorv Desk"), dir.path());
        QCOMPARE(companion.ask(zorv::kMusicPlayingRequest), QByteArray("yes"));
        QCOMPARE(companion.ask(zorv::kStopMusicRequest), QByteArray("ok"));
        QCOMPARE(stops.load(), 1);
        QCOMPARE(companion.ask(zorv::kMusicPlayingRequest), QByteArray("no"));
        // A request nobody serves gets no answer.
        QCOMPARE(companion.ask("eject"), QByteArray());

        // No running copy: nobody answers, at once.
        QTemporaryDir empty;
        QCOMPARE(FileLockInstance(QStringLiteral("Zorv Desk"), empty.path()).ask(zorv::kMusicPlayingRequest),
                 QByteArray());
        // Only the holder of the guard serves.
        QVERIFY(!FileLockInstance(QStringLiteral("Zorv Desk"), empty.path())
                     .serveRequest(zorv::kStopMusicRequest, [] { return QByteArray("ok"); }));
    }

    // A crash leaves the request socket's file behind; the next copy must still serve.
    void leftoverSocketFileDoesNotBlockServing()
    {
        QTemporaryDir dir;
        FileLockInstance guard(QStringLiteral("Zorv Desk"), dir.path());
        QFile leftover(guard.requestSocketPath());
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.close();

        QCOMPARE(guard.claim(), Claim::First);
        int shown = 0;
        QVERIFY(guard.serveShowRequests([&] { ++shown; }));
        QVERIFY(FileLockInstance(QStringLiteral("Zorv Desk"), dir.path()).requestShow());
        QTRY_COMPARE(shown, 1);
    }

    // A peer that streams bytes without ending a line is cut off before it costs memory;
    // the next request is served as usual.
    void endlessLineIsCutOff()
    {
        QTemporaryDir dir;
        FileLockInstance running(QStringLiteral("Zorv Desk"), dir.path());
        QCOMPARE(running.claim(), Claim::First);
        int shown = 0;
        QVERIFY(running.serveShowRequests([&] { ++shown; }));

        QLocalSocket flood;
        flood.connectToServer(running.requestSocketPath());
        QVERIFY(flood.waitForConnected(1000));
        const QByteArray chunk(64 * 1024, 'x');
        for (int i = 0; i < 64 && flood.state() == QLocalSocket::ConnectedState; ++i) {
            flood.write(chunk);
            flood.waitForBytesWritten(100);
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(flood.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(shown, 0);

        QVERIFY(FileLockInstance(QStringLiteral("Zorv Desk"), dir.path()).requestShow());
        QTRY_COMPARE(shown, 1);
    }

    // Where the session has no runtime folder, or one others may enter, the lock and the
    // sockets go to an owner-only folder of the user's cache, never to the shared
    // temporary folder; something else standing at that place is never used.
    void privateFolderWhenTheSessionHasNone_data()
    {
        QTest::addColumn<QString>("runtime");  // "none", "shared" (mode 0777) or "private"
        QTest::addColumn<QString>("inTheWay"); // what stands at the cache's place first
        QTest::addColumn<bool>("usable");
        QTest::newRow("no runtime folder") << "none"
                                           << "" << true;
        QTest::newRow("a runtime folder others can write") << "shared"
                                                           << "" << true;
        QTest::newRow("our folder with wide rights is tightened") << "none"
                                                                  << "wide" << true;
        QTest::newRow("a link is never followed") << "none"
                                                  << "link" << false;
        QTest::newRow("another user's folder is never used") << "none"
                                                             << "foreign" << false;
        QTest::newRow("the session's own private folder") << "private"
                                                          << "" << true;
    }

    void privateFolderWhenTheSessionHasNone()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, inTheWay);
        QFETCH(bool, usable);
        QTemporaryDir home;
        const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR"), oldCache = qgetenv("XDG_CACHE_HOME");
        auto restore = qScopeGuard([&] {
            oldRuntime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", oldRuntime);
            oldCache.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", oldCache);
        });
        const QString cache = home.path() + "/cache";
        const QString run = cache + "/zorv-desk/run";
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
        const QString session = home.path() + "/session";
        QVERIFY(QDir().mkpath(session));
        if (runtime == "none")
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(session));
        QCOMPARE(::chmod(QFile::encodeName(session).constData(), runtime == "shared" ? 01777 : 0700), 0);
        QVERIFY(QDir().mkpath(cache + "/zorv-desk"));
        if (inTheWay == "wide") {
            QVERIFY(QDir().mkpath(run));
            QCOMPARE(::chmod(QFile::encodeName(run).constData(), 0777), 0);
        } else if (inTheWay == "link") {
            QVERIFY(QFile::link(session, run));
        } else if (inTheWay == "foreign") {
            if (::geteuid() != 0)
                QSKIP("only an administrator can give a folder to another user");
            QVERIFY(QDir().mkpath(run));
            QCOMPARE(::chown(QFile::encodeName(run).constData(), 65534, 65534), 0);
            QCOMPARE(::chmod(QFile::encodeName(run).constData(), 0700), 0);
        }

        const QString expected = runtime == "private" ? session : run;
        QCOMPARE(zorv::runtimeDirectory(), usable ? expected : QString());
        FileLockInstance guard(QStringLiteral("Zorv Desk"));
        if (!usable) {
            QCOMPARE(guard.claim(), Claim::Unguarded);
            QCOMPARE(QDir(session).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
            return;
        }
        QCOMPARE(QFileInfo(guard.lockFilePath()).absolutePath(), expected);
        QCOMPARE(guard.claim(), Claim::First);
        struct stat st
        {
        };
        QCOMPARE(::lstat(QFile::encodeName(expected).constData(), &st), 0);
        QVERIFY(S_ISDIR(st.st_mode));
        QCOMPARE(int(st.st_mode & 077), 0);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"

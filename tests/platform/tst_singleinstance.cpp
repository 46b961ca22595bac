#include "platform/singleinstance.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>

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
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"

// The single-instance rule and the companion rule, checked on the real program started as
// separate processes. Each process runs headless in a private runtime folder, so these
// tests never meet a copy the user runs; every wait is bounded.

#include "platform/companion.h"
#include "platform/identity.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace zorv;

class TestInstanceProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void secondStartEndsAtOnceAndLeavesFirstRunning();
    void killedCopyDoesNotLockTheUserOut();
    void withoutCompanionProgramEndsAfterAboutOneSecond();
    void sessionEndSignalEndsTheProgramCleanly();

private:
    QProcess *startDesk();
    // Offscreen there is no tray, so a running copy serves show requests; that socket
    // answering means the copy holds the guard.
    bool deskAnswers() const { return LocalSocketPresence(runtimePath("Zorv Desk.show")).isPresent(); }

    QTemporaryDir m_home;
    QTemporaryDir m_runtime;
    PresenceBeacon m_companion;
    QList<QProcess *> m_processes;
};

void TestInstanceProcess::initTestCase()
{
    QVERIFY(m_home.isValid() && m_runtime.isValid());
    // This process and the programs it starts share the private runtime folder.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    QCOMPARE(runtimeDirectory(), QDir::cleanPath(m_runtime.path()));
}

void TestInstanceProcess::cleanup()
{
    m_companion.stop();
    for (QProcess *p : std::as_const(m_processes)) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(3000);
        }
        delete p;
    }
    m_processes.clear();
}

QProcess *TestInstanceProcess::startDesk()
{
    auto *p = new QProcess;
    m_processes << p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    env.insert(QStringLiteral("HOME"), m_home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral(".config")));
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(QStringLiteral(ZORV_DESK_BIN), {});
    return p;
}

void TestInstanceProcess::secondStartEndsAtOnceAndLeavesFirstRunning()
{
    QVERIFY(m_companion.start(companionSocketPath(companionTitle())));
    QProcess *first = startDesk();
    QVERIFY(first->waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(deskAnswers(), 10000);

    QElapsedTimer clock;
    clock.start();
    QProcess *second = startDesk();
    QVERIFY(second->waitForFinished(5000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QVERIFY2(clock.elapsed() < 2000, QByteArray::number(clock.elapsed()).constData());

    // The first copy outlives several companion-watch ticks.
    QTest::qWait(1500);
    QCOMPARE(first->state(), QProcess::Running);
    QVERIFY(deskAnswers());
}

void TestInstanceProcess::killedCopyDoesNotLockTheUserOut()
{
    QVERIFY(m_companion.start(companionSocketPath(companionTitle())));
    QProcess *first = startDesk();
    QTRY_VERIFY_WITH_TIMEOUT(deskAnswers(), 10000);
    first->kill(); // SIGKILL: no clean-up of any kind
    QVERIFY(first->waitForFinished(5000));
    QVERIFY(!deskAnswers());

    QProcess *next = startDesk();
    QTRY_VERIFY_WITH_TIMEOUT(deskAnswers(), 10000);
    QCOMPARE(next->state(), QProcess::Running);

    // And the new copy now holds the guard.
    QProcess *another = startDesk();
    QVERIFY(another->waitForFinished(5000));
    QCOMPARE(another->exitCode(), 0);
    QCOMPARE(next->state(), QProcess::Running);
}

void TestInstanceProcess::withoutCompanionProgramEndsAfterAboutOneSecond()
{
    QElapsedTimer clock;
    clock.start();
    QProcess *desk = startDesk();
    QVERIFY(desk->waitForFinished(6000));
    QCOMPARE(desk->exitStatus(), QProcess::NormalExit);
    QCOMPARE(desk->exitCode(), 0);
    QVERIFY2(clock.elapsed() >= 900 && clock.elapsed() < 4000,
             QByteArray::number(clock.elapsed()).constData());
}

// SIGTERM, as the end of a desktop session sends it, runs the close step's saves and ends
// the program with exit code 0 rather than killing it where it stands.
void TestInstanceProcess::sessionEndSignalEndsTheProgramCleanly()
{
    QVERIFY(m_companion.start(companionSocketPath(companionTitle())));
    QProcess *desk = startDesk();
    QTRY_VERIFY_WITH_TIMEOUT(deskAnswers(), 10000);
    desk->terminate();
    QVERIFY(desk->waitForFinished(5000));
    QCOMPARE(desk->exitStatus(), QProcess::NormalExit);
    QCOMPARE(desk->exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestInstanceProcess)
#include "tst_instance_process.moc"

// The automatic tasks on the Desk page of the suite window: adding, starting all one a
// second or one at a time, deleting, and the run's end when the window closes.
#include "launchersuite.h"

#include "controls/linklabel.h"
#include "launcher/deskpage.h"
#include "launcher/iconlist.h"
#include "launcher/taskpanel.h"

#include <QFile>

using namespace zorv;

namespace {

const QByteArray kThree = "/x/um.exe\r\n/x/dois.exe\r\n/x/tres.exe\r\n";

struct TaskSuite : LauncherSuite
{
    using LauncherSuite::LauncherSuite;
    TaskPanel &tasks() { return *windows->desk->tasks; }
    void open()
    {
        showAndSettle();
        bringPage(0, windows->desk);
    }
    // The target of the last hand-off, and how many companions were started.
    QString handed() const { return QString::fromUtf8(handOff()).trimmed(); }
    int starts() const { return int(fake.programs.started.size()); }
};

} // namespace

class TestTasks : public QObject
{
    Q_OBJECT

private slots:
    void add_data();
    void add();
    void startAllOneASecond();
    void startAllWithNothingListed();
    void showDuringTheRunNeitherRestartsNorSkips();
    void closeEndsTheRun();
    void startOne();
    void remove_data();
    void remove();
    void excluirEnabledOnlyWithASelection();
};

void TestTasks::add_data()
{
    QTest::addColumn<QString>("name"); // created under the test folder; empty: cancelled
    QTest::addColumn<bool>("executable");
    QTest::addColumn<bool>("added");
    QTest::newRow("cancelled") << QString() << false << false;
    QTest::newRow("no extension") << "LEIAME" << false << false;
    QTest::newRow("program without extension") << "backup" << true << true;
    QTest::newRow("document") << "planilha.ods" << false << true;
    QTest::newRow("line break in the name") << "dois\nlinhas.txt" << false << false;
}

void TestTasks::add()
{
    QFETCH(QString, name);
    QFETCH(bool, executable);
    QFETCH(bool, added);
    TaskSuite s([](TempDataFolder &d) { d.write("dados/Task.list", "/x/um.exe\r\n"); });
    s.open();
    QString file;
    if (!name.isEmpty()) {
        file = s.data.root() + QLatin1Char('/') + name;
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        if (executable)
            QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    s.fake.dialogs.files.enqueue(file);
    QTest::mouseClick(s.tasks().Label107, Qt::LeftButton);
    QCOMPARE(s.fake.dialogs.shown.size(), 1);
    QCOMPARE(s.fake.dialogs.shown[0].filter, QStringLiteral("Programas (*)"));
    const QByteArray expected =
        added ? "/x/um.exe\r\n" + file.toUtf8() + "\r\n" : QByteArray("/x/um.exe\r\n");
    QCOMPARE(s.data.read("dados/Task.list"), expected);
    QCOMPARE(s.tasks().LTA->count(), added ? 2 : 1);
    QCOMPARE(s.tasks().LTA->item(0)->text(), QString()); // icons only
}

void TestTasks::startAllOneASecond()
{
    TaskSuite s([](TempDataFolder &d) { d.write("dados/Task.list", kThree); });
    s.open();
    TaskPanel &t = s.tasks();
    QCOMPARE(t.LTA->count(), 3);
    QTest::mouseClick(t.Label108, Qt::LeftButton);
    QVERIFY(!s.tats().isVisible());
    QCOMPARE(s.handed(), QStringLiteral("/x/um.exe"));
    QCOMPARE(s.starts(), 1);
    QVERIFY(t.TMLD.isActive());
    QCOMPARE(t.TMLD.interval(), 1000);

    t.TMLDTimer();
    QCOMPARE(s.handed(), QStringLiteral("/x/dois.exe"));
    QCOMPARE(s.starts(), 2);
    QCOMPARE(t.LTA->currentRow(), 1);
    QVERIFY(t.TMLD.isActive());
    t.TMLDTimer();
    QCOMPARE(s.handed(), QStringLiteral("/x/tres.exe"));
    QCOMPARE(s.starts(), 3);
    QCOMPARE(t.LTA->currentRow(), 2);
    QVERIFY(!t.TMLD.isActive());
}

void TestTasks::startAllWithNothingListed()
{
    TaskSuite s;
    s.open();
    QCOMPARE(s.tasks().LTA->count(), 0);
    QTest::mouseClick(s.tasks().Label108, Qt::LeftButton);
    QVERIFY(s.tats().isVisible());
    QCOMPARE(s.starts(), 0);
    QVERIFY(!s.tasks().TMLD.isActive());
}

void TestTasks::showDuringTheRunNeitherRestartsNorSkips()
{
    TaskSuite s([](TempDataFolder &d) { d.write("dados/Task.list", kThree); });
    s.open();
    TaskPanel &t = s.tasks();
    QTest::mouseClick(t.Label108, Qt::LeftButton);
    t.TMLDTimer();
    s.tats().ShowSuite(); // the view is rebuilt, its selection gone
    QVERIFY(t.TMLD.isActive());
    t.TMLDTimer();
    QCOMPARE(s.handed(), QStringLiteral("/x/tres.exe"));
    QCOMPARE(s.starts(), 3);
    QVERIFY(!t.TMLD.isActive());
}

void TestTasks::closeEndsTheRun()
{
    TaskSuite s([](TempDataFolder &d) { d.write("dados/Task.list", kThree); });
    s.open();
    QTest::mouseClick(s.tasks().Label108, Qt::LeftButton);
    s.tats().ShowSuite();
    s.tats().close();
    QVERIFY(!s.tasks().TMLD.isActive());
    QCOMPARE(s.starts(), 1);
}

void TestTasks::startOne()
{
    TaskSuite s([](TempDataFolder &d) { d.write("dados/Task.list", kThree); });
    s.open();
    doubleClickItem(s.tasks().LTA, 1);
    QVERIFY(!s.tats().isVisible());
    QCOMPARE(s.handed(), QStringLiteral("/x/dois.exe"));
    QCOMPARE(s.starts(), 1);
    QVERIFY(!s.tasks().TMLD.isActive());

    s.open();
    clickItem(s.tasks().LTA, 2);
    QTest::keyClick(s.tasks().LTA, Qt::Key_Return);
    QCOMPARE(s.handed(), QStringLiteral("/x/tres.exe"));
    QCOMPARE(s.starts(), 2);
}

void TestTasks::remove_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("longer path sharing the beginning")
        << QByteArray("/usr/bin/gimp-2.10\r\n/usr/bin/gimp\r\n") << 1 << QByteArray("/usr/bin/gimp-2.10\r\n");
    QTest::newRow("the same task twice")
        << QByteArray("/x/a.exe\r\n/x/b.exe\r\n/x/a.exe\r\n") << 0 << QByteArray("/x/a.exe\r\n/x/b.exe\r\n");
    // Two paths differing only in case are two files: each item takes its own line.
    QTest::newRow("two paths differing in case: the first")
        << QByteArray("/x/A.exe\r\n/x/a.exe\r\n") << 0 << QByteArray("/x/a.exe\r\n");
    QTest::newRow("two paths differing in case: the second")
        << QByteArray("/x/A.exe\r\n/x/a.exe\r\n") << 1 << QByteArray("/x/A.exe\r\n");
}

void TestTasks::remove()
{
    QFETCH(QByteArray, list);
    QFETCH(int, row);
    QFETCH(QByteArray, after);
    TaskSuite s([&](TempDataFolder &d) { d.write("dados/Task.list", list); });
    s.open();
    TaskPanel &t = s.tasks();
    const int before = t.LTA->count();
    clickItem(t.LTA, row);
    QVERIFY(openContextMenu(t.LTA, t.PTA));
    QVERIFY(t.Excluir11->isEnabled());
    chooseFromMenu(t.PTA, t.Excluir11);
    QCOMPARE(s.data.read("dados/Task.list"), after);
    QCOMPARE(t.LTA->count(), before - 1);
}

void TestTasks::excluirEnabledOnlyWithASelection()
{
    TaskSuite s([](TempDataFolder &d) { d.write("dados/Task.list", kThree); });
    s.open();
    TaskPanel &t = s.tasks();
    t.Excluir11->setEnabled(true);
    QVERIFY(openContextMenu(t.LTA, t.PTA));
    QVERIFY(!t.Excluir11->isEnabled());
    t.PTA->close();
    clickItem(t.LTA, 0);
    QVERIFY(openContextMenu(t.LTA, t.PTA));
    QVERIFY(t.Excluir11->isEnabled());
    t.PTA->close();
}

QTEST_MAIN(TestTasks)
#include "tst_tasks.moc"

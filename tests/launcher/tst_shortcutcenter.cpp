// The shortcut center on the Desk page of the suite window: the grid built from the
// shortcut list (or the employee list under the program filter), starting an item through
// the companion, files dropped anywhere on the window, and deleting.
#include "launchersuite.h"

#include "controls/currencyedit.h"
#include "finance/financepage.h"
#include "launcher/deskpage.h"
#include "launcher/iconlist.h"
#include "launcher/shortcutcenter.h"
#include "store/flagfile.h"

#include <QDir>
#include <QFile>
#include <QPixmap>

using namespace zorv;

namespace {

const QString kLong = QStringLiteral("/x/") + QString(297, QLatin1Char('p')); // 300 characters

QByteArray fixtureList()
{
    return "Agenda<>/x/agenda.exe\r\n"
           "<>/x/hidden.exe\r\n"
           "Sem separador\r\n"
           "Longo<>" +
           kLong.toLatin1() + "\r\n";
}

QIcon colourIcon(Qt::GlobalColor colour)
{
    QPixmap p(8, 8);
    p.fill(colour);
    return QIcon(p);
}

ShortcutCenter &center(LauncherSuite &s)
{
    return *s.windows->desk->shortcuts;
}

} // namespace

class TestShortcutCenter : public QObject
{
    Q_OBJECT

private slots:
    void gridFollowsTheListAfterEachFadeIn();
    void start_data();
    void start();
    void drop_data();
    void drop();
    void dropNeverMoves_data();
    void dropNeverMoves();
    void remove_data();
    void remove();
    void excluirEnabledOnlyWithASelection();
    void programFilterListsTheEmployeeList();
};

void TestShortcutCenter::gridFollowsTheListAfterEachFadeIn()
{
    LauncherSuite s([](TempDataFolder &d) { d.write("dados/ma.list", fixtureList()); });
    ShortcutCenter &c = center(s);
    // Loaded at creation; the grid waits for its first rebuild.
    QCOMPARE(c.lat.lines().size(), 4);
    QCOMPARE(captions(c.LVx), QStringList{"Vazio!"});
    QVERIFY(!IconList::hasSubItems(c.LVx->item(0)));

    const QIcon agenda = colourIcon(Qt::red), target = colourIcon(Qt::blue);
    s.fake.shell.icons.insert(QStringLiteral("/x/agenda.exe"), agenda);
    s.fake.shell.shortcuts.insert(kLong);
    s.fake.shell.targetIcons.insert(kLong, target);
    s.showAndSettle();
    QCOMPARE(captions(c.LVx), (QStringList{"Agenda", "Sem separador", "Longo"}));
    QCOMPARE(IconList::subItem(c.LVx->item(0), 0), QStringLiteral("/x/agenda.exe"));
    QCOMPARE(IconList::subItem(c.LVx->item(1), 0), QString());
    QCOMPARE(IconList::subItem(c.LVx->item(2), 0), kLong); // whole, not cut at 255
    QCOMPARE(c.LVx->item(0)->icon().cacheKey(), agenda.cacheKey());
    QCOMPARE(c.LVx->item(2)->icon().cacheKey(), target.cacheKey());
    QVERIFY(c.LVx->item(1)->icon().isNull());
    QVERIFY(!s.fake.shell.iconLookups.contains(QStringLiteral("/x/hidden.exe")));

    // A change made outside is picked up by the next show's refresh.
    s.tats().close();
    QVERIFY(s.data.write("dados/ma.list", "Novo<>/x/novo\r\n"));
    s.showAndSettle();
    QCOMPARE(captions(c.LVx), QStringList{"Novo"});
}

void TestShortcutCenter::start_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<bool>("filter");
    QTest::addColumn<QString>("target"); // empty: nothing handed over
    QTest::newRow("double click") << 0 << false << false << "/x/agenda.exe";
    QTest::newRow("enter") << 0 << true << false << "/x/agenda.exe";
    QTest::newRow("long path whole") << 2 << false << false << kLong;
    QTest::newRow("placeholder") << -1 << false << false << QString();
    QTest::newRow("no path") << 1 << true << false << QString();
    QTest::newRow("program filter: the full path") << 0 << false << true << "/opt/apps/calc";
}

void TestShortcutCenter::start()
{
    QFETCH(int, row);
    QFETCH(bool, byEnter);
    QFETCH(bool, filter);
    QFETCH(QString, target);
    LauncherSuite s([&](TempDataFolder &d) {
        d.write("dados/ma.list", fixtureList());
        if (filter)
            QVERIFY(writeFlagFile(d.paths().windowsFile(kProgramFilterFlag)));
    });
    ShortcutCenter &c = center(s);
    c.setEmployeeList([] { return QStringList{"Calculadora<>calc@/opt/apps/calc"}; });
    s.tats().ShowSuite();
    if (row >= 0)
        c.Atualizar2Click(); // as the refresh after the fade-in does
    s.bringPage(0, s.windows->desk);
    QVERIFY(s.tats().isVisible());

    const int at = row < 0 ? 0 : row;
    if (byEnter) {
        clickItem(c.LVx, at);
        QTest::keyClick(c.LVx, Qt::Key_Return);
    } else {
        doubleClickItem(c.LVx, at);
    }
    QVERIFY(!s.tats().isVisible());
    if (target.isEmpty()) {
        QVERIFY(s.fake.programs.started.isEmpty());
        QCOMPARE(s.handOff(), QByteArray());
    } else {
        QCOMPARE(s.handOff(), target.toLatin1() + "\r\n");
        QCOMPARE(s.fake.programs.started.size(), 1);
        QCOMPARE(s.fake.programs.started[0].program, s.companion());
    }
}

void TestShortcutCenter::drop_data()
{
    QTest::addColumn<QStringList>("items"); // made under the test folder; a trailing '/' makes a folder
    QTest::addColumn<QStringList>("names"); // the name each one gets; "-" for a path left out
    QTest::newRow("document") << QStringList{"Relatorio.doc"} << QStringList{"Relatorio"};
    QTest::newRow("desktop entry") << QStringList{"gimp.desktop"} << QStringList{"gimp"};
    QTest::newRow("three characters") << QStringList{"a.b"} << QStringList{"a"};
    QTest::newRow("two dots") << QStringList{"backup.tar.gz"} << QStringList{"backup.tar"};
    QTest::newRow("leading dot only") << QStringList{".bashrc"} << QStringList{".bashrc"};
    QTest::newRow("no extension") << QStringList{"programa"} << QStringList{"programa"};
    QTest::newRow("folder keeps its dots") << QStringList{"Documents.old/"} << QStringList{"Documents.old"};
    QTest::newRow("same file twice") << QStringList{"x.txt", "x.txt"} << QStringList{"x", "x"};
    QTest::newRow("separator in the name") << QStringList{"a<<>>b.txt"} << QStringList{"ab"};
    QTest::newRow("line break in the path")
        << QStringList{"um.txt", "dois\nlinhas.txt", "tres.txt"} << QStringList{"um", "-", "tres"};
}

// Dropped files land as lines after those already there, in the file's own bytes, and the
// grid shows them; the field under the pointer takes nothing.
void TestShortcutCenter::drop()
{
    QFETCH(QStringList, items);
    QFETCH(QStringList, names);
    LauncherSuite s([](TempDataFolder &d) { d.write("dados/ma.list", "Agenda<>/x/agenda.exe\r\n"); });
    const QString root = s.data.root() + QStringLiteral("/itens/");
    QVERIFY(QDir().mkpath(root));
    QStringList paths;
    for (const QString &item : items) {
        const QString path = root + item;
        if (item.endsWith(QLatin1Char('/'))) {
            QVERIFY(QDir().mkpath(path));
            paths << path.chopped(1);
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            paths << path;
        }
    }
    s.showAndSettle();
    FinancePage &finance = *s.windows->finance;
    const QString typed = finance.FN1->text();

    QCOMPARE(dropFiles(finance.FN1, paths), Qt::LinkAction);
    QCOMPARE(finance.FN1->text(), typed);

    QByteArray expected = "Agenda<>/x/agenda.exe\r\n";
    QStringList shown{"Agenda"};
    for (int i = 0; i < paths.size(); ++i) {
        if (names[i] == QLatin1String("-"))
            continue;
        expected += (names[i] + QStringLiteral("<>") + paths[i]).toUtf8() + "\r\n";
        shown << names[i];
    }
    QCOMPARE(s.data.read("dados/ma.list"), expected);
    QCOMPARE(captions(center(s).LVx), shown);
}

void TestShortcutCenter::dropNeverMoves_data()
{
    QTest::addColumn<int>("offered");
    QTest::addColumn<int>("chosen");
    QTest::newRow("link offered") << int(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction)
                                  << int(Qt::LinkAction);
    QTest::newRow("copy or move") << int(Qt::CopyAction | Qt::MoveAction) << int(Qt::CopyAction);
    QTest::newRow("move only") << int(Qt::MoveAction) << int(Qt::IgnoreAction);
}

void TestShortcutCenter::dropNeverMoves()
{
    QFETCH(int, offered);
    QFETCH(int, chosen);
    LauncherSuite s;
    s.showAndSettle();
    const QString file = s.data.root() + QStringLiteral("/nota.txt");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QCOMPARE(int(dropFiles(s.windows->finance->FN1, {file}, Qt::DropActions(offered))), chosen);
    QVERIFY(QFile::exists(file));
    QCOMPARE(s.data.read("dados/ma.list"),
             chosen == Qt::IgnoreAction ? QByteArray() : ("nota<>" + file.toUtf8() + "\r\n"));
}

void TestShortcutCenter::remove_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<int>("row");           // the item deleted; -1: the placeholder
    QTest::addColumn<QByteArray>("onDisk"); // the file just before "Excluir"; null: as listed, "-": gone
    QTest::addColumn<QByteArray>("after");  // the file afterwards
    QTest::addColumn<QStringList>("grid");  // the grid afterwards
    QTest::newRow("longer path sharing the beginning")
        << QByteArray("Docs<>/h/Docs antigo\r\nDocs<>/h/Docs\r\n") << 1 << QByteArray()
        << QByteArray("Docs<>/h/Docs antigo\r\n") << QStringList{"Docs"};
    // "A.txt" and "a.txt" are two files: each item takes its own line, whatever the order.
    const QByteArray twoFiles = "A<>/m/A.txt\r\na<>/m/a.txt\r\n";
    QTest::newRow("two names differing in case: the first")
        << twoFiles << 0 << QByteArray() << QByteArray("a<>/m/a.txt\r\n") << QStringList{"a"};
    QTest::newRow("two names differing in case: the second")
        << twoFiles << 1 << QByteArray() << QByteArray("A<>/m/A.txt\r\n") << QStringList{"A"};
    QTest::newRow("same line in other case")
        << QByteArray("Agenda<>C:\\x.exe\r\nAGENDA<>C:\\x.exe\r\n") << 0 << QByteArray()
        << QByteArray("AGENDA<>C:\\x.exe\r\n") << QStringList{"AGENDA"};
    // A list rewritten in other letter case since it was shown (copied from Windows).
    QTest::newRow("only in other case")
        << QByteArray("Agenda<>/x/a\r\nDocs<>/h\r\n") << 0 << QByteArray("Docs<>/h\r\nAGENDA<>/X/A\r\n")
        << QByteArray("Docs<>/h\r\n") << QStringList{"Docs"};
    QTest::newRow("none") << QByteArray("Agenda<>/x/a\r\n") << 0 << QByteArray("Agenda<>/x/b\r\n")
                          << QByteArray("Agenda<>/x/b\r\n") << QStringList{"Agenda"};
    QTest::newRow("no file") << QByteArray("Agenda<>/x/a\r\n") << 0 << QByteArray("-") << QByteArray()
                             << QStringList{"Agenda"};
    QTest::newRow("placeholder") << QByteArray("Agenda<>/x/a\r\n") << -1 << QByteArray()
                                 << QByteArray("Agenda<>/x/a\r\n") << QStringList{"Vazio!"};
}

void TestShortcutCenter::remove()
{
    QFETCH(QByteArray, list);
    QFETCH(int, row);
    QFETCH(QByteArray, onDisk);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, grid);
    LauncherSuite s([&](TempDataFolder &d) { d.write("dados/ma.list", list); });
    ShortcutCenter &c = center(s);
    s.tats().ShowSuite();
    if (row >= 0)
        c.Atualizar2Click();
    s.bringPage(0, s.windows->desk);
    if (onDisk == "-")
        QVERIFY(QFile::remove(s.data.file("dados/ma.list")));
    else if (!onDisk.isNull())
        QVERIFY(s.data.write("dados/ma.list", onDisk));

    clickItem(c.LVx, qMax(row, 0));
    QVERIFY(openContextMenu(c.LVx, c.PopupMenu2));
    QVERIFY(c.Excluir1->isEnabled());
    chooseFromMenu(c.PopupMenu2, c.Excluir1);
    QCOMPARE(s.data.read("dados/ma.list"), after);
    QCOMPARE(captions(c.LVx), grid);
}

void TestShortcutCenter::excluirEnabledOnlyWithASelection()
{
    LauncherSuite s([](TempDataFolder &d) { d.write("dados/ma.list", "Agenda<>/x/a\r\n"); });
    ShortcutCenter &c = center(s);
    s.showAndSettle();
    s.bringPage(0, s.windows->desk);
    c.Excluir1->setEnabled(true);
    QVERIFY(openContextMenu(c.LVx, c.PopupMenu2));
    QVERIFY(!c.Excluir1->isEnabled());
    QVERIFY(c.Atualizar2->isEnabled());
    c.PopupMenu2->close();
    clickItem(c.LVx, 0);
    QVERIFY(openContextMenu(c.LVx, c.PopupMenu2));
    QVERIFY(c.Excluir1->isEnabled());
    c.PopupMenu2->close();
}

// Under the program filter the grid lists the employee list; "Excluir" changes neither list,
// not even a line of the user's own list that reads like the chosen employee item.
void TestShortcutCenter::programFilterListsTheEmployeeList()
{
    const QByteArray own = "Calculadora<>calc\r\n";
    LauncherSuite s([&](TempDataFolder &d) {
        d.write("dados/ma.list", own);
        QVERIFY(writeFlagFile(d.paths().windowsFile(kProgramFilterFlag)));
    });
    ShortcutCenter &c = center(s);
    QStringList employees{"Calculadora<>calc@/opt/apps/calc@2", "<>sem titulo@/x", "Editor<>ed"};
    c.setEmployeeList([&] { return employees; });
    s.fake.shell.icons.insert(QStringLiteral("/opt/apps/calc@2"), colourIcon(Qt::red));
    s.showAndSettle();
    QCOMPARE(captions(c.LVx), (QStringList{"Calculadora", "Editor"}));
    QCOMPARE(IconList::subItem(c.LVx->item(0), 0), QStringLiteral("calc"));
    QCOMPARE(IconList::subItem(c.LVx->item(0), 1), QStringLiteral("/opt/apps/calc@2"));
    QVERIFY(!c.LVx->item(0)->icon().isNull());
    QCOMPARE(IconList::subItem(c.LVx->item(1), 1), QString());

    s.bringPage(0, s.windows->desk);
    clickItem(c.LVx, 0);
    QVERIFY(openContextMenu(c.LVx, c.PopupMenu2));
    chooseFromMenu(c.PopupMenu2, c.Excluir1);
    QCOMPARE(s.data.read("dados/ma.list"), own);
    QCOMPARE(employees.size(), 3);
    QCOMPARE(c.LVx->count(), 2);
}

QTEST_MAIN(TestShortcutCenter)
#include "tst_shortcutcenter.moc"

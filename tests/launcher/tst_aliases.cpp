// The aliases page of the suite window: choosing a file, applying an alias, the list built
// shortly after each show, deleting and starting.
#include "launchersuite.h"

#include "controls/linklabel.h"
#include "launcher/aliaspage.h"
#include "launcher/iconlist.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

using namespace zorv;

namespace {

QIcon redIcon()
{
    QPixmap p(8, 8);
    p.fill(Qt::red);
    return QIcon(p);
}

// A file under the test folder, with the executable bit when asked.
QString makeFile(const TempDataFolder &d, const QString &name, bool executable = false)
{
    const QString path = d.root() + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.close();
    if (executable)
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

struct AliasSuite : LauncherSuite
{
    using LauncherSuite::LauncherSuite;
    AliasPage &page() { return *windows->aliases; }
    void open()
    {
        showAndSettle();
        bringPage(1, windows->aliases);
    }
    void choose(const QString &file)
    {
        fake.dialogs.files.enqueue(file);
        QTest::mouseClick(page().cna, Qt::LeftButton);
    }
    void apply(const QString &alias)
    {
        QTest::keyClicks(page().ENA, alias);
        QTest::mouseClick(page().ana, Qt::LeftButton);
    }
};

} // namespace

class TestAliases : public QObject
{
    Q_OBJECT

private slots:
    void chooseFile_data();
    void chooseFile();
    void applyStoresCapitalsAndKeepsTheFile();
    void applyRefused_data();
    void applyRefused();
    void showForgetsTheChosenFile();
    void listBuiltAfterShowOnlyWithShortcutList_data();
    void listBuiltAfterShowOnlyWithShortcutList();
    void remove_data();
    void remove();
    void startHandsThePath();
};

void TestAliases::chooseFile_data()
{
    QTest::addColumn<QString>("name"); // empty: the choice is cancelled
    QTest::addColumn<bool>("executable");
    QTest::addColumn<bool>("taken");
    QTest::newRow("cancelled") << QString() << false << false;
    QTest::newRow("no extension") << "LEIAME" << false << false;
    QTest::newRow("program without extension") << "editor" << true << true;
    QTest::newRow("document") << "carta.odt" << false << true;
}

void TestAliases::chooseFile()
{
    QFETCH(QString, name);
    QFETCH(bool, executable);
    QFETCH(bool, taken);
    AliasSuite s;
    s.open();
    const QString file = name.isEmpty() ? QString() : makeFile(s.data, name, executable);
    s.fake.shell.icons.insert(file, redIcon());
    s.choose(file);

    QCOMPARE(s.fake.dialogs.shown.size(), 1);
    QCOMPARE(s.fake.dialogs.shown[0].filter, QStringLiteral("Todos (*)"));
    AliasPage &p = s.page();
    QCOMPARE(p.LNA->text(), taken ? name : QString());
    QCOMPARE(p.LNA->toolTip(), taken ? file : QString());
    QCOMPARE(!p.ina->pixmap().isNull(), taken);
    QCOMPARE(p.ENA->hasFocus(), taken);
}

void TestAliases::applyStoresCapitalsAndKeepsTheFile()
{
    AliasSuite s([](TempDataFolder &d) { d.write("dados/Speed.Run", "Q<>/x/q\r\n"); });
    s.open();
    const QString file = makeFile(s.data, QStringLiteral("carta.odt"));
    s.choose(file);
    QTest::keyClicks(s.page().ENA, QStringLiteral("x"));
    QCOMPARE(s.page().ENA->text(), QStringLiteral("X"));
    QTest::mouseClick(s.page().ana, Qt::LeftButton);
    QCOMPARE(s.data.read("dados/Speed.Run"), "Q<>/x/q\r\nX<>" + file.toUtf8() + "\r\n");
    AliasPage &p = s.page();
    QCOMPARE(p.ENA->text(), QString());
    QCOMPARE(p.LNA->text(), QString());
    QVERIFY(p.ina->pixmap().isNull());
    QCOMPARE(captions(p.LVA), (QStringList{"Apelido - Q", "Apelido - X"}));
    QCOMPARE(IconList::subItem(p.LVA->item(1), 0), QStringLiteral("X"));
    QCOMPARE(IconList::subItem(p.LVA->item(1), 1), file);

    // The chosen file stays until the next show: a second alias for the same file.
    s.apply(QStringLiteral("cT2"));
    QCOMPARE(s.data.read("dados/Speed.Run"),
             "Q<>/x/q\r\nX<>" + file.toUtf8() + "\r\nCT2<>" + file.toUtf8() + "\r\n");
    QCOMPARE(captions(p.LVA).last(), QStringLiteral("Apelido - CT2"));
}

void TestAliases::applyRefused_data()
{
    QTest::addColumn<bool>("chooseFirst");
    QTest::addColumn<QString>("alias");
    QTest::newRow("no file chosen") << false << "X";
    QTest::newRow("no alias") << true << "";
    QTest::newRow("separator in the alias") << true << "A<>B";
}

void TestAliases::applyRefused()
{
    QFETCH(bool, chooseFirst);
    QFETCH(QString, alias);
    AliasSuite s;
    s.open();
    if (chooseFirst)
        s.choose(makeFile(s.data, QStringLiteral("carta.odt")));
    s.apply(alias);
    QVERIFY(!QFile::exists(s.data.file("dados/Speed.Run")));
    QCOMPARE(s.page().ENA->text(), alias.toUpper()); // kept for a correction
    QCOMPARE(captions(s.page().LVA), QStringList{"Vazio!"});
}

void TestAliases::showForgetsTheChosenFile()
{
    AliasSuite s;
    s.open();
    s.fake.shell.icons.insert(s.data.root() + QStringLiteral("/carta.odt"), redIcon());
    s.choose(makeFile(s.data, QStringLiteral("carta.odt")));
    QVERIFY(!s.page().ina->pixmap().isNull());
    s.tats().ShowSuite();
    QCOMPARE(s.page().LNA->text(), QString());
    QCOMPARE(s.page().LNA->toolTip(), QString());
    QVERIFY(s.page().ina->pixmap().isNull());
    s.bringPage(1, s.windows->aliases);
    s.apply(QStringLiteral("X"));
    QVERIFY(!QFile::exists(s.data.file("dados/Speed.Run")));
}

void TestAliases::listBuiltAfterShowOnlyWithShortcutList_data()
{
    QTest::addColumn<bool>("shortcutList");
    QTest::newRow("with the shortcut list") << true;
    QTest::newRow("without") << false;
}

void TestAliases::listBuiltAfterShowOnlyWithShortcutList()
{
    QFETCH(bool, shortcutList);
    AliasSuite s([&](TempDataFolder &d) {
        d.write("dados/Speed.Run", "AB<>/x/ab\r\n");
        if (shortcutList)
            d.write("dados/ma.list", "Agenda<>/x/a\r\n");
    });
    s.tats().ShowSuite();
    AliasPage &p = s.page();
    QCOMPARE(p.TMli.isActive(), shortcutList);
    QCOMPARE(p.TMli.interval(), 100);
    QCOMPARE(captions(p.LVA), QStringList{"Vazio!"});
    if (shortcutList)
        p.TMliTimer();
    QVERIFY(!p.TMli.isActive());
    QCOMPARE(captions(p.LVA), shortcutList ? QStringList{"Apelido - AB"} : QStringList{"Vazio!"});
}

void TestAliases::remove_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("AB beside ABC") << QByteArray("AB<>/x/ab\r\nABC<>/x/abc\r\n") << 0
                                   << QByteArray("ABC<>/x/abc\r\n");
    QTest::newRow("path sharing the beginning")
        << QByteArray("AB<>/x/ab\r\nAB<>/x/ab2\r\n") << 0 << QByteArray("AB<>/x/ab2\r\n");
    // One alias for two files whose names differ only in case: each item takes its own line.
    QTest::newRow("paths differing in case: the first")
        << QByteArray("M<>/x/Song.mp3\r\nM<>/x/song.mp3\r\n") << 0 << QByteArray("M<>/x/song.mp3\r\n");
    QTest::newRow("paths differing in case: the second")
        << QByteArray("M<>/x/Song.mp3\r\nM<>/x/song.mp3\r\n") << 1 << QByteArray("M<>/x/Song.mp3\r\n");
    QTest::newRow("alias stored in small letters")
        << QByteArray("Q<>/x/q\r\nab<>/x/ab\r\n") << 1 << QByteArray("Q<>/x/q\r\n");
    QTest::newRow("placeholder") << QByteArray("AB<>/x/ab\r\n") << -1 << QByteArray("AB<>/x/ab\r\n");
}

void TestAliases::remove()
{
    QFETCH(QByteArray, list);
    QFETCH(int, row);
    QFETCH(QByteArray, after);
    AliasSuite s([&](TempDataFolder &d) { d.write("dados/Speed.Run", list); });
    s.open();
    AliasPage &p = s.page();
    if (row >= 0) {
        QVERIFY(openContextMenu(p.LVA, p.PopupMenu3));
        chooseFromMenu(p.PopupMenu3, p.Atualizar1);
    }
    const int before = p.LVA->count();
    clickItem(p.LVA, qMax(row, 0));
    QVERIFY(openContextMenu(p.LVA, p.PopupMenu3));
    QVERIFY(p.Excluir2->isEnabled());
    chooseFromMenu(p.PopupMenu3, p.Excluir2);
    QCOMPARE(s.data.read("dados/Speed.Run"), after);
    QCOMPARE(p.LVA->count(), row >= 0 ? before - 1 : before);
}

void TestAliases::startHandsThePath()
{
    AliasSuite s([](TempDataFolder &d) {
        d.write("dados/Speed.Run", "AB<>/x/ab\r\n");
        d.write("dados/ma.list", "");
    });
    s.tats().ShowSuite();
    s.page().TMliTimer();
    s.bringPage(1, s.windows->aliases);
    clickItem(s.page().LVA, 0);
    QTest::keyClick(s.page().LVA, Qt::Key_Enter);
    QVERIFY(!s.tats().isVisible());
    QCOMPARE(s.handOff(), QByteArray("/x/ab\r\n"));
    QCOMPARE(s.fake.programs.started.size(), 1);
    QCOMPARE(s.fake.programs.started[0].program, s.companion());
}

QTEST_MAIN(TestAliases)
#include "tst_aliases.moc"

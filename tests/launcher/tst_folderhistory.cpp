// The folder history on the Desk page of the suite window: saving the current folder to
// both files together, choosing a saved folder, and deleting one.
#include "launchersuite.h"

#include "controls/linklabel.h"
#include "launcher/deskpage.h"
#include "launcher/folderbrowser.h"
#include "launcher/folderhistory.h"
#include "launcher/iconlist.h"

#include <QDir>
#include <QLabel>

using namespace zorv;

namespace {

struct HistorySuite : LauncherSuite
{
    QString desktop;

    explicit HistorySuite(const std::function<void(TempDataFolder &)> &prepare = {})
        : LauncherSuite(prepare)
    {
        desktop = data.root() + QStringLiteral("/Desktop");
        QDir().mkpath(desktop);
        fake.shell.desktop = desktop;
    }
    FolderHistory &history() { return *windows->desk->history; }
    FolderBrowser &browser() { return *windows->desk->browser; }
    void open()
    {
        showAndSettle();
        bringPage(0, windows->desk);
    }
    // Opens the desktop's folder `name` from the browser, as a double click does.
    void openFolder(const QString &name)
    {
        QDir().mkpath(desktop + QLatin1Char('/') + name);
        browser().setFolder(desktop); // listed again, with the new folder
        const int row = int(captions(browser().LV).indexOf(name));
        QVERIFY(row >= 0);
        doubleClickItem(browser().LV, row);
    }
    QByteArray names() const { return data.read("dados/history.nav"); }
    QByteArray paths() const { return data.read("dados/history.naveg"); }
};

} // namespace

class TestFolderHistory : public QObject
{
    Q_OBJECT

private slots:
    void showMakesTheDesktopCurrent();
    void save_data();
    void save();
    void unwritablePairChangesNeither();
    void choosingASavedFolder();
    void excluir();
};

void TestFolderHistory::showMakesTheDesktopCurrent()
{
    HistorySuite s;
    s.open();
    QCOMPARE(s.history().edn->text(), QStringLiteral("Desktop"));
    QCOMPARE(s.history().edn->toolTip(), s.desktop);
    QCOMPARE(s.browser().folder(), s.desktop);
}

void TestFolderHistory::save_data()
{
    QTest::addColumn<QString>(
        "open"); // the desktop folder opened before "Salvar"; "-": none, "": an empty name
    QTest::addColumn<bool>("saved");
    QTest::newRow("Desktop") << "-" << false;
    QTest::newRow("empty name") << "" << false;
    QTest::newRow("new folder") << "Fotos" << true;
    QTest::newRow("same name in other case") << "MUSICAS" << false;
}

void TestFolderHistory::save()
{
    QFETCH(QString, open);
    QFETCH(bool, saved);
    const QByteArray names = "musicas\r\n\r\n", paths = "/h/musicas\r\n/h/sem nome\r\n";
    HistorySuite s([&](TempDataFolder &d) {
        d.write("dados/history.nav", names);
        d.write("dados/history.naveg", paths);
    });
    s.open();
    if (open.isEmpty())
        clickItem(s.history().PN, 1); // the saved entry without a name
    else if (open != QLatin1String("-"))
        s.openFolder(open);
    QTest::mouseClick(s.history().sh, Qt::LeftButton);
    if (saved) {
        QCOMPARE(s.names(), names + open.toUtf8() + "\r\n");
        QCOMPARE(s.paths(), paths + (s.desktop + QLatin1Char('/') + open).toUtf8() + "\r\n");
        QCOMPARE(captions(s.history().PN).last(), open);
    } else {
        QCOMPARE(s.names(), names);
        QCOMPARE(s.paths(), paths);
    }
    // Saving it again stores it once.
    QTest::mouseClick(s.history().sh, Qt::LeftButton);
    QCOMPARE(s.names().count('\n'), saved ? 3 : 2);
}

// One of the pair cannot be written: neither file changes.
void TestFolderHistory::unwritablePairChangesNeither()
{
    HistorySuite s([](TempDataFolder &d) { d.write("dados/history.nav", "musicas\r\n"); });
    QVERIFY(QDir().mkdir(s.data.file("dados/history.naveg")));
    s.open();
    s.openFolder(QStringLiteral("Fotos"));
    QTest::mouseClick(s.history().sh, Qt::LeftButton);
    QCOMPARE(s.names(), QByteArray("musicas\r\n"));
    QVERIFY(QFileInfo(s.data.file("dados/history.naveg")).isDir());
    QCOMPARE(captions(s.history().PN), QStringList{"musicas"});
}

void TestFolderHistory::choosingASavedFolder()
{
    HistorySuite s;
    const QString fotos = s.desktop + QStringLiteral("/Fotos");
    QDir().mkpath(fotos + QStringLiteral("/2013"));
    s.data.write("dados/history.nav", "musicas\r\nFotos\r\n");
    s.data.write("dados/history.naveg", "/h/musicas\r\n" + fotos.toUtf8() + "\r\n");
    s.open();
    QCOMPARE(captions(s.history().PN), (QStringList{"musicas", "Fotos"}));
    clickItem(s.history().PN, 1);
    QCOMPARE(s.history().edn->text(), QStringLiteral("Fotos"));
    QCOMPARE(s.history().edn->toolTip(), fotos);
    QCOMPARE(captions(s.browser().LV), QStringList{"2013"});
}

void TestFolderHistory::excluir()
{
    const QByteArray names = "a\r\nb\r\nc\r\n", paths = "/h/a\r\n/h/b\r\n/h/c\r\n";
    HistorySuite s([&](TempDataFolder &d) {
        d.write("dados/history.nav", names);
        d.write("dados/history.naveg", paths);
    });
    s.open();
    FolderHistory &h = s.history();
    h.Excluir4->setEnabled(true);
    QVERIFY(openContextMenu(h.PN, h.PopupMenu5));
    QVERIFY(!h.Excluir4->isEnabled()); // nothing chosen yet
    h.PopupMenu5->close();

    clickItem(h.PN, 1);
    QVERIFY(openContextMenu(h.PN, h.PopupMenu5));
    QVERIFY(h.Excluir4->isEnabled());
    chooseFromMenu(h.PopupMenu5, h.Excluir4);
    QCOMPARE(s.names(), QByteArray("a\r\nc\r\n"));
    QCOMPARE(s.paths(), QByteArray("/h/a\r\n/h/c\r\n"));
    QCOMPARE(captions(h.PN), (QStringList{"a", "c"}));
    QVERIFY(openContextMenu(h.PN, h.PopupMenu5));
    QVERIFY(!h.Excluir4->isEnabled());
    h.PopupMenu5->close();
}

QTEST_MAIN(TestFolderHistory)
#include "tst_folderhistory.moc"

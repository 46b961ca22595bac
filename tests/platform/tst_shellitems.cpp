// Item icons and shortcuts on the real desktop services over items the test makes, the one
// icon rule over the fake, and the desktop entry reader.
#include "platform/desktopentry.h"
#include "platform/fakes.h"
#include "platform/shellitems.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <future>

using namespace zorv;

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QIcon redIcon()
{
    QPixmap red(16, 16);
    red.fill(Qt::red);
    return QIcon(red);
}

} // namespace

class TestShellItems : public QObject
{
    Q_OBJECT

private slots:
    void desktopItems_data();
    void desktopItems();
    void entryIconIsThePictureItNames();
    void itemIcon_data();
    void itemIcon();
    void parseEntry();
    void entryReadRefusesWhatIsNotAFile_data();
    void entryReadRefusesWhatIsNotAFile();
    void execArguments_data();
    void execArguments();
};

void TestShellItems::desktopItems_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("shortcut");
    QTest::addColumn<bool>("targetIcon");
    QTest::addColumn<bool>("ownIcon");
    QTest::newRow("file") << "notes.txt" << false << false << true;
    QTest::newRow("folder") << "Docs" << false << false << true;
    QTest::newRow("link to a file") << "link" << true << true << true;
    QTest::newRow("dangling link") << "dangling" << true << false << true;
    QTest::newRow("entry with a picture") << "painter.desktop" << true << true << true;
    QTest::newRow("entry with a missing picture") << "broken.desktop" << true << false << true;
    QTest::newRow("entry named by theme only") << "themed.desktop" << true << false << true;
    QTest::newRow("missing path") << "nothing-here.txt" << false << false << false;
    QTest::newRow("empty path") << "" << false << false << false;
}

void TestShellItems::desktopItems()
{
    QFETCH(QString, item);
    QFETCH(bool, shortcut);
    QFETCH(bool, targetIcon);
    QFETCH(bool, ownIcon);
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    QImage picture(8, 8, QImage::Format_ARGB32);
    picture.fill(Qt::blue);
    QVERIFY(picture.save(root + QStringLiteral("painter.png")));
    QVERIFY(writeFile(root + QStringLiteral("notes.txt"), "x\n"));
    QVERIFY(QDir().mkdir(root + QStringLiteral("Docs")));
    QVERIFY(QFile::link(root + QStringLiteral("notes.txt"), root + QStringLiteral("link")));
    QVERIFY(QFile::link(root + QStringLiteral("gone.txt"), root + QStringLiteral("dangling")));
    QVERIFY(writeFile(root + QStringLiteral("painter.desktop"),
                      "[Desktop Entry]\nType=Application\nName=Painter\nExec=painter\nIcon=" +
                          (root + QStringLiteral("painter.png")).toUtf8() + "\n"));
    QVERIFY(writeFile(root + QStringLiteral("broken.desktop"),
                      "[Desktop Entry]\nType=Application\nExec=x\nIcon=" +
                          (root + QStringLiteral("missing.png")).toUtf8() + "\n"));
    // Offscreen there is no icon theme, and no shared pixmap has this name.
    QVERIFY(writeFile(root + QStringLiteral("themed.desktop"),
                      "[Desktop Entry]\nType=Application\nExec=x\nIcon=zorv-no-such-icon-anywhere\n"));

    DesktopShellItems shell;
    const QString path = item.isEmpty() ? QString() : root + item;
    QCOMPARE(shell.isShortcut(path), shortcut);
    QCOMPARE(!shell.shortcutTargetIcon(path).isNull(), targetIcon);
    QCOMPARE(!shell.icon(path).isNull(), ownIcon);
}

// The entry's picture itself is what shows, not a generic one.
void TestShellItems::entryIconIsThePictureItNames()
{
    QTemporaryDir dir;
    QImage picture(8, 8, QImage::Format_ARGB32);
    picture.fill(Qt::blue);
    const QString png = dir.filePath(QStringLiteral("p.png"));
    QVERIFY(picture.save(png));
    const QString entry = dir.filePath(QStringLiteral("p.desktop"));
    QVERIFY(writeFile(entry, "[Desktop Entry]\nType=Application\nExec=p\nIcon=" + png.toUtf8() + "\n"));
    DesktopShellItems shell;
    const QImage shown = shell.shortcutTargetIcon(entry).pixmap(8, 8).toImage();
    QCOMPARE(shown.pixelColor(4, 4), QColor(Qt::blue));
}

void TestShellItems::itemIcon_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("fallback");
    QTest::addColumn<QString>("expected"); // "target", "own" or "none"
    QTest::addColumn<QStringList>("lookups");
    const int own = int(LinkFallback::OwnIcon), none = int(LinkFallback::None);
    QTest::newRow("plain item") << "/a/plain" << own << "own" << QStringList{"icon /a/plain"};
    QTest::newRow("plain item without fallback")
        << "/a/plain" << none << "own" << QStringList{"icon /a/plain"};
    QTest::newRow("shortcut with a target icon")
        << "/a/link" << own << "target" << QStringList{"target /a/link"};
    QTest::newRow("shortcut without, own icon")
        << "/a/bare-link" << own << "own" << QStringList{"target /a/bare-link", "icon /a/bare-link"};
    QTest::newRow("shortcut without, no fallback")
        << "/a/bare-link" << none << "none" << QStringList{"target /a/bare-link"};
}

void TestShellItems::itemIcon()
{
    QFETCH(QString, path);
    QFETCH(int, fallback);
    QFETCH(QString, expected);
    QFETCH(QStringList, lookups);
    FakeShellItems shell;
    const QIcon target = redIcon();
    QPixmap green(16, 16);
    green.fill(Qt::green);
    const QIcon own(green);
    shell.shortcuts = {QStringLiteral("/a/link"), QStringLiteral("/a/bare-link")};
    shell.targetIcons.insert(QStringLiteral("/a/link"), target);
    for (const char *p : {"/a/plain", "/a/link", "/a/bare-link"})
        shell.icons.insert(QLatin1String(p), own);

    const QIcon icon = ItemIcon(shell, path, LinkFallback(fallback));
    if (expected == QLatin1String("none"))
        QVERIFY(icon.isNull());
    else
        QCOMPARE(icon.cacheKey(), (expected == QLatin1String("target") ? target : own).cacheKey());
    QStringList asked;
    for (const QString &p : shell.targetLookups)
        asked << QStringLiteral("target ") + p;
    for (const QString &p : shell.iconLookups)
        asked << QStringLiteral("icon ") + p;
    QCOMPARE(asked, lookups);
}

void TestShellItems::parseEntry()
{
    const QByteArray bytes = "# comment\n"
                             "[Other Group]\nName=Wrong\n"
                             "[Desktop Entry]\n"
                             "Type=Application\n"
                             "Name[pt_BR]=Editor de imagens\n"
                             "Name=Image\\sEditor\n"
                             "Icon = gimp\n"
                             "Exec=gimp-2.10 %U\n"
                             "Path=/home/u/work\\\\dir\n"
                             "Terminal=true\n"
                             "[Desktop Action new]\nExec=other\n";
    const std::optional<DesktopEntry> entry = parseDesktopEntry(bytes);
    QVERIFY(entry);
    QCOMPARE(entry->type, QStringLiteral("Application"));
    QCOMPARE(entry->name, QStringLiteral("Image Editor"));
    QCOMPARE(entry->icon, QStringLiteral("gimp"));
    QCOMPARE(entry->exec, QStringLiteral("gimp-2.10 %U"));
    QCOMPARE(entry->path, QStringLiteral("/home/u/work\\dir"));
    QVERIFY(entry->terminal);
    QVERIFY(!parseDesktopEntry("Type=Application\nExec=x\n"));
}

// An entry named by a link to a pipe or a device is refused at once: opening a pipe would
// wait for a writer, and a device reads without end.
void TestShellItems::entryReadRefusesWhatIsNotAFile_data()
{
    QTest::addColumn<QString>("target"); // "fifo", a device path, or "big"
    QTest::newRow("a pipe") << "fifo";
    QTest::newRow("an endless device") << "/dev/zero";
    QTest::newRow("a file beyond any entry") << "big";
}

void TestShellItems::entryReadRefusesWhatIsNotAFile()
{
    QFETCH(QString, target);
    QTemporaryDir dir;
    QString real = target;
    if (target == "fifo") {
        real = dir.filePath("fila");
        QCOMPARE(::mkfifo(QFile::encodeName(real).constData(), 0600), 0);
    } else if (target == "big") {
        real = dir.filePath("big");
        QFile f(real);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.write("[Desktop Entry]\nType=Link\nURL=x\n") > 0);
        QVERIFY(f.resize(2 * 1024 * 1024));
    }
    const QString entry = dir.filePath("Tool.desktop");
    QVERIFY(QFile::link(real, entry));
    auto reading = std::async(std::launch::async, [entry] { return readDesktopEntry(entry).has_value(); });
    // A generous bound that only a hang reaches; the read itself takes microseconds.
    QVERIFY2(reading.wait_for(std::chrono::seconds(30)) == std::future_status::ready, "the read hangs");
    QVERIFY(!reading.get());
}

void TestShellItems::execArguments_data()
{
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QStringList>("args"); // empty: refused
    QTest::newRow("file codes dropped") << "viewer %f --flag %U" << QStringList{"viewer", "--flag"};
    QTest::newRow("icon") << "app %i" << QStringList{"app", "--icon", "pic"};
    QTest::newRow("name, entry, percent")
        << "app --title=%c %k 100%%" << QStringList{"app", "--title=My App", "/e/app.desktop", "100%"};
    QTest::newRow("unknown code is nothing") << "app %d%z x" << QStringList{"app", "", "x"};
    QTest::newRow("quoted with escapes") << R"("/opt/My App/run" "say \"hi\"" "a\\b" "\$HOME")"
                                         << QStringList{"/opt/My App/run", "say \"hi\"", "a\\b", "$HOME"};
    QTest::newRow("open quote") << "\"app" << QStringList{};
    QTest::newRow("empty") << "  " << QStringList{};
    QTest::newRow("only a file code") << "%F" << QStringList{};
}

void TestShellItems::execArguments()
{
    QFETCH(QString, exec);
    QFETCH(QStringList, args);
    DesktopEntry entry;
    entry.name = QStringLiteral("My App");
    entry.icon = QStringLiteral("pic");
    entry.exec = exec;
    const std::optional<QStringList> got = zorv::execArguments(entry, QStringLiteral("/e/app.desktop"));
    QCOMPARE(got.value_or(QStringList()), args);
}

QTEST_MAIN(TestShellItems)
#include "tst_shellitems.moc"

#include "settings/programrestriction.h"

#include "controls/linklabel.h"
#include "platform/fakes.h"
#include "platform/x11windows.h"
#include "security/password.h"
#include "settings/employeelist.h"
#include "settings/settingspage.h"
#include "store/flagfile.h"

#include "../platform/xvfbserver.h"
#include "loggedwarnings.h"
#include "tempdatafolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QTest>
#include <QTreeWidget>

using namespace zorv;

namespace {

const QByteArray kMarker("57948579487593465966\r\n");

// The settings page with the panel in its area, on a temporary installation; the mark and
// the icon slots are plain values here, the icon lookup answers for files that exist.
struct Fixture
{
    Fixture()
        : password(data.paths())
        , page(data.paths(), fake.services(), password, LB)
        , panel(data.paths(), fake.services(), password, LB, page, hooks())
    {
        QDir().mkpath(data.paths().exeDir() + "Aplicativos");
        page.resize(900, 700);
        page.show();
        page.activateWindow();
        // Best effort, as before: the fixture goes on whether or not the window got active.
        (void)QTest::qWaitForWindowActive(&page);
    }
    ProgramFilterHooks hooks()
    {
        return {[this] { return mark; }, [this](int m) { mark = m; },
                [this](bool shown) { slotsShown = shown; },
                [](const QString &path) {
                    if (!QFileInfo::exists(path))
                        return QIcon();
                    QPixmap p(16, 16);
                    p.fill(Qt::green);
                    return QIcon(p);
                }};
    }
    QString windowsFile(const QString &name) const { return data.paths().windowsFile(name); }
    QByteArray read(const QString &name) const
    {
        QFile f(windowsFile(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(windowsFile(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
    // A program under "Aplicativos", executable unless told otherwise.
    QString program(const QString &name, bool executable = true) const
    {
        const QString path = data.paths().exeDir() + "Aplicativos/" + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\n");
        f.close();
        if (executable)
            f.setPermissions(f.permissions() | QFile::ExeOwner);
        return path;
    }
    QStringList captions() const
    {
        QStringList list;
        for (int i = 0; i < panel.LFC->topLevelItemCount(); ++i)
            list << panel.LFC->topLevelItem(i)->text(0);
        return list;
    }
    // Chooses `file` through "Liberar programas" and types `title` + Enter into FC2.
    void add(const QString &file, const QString &title)
    {
        if (!file.isNull())
            fake.dialogs.files.enqueue(file);
        QTest::mouseClick(panel.Label55, Qt::LeftButton, {}, panel.Label55->rect().center());
        type(panel.FC2, title);
        QTest::keyClick(panel.FC2, Qt::Key_Return);
    }
    // Key by key, also for letters QTest::keyClicks cannot send (outside Latin-1).
    static void type(QWidget *field, const QString &text)
    {
        for (QChar c : text) {
            if (c.unicode() < 0x80)
                QTest::keyClick(field, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, field, Qt::Key_A, QString(c), Qt::NoModifier);
        }
    }
    void selectItem(const QString &caption)
    {
        for (int i = 0; i < panel.LFC->topLevelItemCount(); ++i) {
            QTreeWidgetItem *item = panel.LFC->topLevelItem(i);
            if (item->text(0) == caption)
                QTest::mouseClick(panel.LFC->viewport(), Qt::LeftButton, {},
                                  panel.LFC->visualItemRect(item).center());
        }
    }

    TempDataFolder data;
    FakeServices fake;
    PasswordStore password;
    FlagStaging LB;
    SettingsPage page;
    int mark = 0;
    bool slotsShown = true;
    ProgramRestriction panel;
};

void clickBox(QCheckBox *box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
}

} // namespace

class TestProgramRestriction : public QObject
{
    Q_OBJECT

private slots:
    void employeeLines_data();
    void employeeLines();
    void panelCarriesItsControls();
    void filterSwitch_data();
    void filterSwitch();
    void addReleasesTheChosenProgram();
    void addAcceptsDesktopEntriesAndExecutables_data();
    void addAcceptsDesktopEntriesAndExecutables();
    void addRefusals_data();
    void addRefusals();
    void loadShowsTitledLines();
    void addBeforeTheLoadKeepsTheStoredLines();
    void addNotWrittenIsNotShown();
    void titleBeyondTheCodePageRoundTrips();
    void deleteTakesTheWholeLine();
    void deleteNeedsTheMarkClear();
    void unlock_data();
    void unlock();
    void touchesNoOtherProcessOrWindow();
};

void TestProgramRestriction::employeeLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("fullPath");
    QTest::newRow("plain") << "Calc<>calc.exe@/opt/a b/calc.exe"
                           << "Calc"
                           << "calc.exe"
                           << "/opt/a b/calc.exe";
    QTest::newRow("@ in the folder") << "Mail<>mail@/home/a@b/mail"
                                     << "Mail"
                                     << "mail"
                                     << "/home/a@b/mail";
    QTest::newRow("empty title") << "<>x.exe@/x.exe"
                                 << ""
                                 << "x.exe"
                                 << "/x.exe";
    QTest::newRow("no separators") << "just text"
                                   << "just text"
                                   << ""
                                   << "";
    const QString longPath = "/" + QString(300, 'p');
    QTest::newRow("path beyond 255") << "T<>" + QString(300, 'p') + "@" + longPath << "T" << QString(255, 'p')
                                     << longPath;
}

void TestProgramRestriction::employeeLines()
{
    QFETCH(QString, line);
    QFETCH(QString, title);
    QFETCH(QString, fileName);
    QFETCH(QString, fullPath);
    const EmployeeEntry entry = readEmployeeLine(line);
    QCOMPARE(entry.title, title);
    QCOMPARE(entry.fileName, fileName);
    QCOMPARE(entry.fullPath, fullPath);
    if (acceptsEntry(title, fullPath) && fileName.size() < 255)
        QCOMPARE(employeeLine(title, fullPath), line);
}

void TestProgramRestriction::panelCarriesItsControls()
{
    Fixture f;
    QCOMPARE(f.panel.parentWidget(), f.page.employeeArea);
    QCOMPARE(f.panel.C4->text(), QStringLiteral("CK"));
    QCOMPARE(f.panel.C4->size(), QSize(12, 12));
    QCOMPARE(f.panel.Label55->text(), QStringLiteral("Liberar programas"));
    QCOMPARE(f.panel.Label55->currentColor(), QColor(LinkLabel::kGreen));
    QCOMPARE(f.panel.LFC->columnCount(), 3);
    QVERIFY(f.panel.LFC->isHeaderHidden());
    QVERIFY(f.panel.LFC->isColumnHidden(1) && f.panel.LFC->isColumnHidden(2));
    QCOMPARE(f.panel.LFC->columnWidth(0), 215);
    QCOMPARE(f.panel.LFC->iconSize(), QSize(16, 16));
    QCOMPARE(f.captions(), QStringList{"Vazio!"});
    QCOMPARE(f.panel.LFC->topLevelItem(0)->text(1), QString());
    QCOMPARE(f.panel.PopupMenu10->actions().size(), 3);
    QCOMPARE(f.panel.Excluir9->text(), QStringLiteral("Excluir"));
    QVERIFY(f.panel.PopupMenu10->actions().at(1)->isSeparator());
    QCOMPARE(f.panel.Atualizar4->text(), QStringLiteral("Atualizar"));
    QCOMPARE(f.panel.TMLL.interval(), 6000);
    QVERIFY(f.panel.TMLL.isSingleShot());
    f.panel.DeferredTimers();
    QVERIFY(f.panel.TMLL.isActive());
}

void TestProgramRestriction::filterSwitch_data()
{
    QTest::addColumn<bool>("withPassword");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<bool>("cancelPasswordWhileOn");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("flag");
    QTest::addColumn<bool>("slotsShown");
    QTest::addColumn<bool>("refused");
    QTest::newRow("no password, tick") << false << 1 << false << false << false << true << true;
    QTest::newRow("password, tick") << true << 1 << false << true << true << false << false;
    QTest::newRow("password, tick, untick") << true << 2 << false << false << false << true << false;
    QTest::newRow("password cancelled while on, untick")
        << true << 2 << true << false << false << true << false;
}

void TestProgramRestriction::filterSwitch()
{
    QFETCH(bool, withPassword);
    QFETCH(int, clicks);
    QFETCH(bool, cancelPasswordWhileOn);
    QFETCH(bool, checked);
    QFETCH(bool, flag);
    QFETCH(bool, slotsShown);
    QFETCH(bool, refused);
    Fixture f;
    if (withPassword)
        QVERIFY(f.password.set("1234"));
    clickBox(f.page.c1); // the staging list already holds one line
    for (int i = 0; i < clicks; ++i) {
        clickBox(f.panel.C4);
        if (cancelPasswordWhileOn)
            QVERIFY(f.password.clear());
    }
    QCOMPARE(f.panel.C4->isChecked(), checked);
    QCOMPARE(QFile::exists(f.windowsFile(kProgramFilterFlagFile)), flag);
    if (flag)
        QCOMPARE(f.read(kProgramFilterFlagFile), kMarker + kMarker);
    QCOMPARE(f.slotsShown, slotsShown);
    QCOMPARE(f.mark, 0); // the switch never moves the mark
    if (refused) {
        QCOMPARE(f.fake.dialogs.shown.size(), 1);
        const FakeDialogs::Shown &shown = f.fake.dialogs.shown.first();
        QCOMPARE(shown.text, QStringLiteral("Você não pode ativar o filtro sem solicitar senha de acesso."));
        QCOMPARE(shown.caption, QStringLiteral("Zorv Desk"));
        QCOMPARE(shown.icon, MessageIcon::Information);
    } else {
        QVERIFY(f.fake.dialogs.shown.isEmpty());
    }
}

void TestProgramRestriction::addReleasesTheChosenProgram()
{
    Fixture f;
    const QString calc = f.program("calc.exe");
    f.fake.dialogs.files.enqueue(calc);
    QTest::mouseClick(f.panel.Label55, Qt::LeftButton, {}, f.panel.Label55->rect().center());
    QCOMPARE(f.fake.dialogs.shown.first().filter, QStringLiteral("Programas (*.exe *.desktop)"));
    QCOMPARE(f.panel.FC2->text(), QStringLiteral("Digite o título e tecle Enter"));
    QVERIFY(f.panel.FC2->hasFocus() || !QApplication::focusWidget() ||
            f.page.window()->isActiveWindow() == false);
    QTest::keyClicks(f.panel.FC2, "Calc");
    QCOMPARE(f.panel.FC2->text(), QStringLiteral("Calc"));
    QTest::keyClick(f.panel.FC2, Qt::Key_Return);
    const QByteArray line = "Calc<>calc.exe@" + calc.toUtf8() + "\r\n";
    QCOMPARE(f.read(kEmployeeListFile), line);
    QCOMPARE(f.panel.FC2->text(), QStringLiteral("Calc"));
    QCOMPARE(f.captions(), QStringList{"Calc"});
    QTest::keyClick(f.panel.FC2, Qt::Key_Return); // the same line again
    QCOMPARE(f.read(kEmployeeListFile), line + line);
    QCOMPARE(f.captions(), QStringList({"Calc", "Calc"}));
    QCOMPARE(f.panel.employeeLines().size(), 2);
    QVERIFY(!f.panel.LFC->topLevelItem(0)->icon(0).isNull());
}

void TestProgramRestriction::addAcceptsDesktopEntriesAndExecutables_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("executable");
    QTest::newRow("desktop entry") << "editor.desktop" << false;
    QTest::newRow("executable without extension") << "gimp" << true;
}

void TestProgramRestriction::addAcceptsDesktopEntriesAndExecutables()
{
    QFETCH(QString, name);
    QFETCH(bool, executable);
    Fixture f;
    const QString path = f.program(name, executable);
    f.add(path, "Prog");
    QCOMPARE(f.read(kEmployeeListFile), "Prog<>" + name.toUtf8() + "@" + path.toUtf8() + "\r\n");
}

void TestProgramRestriction::addRefusals_data()
{
    QTest::addColumn<QString>("program"); // file under Aplicativos; "-" cancels; empty: no choice
    QTest::addColumn<bool>("executable");
    QTest::addColumn<QString>("title");
    QTest::newRow("cancelled") << "-" << true << "Calc";
    QTest::newRow("no extension, not executable") << "notes" << false << "Notes";
    QTest::newRow("@ in the title") << "calc.exe" << true << "a@b";
    QTest::newRow("<> in the title") << "calc.exe" << true << "a<>b";
    QTest::newRow("@ in the file name") << "x@y.exe" << true << "XY";
    QTest::newRow("nothing chosen") << "" << true << "Calc";
}

void TestProgramRestriction::addRefusals()
{
    QFETCH(QString, program);
    QFETCH(bool, executable);
    QFETCH(QString, title);
    Fixture f;
    const QByteArray stored = "Old<>old.exe@/opt/old.exe\r\n";
    QVERIFY(f.write(kEmployeeListFile, stored));
    f.panel.TMLLTimer();
    if (program == "-") {
        f.add(QString(), title); // nothing scripted: the dialog is cancelled
    } else if (program.isEmpty()) {
        QTest::keyClicks(f.panel.FC2, title);
        QTest::keyClick(f.panel.FC2, Qt::Key_Return);
    } else {
        f.add(f.program(program, executable), title);
    }
    QCOMPARE(f.read(kEmployeeListFile), stored);
    QCOMPARE(f.captions(), QStringList{"Old"});
    if (program != "-" && !program.isEmpty() && executable)
        QCOMPARE(f.panel.FC2->text(), title); // kept for a correction
}

void TestProgramRestriction::loadShowsTitledLines()
{
    Fixture f;
    f.panel.TMLLTimer(); // no file yet: the placeholder stays
    QCOMPARE(f.captions(), QStringList{"Vazio!"});

    const QString calc = f.program("calc.exe");
    QVERIFY(f.write(kEmployeeListFile,
                    "Calc<>calc.exe@" + calc.toUtf8() +
                        "\r\n<>untitled.exe@/opt/untitled.exe\r\nGone<>gone.exe@/nowhere/gone.exe\r\n"));
    f.panel.DeferredTimers();
    f.panel.TMLLTimer();
    QVERIFY(!f.panel.TMLL.isActive());
    QCOMPARE(f.captions(), QStringList({"Calc", "Gone"}));
    QTreeWidgetItem *gone = f.panel.LFC->topLevelItem(1);
    QCOMPARE(gone->text(1), QStringLiteral("gone.exe"));
    QCOMPARE(gone->text(2), QStringLiteral("/nowhere/gone.exe"));
    QVERIFY(gone->icon(0).isNull());
    QVERIFY(!f.panel.LFC->topLevelItem(0)->icon(0).isNull());
    QCOMPARE(f.panel.employeeLines().size(), 3);

    // "Atualizar" reads the file again.
    QVERIFY(f.write(kEmployeeListFile, "Other<>o.exe@/o.exe\r\n"));
    f.panel.Atualizar4->trigger();
    QCOMPARE(f.captions(), QStringList{"Other"});
}

void TestProgramRestriction::addBeforeTheLoadKeepsTheStoredLines()
{
    Fixture f;
    const QByteArray stored = "Old<>old.exe@/opt/old.exe\r\n";
    QVERIFY(f.write(kEmployeeListFile, stored));
    const QString calc = f.program("calc.exe");
    f.add(calc, "Calc"); // TMLL has not ticked yet
    QCOMPARE(f.read(kEmployeeListFile), stored + "Calc<>calc.exe@" + calc.toUtf8() + "\r\n");
    QCOMPARE(f.captions(), QStringList({"Old", "Calc"}));

    // An unreadable list blocks adding instead of being replaced.
    Fixture g;
    QVERIFY(QDir().mkpath(g.windowsFile(kEmployeeListFile)));
    g.add(g.program("calc.exe"), "Calc");
    QVERIFY(QFileInfo(g.windowsFile(kEmployeeListFile)).isDir());
    QCOMPARE(g.captions(), QStringList{"Vazio!"});
}

// A program whose line could not be stored is not shown as released, and the failure leaves
// one warning, the store's, naming the list.
void TestProgramRestriction::addNotWrittenIsNotShown()
{
    Fixture f;
    const QString calc = f.program("calc.exe");
    // A plain file where the stand-in folder was: nothing lands in it, even for root.
    const QString dir = f.data.paths().windowsDir();
    QVERIFY(QDir(dir).removeRecursively());
    QVERIFY(QFile(dir).open(QIODevice::WriteOnly));
    LoggedWarnings logged;
    f.add(calc, "Calc");
    QVERIFY(!f.captions().contains("Calc"));
    QVERIFY(f.panel.employeeLines().isEmpty());
    QCOMPARE(f.panel.FC2->text(), QStringLiteral("Calc")); // kept for another try
    QCOMPARE(logged.lines.size(), 1);
    QVERIFY2(logged.lines.first().startsWith("zorv.store ") &&
                 logged.lines.first().contains("MSWinDirBase.vxd"),
             qPrintable(logged.lines.first()));
}

void TestProgramRestriction::titleBeyondTheCodePageRoundTrips()
{
    Fixture f;
    QVERIFY(f.write(kEmployeeListFile, "Calculadora<>calc.exe@/opt/calc.exe\r\n"));
    const QString calc = f.program("calc.exe");
    f.panel.TMLLTimer();
    f.add(calc, QStringLiteral("Калькулятор"));
    const QByteArray bytes = f.read(kEmployeeListFile);
    QVERIFY(bytes.startsWith("\xef\xbb\xbf"));
    Fixture reread;
    QVERIFY(reread.write(kEmployeeListFile, bytes));
    reread.panel.TMLLTimer();
    QCOMPARE(reread.captions(), QStringList({"Calculadora", QStringLiteral("Калькулятор")}));
}

void TestProgramRestriction::deleteTakesTheWholeLine()
{
    Fixture f;
    QVERIFY(
        f.write(kEmployeeListFile, "Paint<>paint.exe@/opt/paint.exe\r\nPaintbrush<>pb.exe@/opt/pb.exe\r\n"));
    f.panel.TMLLTimer();
    f.panel.Excluir9->trigger(); // nothing selected: nothing happens
    QCOMPARE(f.captions(), QStringList({"Paint", "Paintbrush"}));
    f.selectItem("Paint");
    f.panel.Excluir9->trigger();
    QCOMPARE(f.read(kEmployeeListFile), QByteArray("Paintbrush<>pb.exe@/opt/pb.exe\r\n"));
    QCOMPARE(f.captions(), QStringList{"Paintbrush"});

    // The placeholder is never deleted.
    Fixture g;
    QVERIFY(g.write(kEmployeeListFile, "Vazio!<>v.exe@/v.exe\r\n"));
    g.selectItem("Vazio!");
    g.panel.Excluir9->trigger();
    QCOMPARE(g.read(kEmployeeListFile), QByteArray("Vazio!<>v.exe@/v.exe\r\n"));
}

void TestProgramRestriction::deleteNeedsTheMarkClear()
{
    Fixture f;
    QVERIFY(f.write(kEmployeeListFile, "Paint<>paint.exe@/opt/paint.exe\r\n"));
    f.panel.TMLLTimer();
    f.mark = 5;
    f.selectItem("Paint");
    f.panel.Excluir9Click();
    QCOMPARE(f.captions(), QStringList{"Paint"});
    f.mark = 0;
    f.panel.Excluir9Click();
    QCOMPARE(f.captions(), QStringList());
    QCOMPARE(f.read(kEmployeeListFile), QByteArray());
}

void TestProgramRestriction::unlock_data()
{
    QTest::addColumn<bool>("withPassword");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("unlocks");
    QTest::addColumn<bool>("slotsShown");
    QTest::newRow("default, no password") << false << kDefaultPassword << true << false;
    QTest::newRow("master") << true << kMasterCode << true << false;
    QTest::newRow("stored") << true << "1234" << true << true;
    QTest::newRow("default, password set") << true << kDefaultPassword << false << false;
    QTest::newRow("wrong") << true << "4321" << false << false;
}

void TestProgramRestriction::unlock()
{
    QFETCH(bool, withPassword);
    QFETCH(QString, code);
    QFETCH(bool, unlocks);
    QFETCH(bool, slotsShown);
    Fixture f;
    if (withPassword)
        QVERIFY(f.password.set("1234"));
    QVERIFY(writeFlagFile(f.windowsFile(kProgramFilterFlagFile)));
    f.panel.ProgramFilter();
    f.mark = 5;
    f.slotsShown = false;
    QVERIFY(f.panel.C4->isChecked());

    // The check runs before each key reaches the field: the code counts at the key after it.
    for (QChar c : code) {
        QTest::keyClick(f.page.DBF, c.toLatin1());
        QCOMPARE(f.mark, 5);
    }
    QCOMPARE(f.page.DBF->text(), code);
    QTest::keyClick(f.page.DBF, Qt::Key_Return);
    QCOMPARE(f.mark, unlocks ? 0 : 5);
    QCOMPARE(f.panel.C4->isChecked(), !unlocks);
    QCOMPARE(QFile::exists(f.windowsFile(kProgramFilterFlagFile)), !unlocks);
    QCOMPARE(f.page.DBF->text(), unlocks ? QString() : code);
    QCOMPARE(f.slotsShown, slotsShown);
    if (unlocks)
        QVERIFY(f.panel.C4->isEnabled() && f.page.c1->isEnabled() && f.page.esh->isEnabled());
}

void TestProgramRestriction::touchesNoOtherProcessOrWindow()
{
    // Other programs of the user: a plain process, and under a private X server a window.
    QProcess sleeper;
    sleeper.start("sleep", {"60"});
    QVERIFY(sleeper.waitForStarted());
    std::unique_ptr<XvfbServer> xvfb;
    QProcess witness;
    if (X11Display::supported()) {
        xvfb = std::make_unique<XvfbServer>();
        if (xvfb->isRunning()) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("DISPLAY", xvfb->display());
            env.insert("QT_QPA_PLATFORM", "xcb");
            witness.setProcessEnvironment(env);
            witness.start(QCoreApplication::applicationFilePath(), {"--witness"});
            QVERIFY(witness.waitForStarted());
            qputenv("DISPLAY", xvfb->display().toLocal8Bit());
            QTRY_VERIFY_WITH_TIMEOUT(X11Display().hasTopLevelWindowTitled("witness"), 10000);
        }
    }

    Fixture f;
    QVERIFY(f.password.set("1234"));
    QVERIFY(f.write(kEmployeeListFile, "Sleep<>sleep@/bin/sleep\r\n"));
    f.page.TMCHKTimer();
    clickBox(f.panel.C4);
    f.panel.TMLLTimer();
    f.add(f.program("calc.exe"), "Calc");
    f.panel.Atualizar4->trigger();
    f.selectItem("Calc");
    f.panel.Excluir9->trigger();
    for (char c : QByteArray("1234"))
        QTest::keyClick(f.page.DBF, c);
    QTest::keyClick(f.page.DBF, Qt::Key_Return);
    clickBox(f.panel.C4);
    clickBox(f.panel.C4);

    QCOMPARE(sleeper.state(), QProcess::Running);
    QVERIFY(f.fake.programs.started.isEmpty());
    QCOMPARE(f.fake.minimizer.calls, 0);
    if (witness.state() == QProcess::Running) {
        QVERIFY(X11Display().hasTopLevelWindowTitled("witness"));
        witness.kill();
        witness.waitForFinished();
    }
    sleeper.kill();
    sleeper.waitForFinished();
}

// Run with "--witness": a window titled "witness" that stays until it is ended.
int main(int argc, char **argv)
{
    if (argc > 1 && QByteArray(argv[1]) == "--witness") {
        QApplication app(argc, argv);
        QWidget window;
        window.setWindowTitle("witness");
        window.resize(100, 100);
        window.show();
        return app.exec();
    }
    QApplication app(argc, argv);
    TestProgramRestriction test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_programrestriction.moc"

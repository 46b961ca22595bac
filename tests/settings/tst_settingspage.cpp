#include "settings/settingspage.h"

#include "controls/linklabel.h"
#include "platform/fakes.h"
#include "reports/launcher.h"
#include "security/password.h"
#include "store/flagfile.h"

#include "loggedwarnings.h"
#include "tempdatafolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace zorv;

namespace {

const QByteArray kMarker("57948579487593465966\r\n");

// The page on a temporary installation with fake services, shown so it takes clicks.
struct Fixture
{
    Fixture()
        : password(data.paths())
        , page(data.paths(), fake.services(), password, LB)
    {
        page.resize(900, 600);
        page.show();
    }
    // A switch file by the name the page uses ("\MSWC1.dat" or "dados\Sound.viw").
    QString path(const QString &file) const
    {
        return file.startsWith('\\') ? data.paths().windowsFile(file) : data.paths().resolve(file);
    }
    QByteArray read(const QString &file) const
    {
        QFile f(path(file));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool exists(const QString &file) const { return QFile::exists(path(file)); }
    bool write(const QString &file, const QByteArray &bytes) const
    {
        QFile f(path(file));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
    QCheckBox *box(const QString &name) const { return page.findChild<QCheckBox *>(name); }

    TempDataFolder data;
    FakeServices fake;
    PasswordStore password;
    FlagStaging LB;
    SettingsPage page;
};

// Puts a plain file where `dir` was: nothing can be written in it, even by a privileged user.
bool blockFolder(const QString &dir)
{
    return QDir(dir).removeRecursively() && QFile(dir).open(QIODevice::WriteOnly);
}

void clickLink(LinkLabel *link)
{
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
}

void toggle(QCheckBox *box, bool byKey)
{
    if (byKey)
        QTest::keyClick(box, Qt::Key_Space);
    else
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
}

} // namespace

class TestSettingsPage : public QObject
{
    Q_OBJECT

private slots:
    void pageCarriesItsControls();
    void userToggleMirrorsFile_data();
    void userToggleMirrorsFile();
    void switchNotWrittenShowsOff_data();
    void switchNotWrittenShowsOff();
    void switchOnsShareOneStagingList();
    void boxesSetByProgramNeverWrite();
    void checkStepsRunAfterTheBoxes();
    void passwordFieldsTakeDigitsOnly();
    void applyEmptyWritesNothing();
    void applyLocksPoliciesAndStoresPassword();
    void applyFailingKeySkipsOnlyItself();
    void applyFailedSaveKeepsTheText();
    void cancelPassword();
    void enterChecksThePassword_data();
    void enterChecksThePassword();
    void manageAutorun();
};

void TestSettingsPage::pageCarriesItsControls()
{
    Fixture f;
    QCOMPARE(f.page.objectName(), QStringLiteral("cfg"));
    QCOMPARE(f.page.headerTitle->text(), QStringLiteral("Configure o seu Zorv Home"));
    QCOMPARE(f.page.headerText->text(),
             QStringLiteral("Aplique as configurações de acordo com as suas necessidades "
                            "para obter os resultados desejados..."));
    const QList<std::pair<QCheckBox *, const char *>> boxes = {
        {f.page.c1, "c1"}, {f.page.ai, "ai"}, {f.page.nrs, "nrs"}, {f.page.c3, "c3"}};
    for (const auto &[box, name] : boxes) {
        QCOMPARE(f.box(name), box);
        QCOMPARE(box->text(), QStringLiteral("CK"));
        QCOMPARE(box->size(), QSize(12, 12));
    }
    QCOMPARE(f.page.findChild<QLabel *>("c1Caption")->text(),
             QStringLiteral("Iniciar o computador direto no Zorv Home"));
    QCOMPARE(f.page.findChild<QLabel *>("c3Caption")->text(), QStringLiteral("Ignorar Splash Info"));
    QCOMPARE(f.page.findChild<LinkLabel *>("pm20")->text(), QStringLiteral("Aplicar"));
    QCOMPARE(f.page.findChild<LinkLabel *>("CLS")->text(), QStringLiteral("Cancelar senha"));
    QCOMPARE(f.page.findChild<LinkLabel *>("pmga")->text(), QStringLiteral("Gerenciar Autorun"));
    for (const char *name : {"esh", "DBF"})
        QCOMPARE(f.page.findChild<QLineEdit *>(name)->echoMode(), QLineEdit::Password);
    QCOMPARE(f.page.TMCHK.interval(), 5000);
    QVERIFY(f.page.TMCHK.isSingleShot());
    QVERIFY(!f.page.TMCHK.isActive());
    f.page.DeferredTimers();
    QVERIFY(f.page.TMCHK.isActive());
}

void TestSettingsPage::userToggleMirrorsFile_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("byKey");
    const QList<std::pair<const char *, QString>> boxes = {
        {"c1", kStartDirectFile}, {"ai", kImmediateOpenFile}, {"nrs", kNoSoundFile}, {"c3", kSkipSplashFile}};
    for (const auto &[box, file] : boxes) {
        QTest::addRow("%s click", box) << box << file << false;
        QTest::addRow("%s space", box) << box << file << true;
    }
}

void TestSettingsPage::userToggleMirrorsFile()
{
    QFETCH(QString, box);
    QFETCH(QString, file);
    QFETCH(bool, byKey);
    Fixture f;
    QCheckBox *b = f.box(box);
    toggle(b, byKey);
    QVERIFY(b->isChecked());
    QCOMPARE(f.read(file), kMarker);
    toggle(b, byKey);
    QVERIFY(!b->isChecked());
    QVERIFY(!f.exists(file));
    toggle(b, byKey); // on again: the staging list has grown
    QCOMPARE(f.read(file), kMarker + kMarker);
    QVERIFY(QFile::remove(f.path(file)));
    toggle(b, byKey); // off with the file already gone
    QVERIFY(!b->isChecked());
    QVERIFY(!f.exists(file));
}

void TestSettingsPage::switchNotWrittenShowsOff_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("file");
    QTest::newRow("c1, Windows folder") << "c1" << kStartDirectFile;
    QTest::newRow("ai, data folder") << "ai" << kImmediateOpenFile;
    QTest::newRow("nrs, data folder") << "nrs" << kNoSoundFile;
    QTest::newRow("c3, Windows folder") << "c3" << kSkipSplashFile;
    QTest::newRow("full suite") << "sfull" << kSuiteFullFlag;
}

// A switch whose file cannot be written is not shown as on, tells nobody it switched, and
// leaves one warning: the store's, naming the file.
void TestSettingsPage::switchNotWrittenShowsOff()
{
    QFETCH(QString, box);
    QFETCH(QString, file);
    Fixture f;
    const QString folder = file.startsWith('\\') ? f.data.paths().windowsDir() : f.data.paths().dataDir();
    QVERIFY(blockFolder(folder));
    QSignalSpy switched(&f.page, &SettingsPage::fullSuiteSwitched);
    LoggedWarnings logged;
    toggle(f.box(box), false);
    QVERIFY(!f.box(box)->isChecked());
    QCOMPARE(switched.size(), 0);
    QCOMPARE(logged.lines.size(), 1);
    const QString name = file.section('\\', -1);
    QVERIFY2(logged.lines.first().startsWith("zorv.store ") && logged.lines.first().contains(name),
             qPrintable(logged.lines.first()));
}

void TestSettingsPage::switchOnsShareOneStagingList()
{
    Fixture f;
    toggle(f.page.c1, false);
    toggle(f.page.c3, false);
    QCOMPARE(f.read(kStartDirectFile), kMarker);
    QCOMPARE(f.read(kSkipSplashFile), kMarker + kMarker);
    QCOMPARE(f.LB.lineCount(), 2);
}

void TestSettingsPage::boxesSetByProgramNeverWrite()
{
    Fixture f;
    // Files with content a switch would never write: reading them must not rewrite them.
    const QByteArray odd("x\n");
    for (const QString &file : {kStartDirectFile, kImmediateOpenFile, kNoSoundFile, kSkipSplashFile})
        QVERIFY(f.write(file, odd));
    f.page.AutostartFlag();
    f.page.SoundFlag();
    QVERIFY(f.page.c3->isChecked());
    QVERIFY(f.page.nrs->isChecked());
    QVERIFY(!f.page.ai->isChecked()); // only TMCHK reads ai and c1
    QVERIFY(!f.page.c1->isChecked());
    f.page.TMCHKTimer();
    QVERIFY(f.page.ai->isChecked());
    QVERIFY(f.page.c1->isChecked());
    for (const QString &file : {kStartDirectFile, kImmediateOpenFile, kNoSoundFile, kSkipSplashFile})
        QCOMPARE(f.read(file), odd);

    // And with the files gone the boxes clear, again without writing anything.
    for (const QString &file : {kStartDirectFile, kImmediateOpenFile, kNoSoundFile, kSkipSplashFile})
        QVERIFY(QFile::remove(f.path(file)));
    f.page.AutostartFlag();
    f.page.SoundFlag();
    f.page.TMCHKTimer();
    for (QCheckBox *b : {f.page.c1, f.page.ai, f.page.nrs, f.page.c3})
        QVERIFY(!b->isChecked());
    for (const QString &file : {kStartDirectFile, kImmediateOpenFile, kNoSoundFile, kSkipSplashFile})
        QVERIFY(!f.exists(file));
    QCOMPARE(f.LB.lineCount(), 0);
}

void TestSettingsPage::checkStepsRunAfterTheBoxes()
{
    Fixture f;
    QVERIFY(f.write(kImmediateOpenFile, kMarker));
    QStringList seen;
    f.page.addCheckStep([&] { seen << QStringLiteral("first, ai %1").arg(f.page.ai->isChecked()); });
    f.page.addCheckStep([&] { seen << QStringLiteral("second"); });
    f.page.DeferredTimers();
    f.page.TMCHKTimer();
    QCOMPARE(seen, QStringList({"first, ai 1", "second"}));
    QVERIFY(!f.page.TMCHK.isActive());
}

void TestSettingsPage::passwordFieldsTakeDigitsOnly()
{
    Fixture f;
    for (QLineEdit *field : {f.page.esh, f.page.DBF}) {
        QTest::keyClicks(field, "1a2B-3");
        QCOMPARE(field->text(), QStringLiteral("123"));
        QApplication::clipboard()->setText(QStringLiteral("45٣6")); // a digit, but not an ASCII one
        field->paste();
        QCOMPARE(field->text(), QStringLiteral("123"));
        QApplication::clipboard()->setText(QStringLiteral("456"));
        field->paste();
        QCOMPARE(field->text(), QStringLiteral("123456"));
    }
    f.page.ResetPasswordFields();
    QVERIFY(f.page.esh->text().isEmpty());
    QVERIFY(f.page.DBF->text().isEmpty());
}

void TestSettingsPage::applyEmptyWritesNothing()
{
    Fixture f;
    clickLink(f.page.pm20);
    QVERIFY(f.fake.policies.writes.isEmpty());
    QVERIFY(!f.password.exists());
}

void TestSettingsPage::applyLocksPoliciesAndStoresPassword()
{
    Fixture f;
    QTest::keyClicks(f.page.esh, "1234");
    clickLink(f.page.pm20);
    const QString system = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\";
    const QString explorer = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";
    const auto &w = f.fake.policies.writes;
    QCOMPARE(w.size(), 4);
    const QList<std::tuple<QString, QString, int>> expected = {{system, "DisableTaskMgr", 1},
                                                               {explorer, "NoChangeStartMenu", 1},
                                                               {explorer, "NoClose", 0},
                                                               {explorer, "NoLogOff", 1}};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(std::make_tuple(w[i].key, w[i].name, w[i].value), expected[i]);
    QCOMPARE(f.read(kPasswordFile), QByteArray("^]\\[\r\n"));
    QVERIFY(f.page.esh->text().isEmpty());
}

void TestSettingsPage::applyFailingKeySkipsOnlyItself()
{
    Fixture f;
    f.fake.policies.failingKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\";
    QTest::keyClicks(f.page.esh, "1234");
    clickLink(f.page.pm20);
    QStringList names;
    for (const auto &w : f.fake.policies.writes)
        names << w.name;
    QCOMPARE(names, QStringList({"NoChangeStartMenu", "NoClose", "NoLogOff"}));
    QVERIFY(f.password.exists());
    QVERIFY(f.page.esh->text().isEmpty());
}

void TestSettingsPage::applyFailedSaveKeepsTheText()
{
    Fixture f;
    // A stand-in that is not a folder takes no file, even for a privileged user.
    QVERIFY(blockFolder(f.data.paths().windowsDir()));
    LoggedWarnings logged;
    QTest::keyClicks(f.page.esh, "1234");
    clickLink(f.page.pm20);
    QVERIFY(!f.password.exists());
    QCOMPARE(f.page.esh->text(), QStringLiteral("1234"));
    // One line, the store's, naming the file and never the password typed.
    QCOMPARE(logged.lines.size(), 1);
    QVERIFY2(logged.lines.first().startsWith("zorv.store ") && logged.lines.first().contains("MSDoc.dat") &&
                 !logged.lines.first().contains("1234"),
             qPrintable(logged.lines.first()));
}

void TestSettingsPage::cancelPassword()
{
    Fixture f;
    clickLink(f.page.CLS); // no file: nothing happens
    QVERIFY(!f.password.exists());
    QVERIFY(f.password.set("1234"));
    clickLink(f.page.CLS);
    QVERIFY(!f.password.exists());
    QVERIFY(f.fake.policies.writes.isEmpty());
    QVERIFY(f.page.CLS->isEnabled());
}

void TestSettingsPage::enterChecksThePassword_data()
{
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("left");
    QTest::newRow("stored") << true << "1234"
                            << "";
    QTest::newRow("wrong") << true << "4321"
                           << "4321";
    QTest::newRow("master") << true << kMasterCode << kMasterCode;
    QTest::newRow("default, no file") << false << kDefaultPassword << kDefaultPassword;
    QTest::newRow("empty, empty stored line") << true << ""
                                              << "";
}

void TestSettingsPage::enterChecksThePassword()
{
    QFETCH(bool, withFile);
    QFETCH(QString, typed);
    QFETCH(QString, left);
    Fixture f;
    if (withFile)
        QVERIFY(f.password.set("1234"));
    QTest::keyClicks(f.page.esh, typed);
    QSignalSpy edits(f.page.esh, &QLineEdit::returnPressed);
    QTest::keyClick(f.page.esh, Qt::Key_Return);
    QCOMPARE(f.page.esh->text(), left);
    QCOMPARE(edits.count(), 0); // the Enter goes no further
}

void TestSettingsPage::manageAutorun()
{
    Fixture f;
    QSignalSpy close(&f.page, &SettingsPage::closeSuiteRequested);
    clickLink(f.page.pmga);
    QCOMPARE(f.fake.minimizer.calls, 1);
    QCOMPARE(close.count(), 1);
    const QString manager = f.data.paths().exeDir() + "Aplicativos/zorvAutorun.exe";
    QCOMPARE(readHandOffTarget(f.data.paths()), std::optional<QString>(manager));
    QCOMPARE(f.fake.programs.started.size(), 1);
    QCOMPARE(f.fake.programs.started[0].program, launcherProgram(f.data.paths()));
}

QTEST_MAIN(TestSettingsPage)
#include "tst_settingspage.moc"

// The real file dialogs keep what they remember (visited folders, the last folder) in the
// folder they are given, never in the toolkit's settings shared by the user's programs.
#include "platform/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace zorv;

namespace {

// The user's configuration folder for this run, set before anything reads it.
std::unique_ptr<QTemporaryDir> configHome;

// Cancels the file dialog as soon as it is up.
void cancelDialogWhenShown()
{
    QTimer::singleShot(0, [] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
        else
            cancelDialogWhenShown();
    });
}

// Presses Enter in the message box as soon as it is up.
void pressEnterWhenShown()
{
    QTimer::singleShot(0, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            QTest::keyClick(box, Qt::Key_Return);
        else
            pressEnterWhenShown();
    });
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void fileDialogHistoryStaysInTheGivenFolder();
    void enterGivesTheDefaultAnswer_data();
    void enterGivesTheDefaultAnswer();
};

void TestDialogs::fileDialogHistoryStaysInTheGivenFolder()
{
    QTemporaryDir standIn, browsed;
    WidgetDialogs dialogs(standIn.path());
    cancelDialogWhenShown();
    QCOMPARE(dialogs.openFile(QStringLiteral("Abrir"), browsed.path(), QStringLiteral("Media (*.mp3)")),
             QString());
    cancelDialogWhenShown();
    QCOMPARE(dialogs.chooseFolder(QStringLiteral("Pasta"), browsed.path()), QString());

    QVERIFY(QDir(configHome->path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    QVERIFY(QFile::exists(standIn.path() + QStringLiteral("/QtProject.conf")));
}

void TestDialogs::enterGivesTheDefaultAnswer_data()
{
    QTest::addColumn<int>("defaultAnswer");
    QTest::addColumn<bool>("yes");
    QTest::newRow("Sim") << int(DefaultAnswer::Yes) << true;
    QTest::newRow("N\u00e3o") << int(DefaultAnswer::No) << false;
}

// A question that could do harm is answered No by a hurried Enter.
void TestDialogs::enterGivesTheDefaultAnswer()
{
    QFETCH(int, defaultAnswer);
    QFETCH(bool, yes);
    QTemporaryDir standIn;
    WidgetDialogs dialogs(standIn.path());
    pressEnterWhenShown();
    QCOMPARE(
        dialogs.question(QStringLiteral("Executar?"), {}, MessageIcon::Warning, DefaultAnswer(defaultAnswer)),
        yes);
}

int main(int argc, char **argv)
{
    configHome = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", configHome->path().toUtf8());
    QApplication app(argc, argv);
    TestDialogs test;
    const int result = QTest::qExec(&test, argc, argv);
    configHome.reset();
    return result;
}

#include "tst_dialogs.moc"

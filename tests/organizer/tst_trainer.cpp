// The personal trainer: applying and loading the interval, the switch file and the
// reminders. Real widgets offscreen on fakes and a temporary data folder; timers are
// ticked through their slots.
#include "controls/linklabel.h"
#include "organizer/trainerpage.h"
#include "platform/fakes.h"
#include "store/flagfile.h"
#include "tempdatafolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>

using namespace zorv;

namespace {

const QString kInterval = QStringLiteral("dados/Personal.not");
const QString kSwitch = QStringLiteral("dados/Personal.pse");

struct Fixture
{
    TempDataFolder data;
    FakeServices fake;
    FlagStaging LB;
    std::unique_ptr<TrainerPage> page;

    bool open()
    {
        page = std::make_unique<TrainerPage>(data.paths(), fake.services(), LB);
        page->resize(800, 600);
        page->show();
        QApplication::setActiveWindow(page.get());
        return QTest::qWaitForWindowActive(page.get());
    }
    // Picks an interval with the keyboard and applies it with Enter.
    void apply(const QString &minutes)
    {
        page->cmn->setFocus();
        QTest::keyClicks(page->cmn, minutes);
        QTest::keyClick(page->cmn, Qt::Key_Return);
    }
    void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2)); }
    bool switchOn() const { return flagFileExists(data.file(kSwitch)); }
};

} // namespace

class TestTrainer : public QObject
{
    Q_OBJECT

private slots:
    void applyStoresShowsAndArms_data();
    void applyStoresShowsAndArms();
    void applyWithoutChoiceOrFileDoesNothing();
    void loadingAtStart_data();
    void loadingAtStart();
    void utf8FileKeptOnTheNextApply();
    void switchFileFollowsTheBox();
    void reminders();
};

void TestTrainer::applyStoresShowsAndArms_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("120") << "120"
                         << "120";
    QTest::newRow("45") << "4"
                        << "45";
    QTest::newRow("90") << "9"
                        << "90";
}

void TestTrainer::applyStoresShowsAndArms()
{
    QFETCH(QString, typed);
    QFETCH(QString, chosen);
    Fixture f;
    QVERIFY(f.open());
    QCOMPARE(f.page->cmn->currentIndex(), -1);
    QCOMPARE(f.page->lmn->text(), QStringLiteral("30"));
    f.apply(typed);
    QCOMPARE(f.data.read(kInterval), chosen.toLatin1() + "\r\n");
    QCOMPARE(f.page->lmn->text(), chosen);
    QVERIFY(f.page->tmcm.isActive());
    QCOMPARE(f.page->tmcm.interval(), chosen.toInt() * 60000);

    // Aplicar does the same; the new interval re-arms the timer.
    f.page->cmn->setCurrentIndex(0);
    f.click(f.page->pml);
    QCOMPARE(f.data.read(kInterval), QByteArray("30\r\n"));
    QCOMPARE(f.page->tmcm.interval(), 30 * 60000);
}

void TestTrainer::applyWithoutChoiceOrFileDoesNothing()
{
    Fixture f;
    QVERIFY(f.open());
    f.click(f.page->pml);
    QVERIFY(!QFile::exists(f.data.file(kInterval)));
    QVERIFY(!f.page->tmcm.isActive());

    // The interval file cannot be written (a folder stands in its place): nothing changes.
    QVERIFY(QDir().mkpath(f.data.file(QStringLiteral("dados")) + QStringLiteral("/Personal.not")));
    f.apply(QStringLiteral("6"));
    QCOMPARE(f.page->lmn->text(), QStringLiteral("30"));
    QVERIFY(!f.page->tmcm.isActive());
}

void TestTrainer::loadingAtStart_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("armed");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("45") << QByteArray("45\r\n") << true << 45 << "45";
    QTest::newRow("15 armed, not shown") << QByteArray("15\r\n") << true << 15 << "30";
    QTest::newRow("largest") << QByteArray("35791\r\n") << true << 35791 << "30";
    QTest::newRow("not a number") << QByteArray("abc\r\n") << false << 0 << "30";
    QTest::newRow("empty line") << QByteArray("\r\n60\r\n") << false << 0 << "30";
    QTest::newRow("zero") << QByteArray("0\r\n") << false << 0 << "30";
    QTest::newRow("negative") << QByteArray("-5\r\n") << false << 0 << "30";
    QTest::newRow("overflows a timer") << QByteArray("99999999\r\n") << false << 0 << "30";
    QTest::newRow("no file") << QByteArray() << false << 0 << "30";
}

void TestTrainer::loadingAtStart()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, armed);
    QFETCH(int, minutes);
    QFETCH(QString, shown);
    Fixture f;
    if (!file.isEmpty())
        QVERIFY(f.data.write(kInterval, file));
    QVERIFY(f.open());
    QCOMPARE(f.page->TMPRS.interval(), 4000);
    QVERIFY(f.page->TMPRS.isSingleShot());
    f.page->TMPRS.start();
    f.page->personal();
    QVERIFY(!f.page->TMPRS.isActive());
    QCOMPARE(f.page->tmcm.isActive(), armed);
    if (armed)
        QCOMPARE(f.page->tmcm.interval(), minutes * 60000);
    QCOMPARE(f.page->lmn->text(), shown);
}

void TestTrainer::utf8FileKeptOnTheNextApply()
{
    Fixture f;
    QVERIFY(f.data.write(kInterval, "\xef\xbb\xbf"
                                    "45\r\n"));
    QVERIFY(f.open());
    f.page->personal();
    QCOMPARE(f.page->lmn->text(), QStringLiteral("45"));
    f.apply(QStringLiteral("6"));
    QCOMPARE(f.data.read(kInterval), QByteArray("\xef\xbb\xbf"
                                                "60\r\n"));
}

void TestTrainer::switchFileFollowsTheBox()
{
    Fixture f;
    QVERIFY(f.open());
    f.apply(QStringLiteral("9"));
    f.click(f.page->clm);
    QVERIFY(f.page->clm->isChecked());
    QCOMPARE(f.data.read(kSwitch), QByteArray("57948579487593465966\r\n"));
    // The keyboard toggles it as well.
    f.page->clm->setFocus();
    QTest::keyClick(f.page->clm, Qt::Key_Space);
    QVERIFY(!f.page->clm->isChecked());
    QVERIFY(!f.switchOn());
    // On again: the shared staging list holds one more marker line each time.
    QTest::keyClick(f.page->clm, Qt::Key_Space);
    QCOMPARE(f.data.read(kSwitch), QByteArray("57948579487593465966\r\n57948579487593465966\r\n"));
    QTest::keyClick(f.page->clm, Qt::Key_Space);
    // The interval and its timer stay either way.
    QCOMPARE(f.data.read(kInterval), QByteArray("90\r\n"));
    QVERIFY(f.page->tmcm.isActive());

    // The periodic check sets the box from the file without writing it.
    QVERIFY(writeFlagFile(f.data.file(kSwitch)));
    f.page->CheckSwitch();
    QVERIFY(f.page->clm->isChecked());
    QVERIFY(QFile::remove(f.data.file(kSwitch)));
    f.page->CheckSwitch();
    QVERIFY(!f.page->clm->isChecked());
    QVERIFY(!f.switchOn());

    // A switch that cannot be written (a plain file where the data folder was) is not shown
    // as on, and leaves exactly one warning: the store's, naming the file.
    const QString dataDir = f.data.paths().dataDir();
    QVERIFY(QDir(dataDir).removeRecursively());
    QVERIFY(QFile(dataDir).open(QIODevice::WriteOnly));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Personal\\.pse"));
    QTest::failOnWarning(QRegularExpression(".*"));
    f.click(f.page->clm);
    QVERIFY(!f.page->clm->isChecked());
}

void TestTrainer::reminders()
{
    Fixture f;
    QVERIFY(f.open());
    // Switched off: nothing.
    f.page->tmcmTimer();
    QVERIFY(f.fake.notifier.shown.isEmpty());
    QVERIFY(f.fake.sound.played.isEmpty());

    f.click(f.page->clm);
    for (int i = 0; i < 7; ++i)
        f.page->tmcmTimer();
    QCOMPARE(f.fake.notifier.shown.size(), 7);
    QStringList texts;
    for (const auto &shown : f.fake.notifier.shown) {
        QCOMPARE(shown.title, QStringLiteral("Personal trainer"));
        texts << shown.text;
    }
    QCOMPARE(texts.mid(0, 2),
             (QStringList{"Levante-se e alongue as pernas por um minuto.", "Beba um copo de água."}));
    QCOMPARE(texts[5], QStringLiteral("Respire fundo e relaxe os ombros."));
    QCOMPARE(texts[6], texts[0]);
    QCOMPARE(f.fake.sound.played.size(), 7);
    QVERIFY(QFile::exists(f.fake.sound.played.first())); // the chime resource is there

    // "Não reproduzir som": the notification without the chime.
    QVERIFY(writeFlagFile(f.data.file(QStringLiteral("dados/Sound.viw"))));
    f.page->tmcmTimer();
    QCOMPARE(f.fake.notifier.shown.size(), 8);
    QCOMPARE(f.fake.sound.played.size(), 7);
}

QTEST_MAIN(TestTrainer)
#include "tst_trainer.moc"

// The appointments page: the record line and its readings, the keyboard save, narrowing,
// the date list, delete and change, the report and the notification music. Real widgets
// offscreen on fakes and a temporary data folder; the page's timer is ticked by its slot.
#include "controls/linklabel.h"
#include "controls/maskedtext.h"
#include "controls/taglabel.h"
#include "organizer/appointments.h"
#include "organizer/appointmentspage.h"
#include "platform/fakes.h"
#include "store/filestamp.h"
#include "store/textcodec.h"
#include "store/textlist.h"
#include "tempdatafolder.h"
#include "typing.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTest>
#include <QTreeWidget>

using namespace zorv;

namespace {

const QString kTasks = QStringLiteral("dados/Notas/Tasks.go");

QByteArray crlf(const QStringList &lines)
{
    return encodeLines(lines);
}

// Four records, the first and third on the same day.
const QStringList kFour = {QStringLiteral("05/03/2013<>09:00:00|A"), QStringLiteral("06/03/2013<>10:00:00|B"),
                           QStringLiteral("05/03/2013<>11:00:00|C"),
                           QStringLiteral("07/03/2013<>12:00:00|D")};

struct Fixture
{
    TempDataFolder data;
    FakeServices fake;
    std::unique_ptr<AppointmentsPage> page;
    QList<int> selectedPages;

    Fixture() { fake.clock.set(QDate(2013, 3, 15)); }

    bool open(const QStringList &records = {})
    {
        if (!records.isEmpty() && !data.write(kTasks, crlf(records)))
            return false;
        page = std::make_unique<AppointmentsPage>(data.paths(), fake.services());
        page->setPageSelector([this](int index) { selectedPages << index; });
        page->resize(1000, 700);
        page->show();
        QApplication::setActiveWindow(page.get());
        if (!QTest::qWaitForWindowActive(page.get()))
            return false;
        page->SetDateToToday();
        page->LoadMusic();
        page->LoadAppointments();
        return true;
    }

    QStringList column(int c) const
    {
        QStringList out;
        for (int i = 0; i < page->LVC->topLevelItemCount(); ++i)
            out << page->LVC->topLevelItem(i)->text(c);
        return out;
    }
    QStringList texts() const { return column(2); }
    QStringList dates() const
    {
        QStringList out;
        for (int i = 0; i < page->lts->count(); ++i)
            out << page->lts->item(i)->text();
        return out;
    }
    QStringList fileLines() const { return decodeLines(data.read(kTasks)); }

    QPoint rowCentre(int row) const
    {
        return page->LVC->visualItemRect(page->LVC->topLevelItem(row)).center();
    }
    void clickRow(int row) { QTest::mouseClick(page->LVC->viewport(), Qt::LeftButton, {}, rowCentre(row)); }
    void doubleClickRow(int row)
    {
        QTest::mouseDClick(page->LVC->viewport(), Qt::LeftButton, {}, rowCentre(row));
    }
    void clickDate(int entry)
    {
        QListWidget *lts = page->lts;
        QTest::mouseClick(lts->viewport(), Qt::LeftButton, {},
                          lts->visualItemRect(lts->item(entry)).center());
    }
    // A right click on a date entry opens its menu there; the user then chooses "Excluir".
    void deleteThroughDateMenu(int entry)
    {
        QListWidget *lts = page->lts;
        const QPoint at = lts->visualItemRect(lts->item(entry)).center();
        QTest::mouseClick(lts->viewport(), Qt::RightButton, {}, at);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, lts->viewport()->mapToGlobal(at));
        QApplication::sendEvent(lts->viewport(), &menu);
        QVERIFY(page->PopupMenu9->isVisible());
        QVERIFY(page->Excluir8->isEnabled());
        page->Excluir8->trigger();
        page->PopupMenu9->hide();
    }
    void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }
    void pickDay(const QDate &day) { page->DC->setDate(day); }
    void enter(QWidget *w) { QTest::keyClick(w, Qt::Key_Return); }
};

} // namespace

class TestAppointments : public QObject
{
    Q_OBJECT

private slots:
    void readingsOfALine_data();
    void readingsOfALine();
    void keyboardSaveWritesTheRecord();
    void enterOnEmptyFieldsSavesNothing();
    void filterNarrowsToTheChosenDate();
    void todayCheckKeepsTheMark();
    void dateClickSelectsTheLaterRowAndShowsDetails();
    void deleteTakesOneLineAndRebuildsDates();
    void deleteFindsALongRecordAndNeedsASelection();
    void rightClickKeepsTheSelection();
    void changeWaitsForTheSave();
    void secondChangeKeepsTheFirstRecord();
    void removedFileIsNotResurrected();
    void changeSurvivesAListingAgain_data();
    void changeSurvivesAListingAgain();
    void dateMenuDeletesTheEntryItWasOpenedOn();
    void emptiedOrRemovedFileListsNothing_data();
    void emptiedOrRemovedFileListsNothing();
    void keyboardChoiceInTheDateListSelectsItsAppointment();
    void showingAgainListsAfreshOnlyWhatChanged();
    void unreadableFileIsNeverRewritten();
    void textOutsideTheCodePageSavedAsUtf8();
    void reportMatchesTheGoldenPage();
    void notificationMusicIsStored();
    void delayedTodayCheck();
};

void TestAppointments::readingsOfALine_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("listText");
    QTest::addColumn<QString>("reportText");

    const QString longText = QString(150, QLatin1Char('a')) + QString(150, QLatin1Char('b'));
    QTest::newRow("plain") << "14:30:00" << QStringLiteral("Reunião com o contador")
                           << QStringLiteral("05/03/2013<>14:30:00|Reunião com o contador")
                           << QStringLiteral("Reunião com o contador")
                           << QStringLiteral("Reunião com o contador");
    QTest::newRow("untouched time") << "  :  :  "
                                    << "Dentista"
                                    << "05/03/2013<>  :  :  |Dentista"
                                    << "Dentista"
                                    << "Dentista";
    QTest::newRow("separators in text") << "08:00:00"
                                        << "a|b <> c"
                                        << "05/03/2013<>08:00:00|a|b <> c"
                                        << "a|b <> c"
                                        << "a|b <> c";
    QTest::newRow("line breaks become spaces")
        << "08:00:00" << QStringLiteral("um\r\ndois\ntr") + QChar(0) + QStringLiteral("s")
        << "05/03/2013<>08:00:00|um  dois tr s"
        << "um  dois tr s"
        << "um  dois tr s";
    QTest::newRow("300 characters") << "08:00:00" << longText << "05/03/2013<>08:00:00|" + longText
                                    << longText.left(246) << longText.left(255);
}

void TestAppointments::readingsOfALine()
{
    QFETCH(QString, time);
    QFETCH(QString, text);
    QFETCH(QString, line);
    QFETCH(QString, listText);
    QFETCH(QString, reportText);

    const QString built = appointmentLine(QDate(2013, 3, 5), time, text);
    QCOMPARE(built, line);
    const AppointmentRow row = readAppointment(built);
    QCOMPARE(row.date, QStringLiteral("05/03/2013"));
    QCOMPARE(row.time, time);
    QCOMPARE(row.text, listText);
    QCOMPARE(appointmentReportText(built), reportText);
}

void TestAppointments::keyboardSaveWritesTheRecord()
{
    Fixture f;
    QVERIFY(f.open());
    QCOMPARE(f.page->DC->text(), QStringLiteral("sexta-feira, 15 de março de 2013"));
    f.pickDay(QDate(2013, 3, 5));
    QCOMPARE(f.page->DC->text(), QStringLiteral("terça-feira, 5 de março de 2013"));

    f.page->DC->setFocus();
    f.enter(f.page->DC);
    QVERIFY(f.page->MDC->hasFocus());
    // Enter on an untouched time stays; once a time is typed it moves on.
    f.enter(f.page->MDC);
    QVERIFY(f.page->MDC->hasFocus());
    f.page->MDC->home(false);
    typeText(f.page->MDC, "143000");
    f.enter(f.page->MDC);
    QVERIFY(f.page->EDC->hasFocus());
    typeText(f.page->EDC, QStringLiteral("Reunião com o contador"));
    f.enter(f.page->EDC);

    QCOMPARE(f.data.read(kTasks), QByteArray("05/03/2013<>14:30:00|Reuni\xe3o com o contador\r\n"));
    QCOMPARE(maskedText(*f.page->MDC), kUntouchedTime);
    QCOMPARE(f.page->EDC->text(), QString());
    QCOMPARE(f.page->DC->date(), QDate(2013, 3, 5));
    QCOMPARE(f.texts(), QStringList{QStringLiteral("Reunião com o contador")});
    QCOMPARE(f.dates(), QStringList{QStringLiteral("05/03/2013")});

    // Saved without a time, and with "Cadastrar": the blanks are stored as they show.
    typeText(f.page->EDC, QStringLiteral("Dentista"));
    f.click(f.page->pm31);
    QCOMPARE(f.fileLines().last(), QStringLiteral("05/03/2013<>  :  :  |Dentista"));
    QCOMPARE(f.column(1).last(), kUntouchedTime);
}

void TestAppointments::enterOnEmptyFieldsSavesNothing()
{
    Fixture f;
    QVERIFY(f.open());
    f.page->EDC->setFocus();
    f.enter(f.page->EDC);
    f.click(f.page->pm31);
    QVERIFY(!QFile::exists(f.data.file(kTasks)));
    QCOMPARE(f.page->LVC->topLevelItemCount(), 0);
}

void TestAppointments::filterNarrowsToTheChosenDate()
{
    Fixture f;
    QVERIFY(f.open(kFour));
    f.clickRow(3); // a selected row must not hide the rows above it from the narrowing
    QCOMPARE(f.page->LVC->selectedItems().size(), 1);
    f.pickDay(QDate(2013, 3, 5));

    f.click(f.page->fil);
    QCOMPARE(f.texts(), (QStringList{"A", "C"}));
    QCOMPARE(f.page->fil->tag(), 5);
    QVERIFY(f.page->LVC->selectedItems().isEmpty());
    QVERIFY(f.page->LVC->hasFocus());
    QCOMPARE(f.dates().size(), 4); // the date list keeps every record's date
    QCOMPARE(f.page->MC->toPlainText(), QString());

    f.click(f.page->fil);
    QCOMPARE(f.texts(), (QStringList{"A", "B", "C", "D"}));
    QCOMPARE(f.page->fil->tag(), 0);

    // A date without records leaves the list empty; the next click lists every record.
    f.pickDay(QDate(2013, 3, 9));
    f.click(f.page->fil);
    QCOMPARE(f.texts(), QStringList());
    f.click(f.page->fil);
    QCOMPARE(f.texts().size(), 4);
    QCOMPARE(f.fileLines(), kFour);
}

void TestAppointments::todayCheckKeepsTheMark()
{
    Fixture f;
    f.fake.clock.set(QDate(2013, 3, 5));
    QVERIFY(f.open(kFour));
    f.clickRow(2);
    f.click(f.page->Image23);
    QCOMPARE(f.texts(), (QStringList{"A", "C"}));
    QCOMPARE(f.page->fil->tag(), 0);

    f.fake.clock.set(QDate(2013, 3, 20));
    f.click(f.page->Image23);
    QCOMPARE(f.texts(), QStringList());
    QCOMPARE(f.page->fil->tag(), 0);
}

void TestAppointments::dateClickSelectsTheLaterRowAndShowsDetails()
{
    Fixture f;
    QVERIFY(f.open(kFour));
    f.clickDate(0); // 05/03/2013: rows A and C
    const QList<QTreeWidgetItem *> selected = f.page->LVC->selectedItems();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first()->text(2), QStringLiteral("C"));
    const QString rule(82, QLatin1Char('-'));
    QCOMPARE(f.page->MC->toPlainText().split(QLatin1Char('\n')),
             (QStringList{"Data: 05/03/2013 Hora: 11:00:00", rule, "Compromisso:", rule, "", "C"}));

    // A click on a row shows that row's details.
    f.clickRow(1);
    QVERIFY(f.page->MC->toPlainText().startsWith(QStringLiteral("Data: 06/03/2013 Hora: 10:00:00\n")));
}

void TestAppointments::deleteTakesOneLineAndRebuildsDates()
{
    Fixture f;
    const QStringList records = {"05/03/2013<>09:00:00|Igual", "06/03/2013<>10:00:00|B",
                                 "05/03/2013<>09:00:00|Igual"};
    QVERIFY(f.open(records));
    f.clickRow(1);
    f.deleteThroughDateMenu(2);
    // One of the two equal lines goes (the search begins at the second line), one row goes.
    QCOMPARE(f.fileLines(), (QStringList{"05/03/2013<>09:00:00|Igual", "06/03/2013<>10:00:00|B"}));
    QCOMPARE(f.texts(), (QStringList{"Igual", "B"}));
    QCOMPARE(f.dates(), (QStringList{"05/03/2013", "06/03/2013"}));
    QCOMPARE(f.page->MC->toPlainText(), QString());
}

void TestAppointments::deleteFindsALongRecordAndNeedsASelection()
{
    Fixture f;
    const QString longLine = QStringLiteral("07/03/2013<>08:00:00|") + QString(300, QLatin1Char('x'));
    QVERIFY(f.open({"05/03/2013<>09:00:00|A", longLine}));

    QCOMPARE(f.texts().last().size(), 246);
    f.deleteThroughDateMenu(1);
    QCOMPARE(f.fileLines(), QStringList{"05/03/2013<>09:00:00|A"});
    QCOMPARE(f.texts(), QStringList{"A"});

    // A menu opened below the last entry deletes nothing.
    QListWidget *lts = f.page->lts;
    const QPoint below(10, lts->viewport()->height() - 2);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, below, lts->viewport()->mapToGlobal(below));
    QApplication::sendEvent(lts->viewport(), &menu);
    QVERIFY(!f.page->Excluir8->isEnabled());
    f.page->Excluir8->trigger();
    f.page->PopupMenu9->hide();
    QCOMPARE(f.fileLines(), QStringList{"05/03/2013<>09:00:00|A"});
}

void TestAppointments::rightClickKeepsTheSelection()
{
    Fixture f;
    QVERIFY(f.open(kFour));
    f.clickDate(1);
    QCOMPARE(f.page->lts->currentRow(), 1);
    QTest::mouseClick(f.page->lts->viewport(), Qt::RightButton, {},
                      f.page->lts->visualItemRect(f.page->lts->item(3)).center());
    QCOMPARE(f.page->lts->currentRow(), 1);
    QCOMPARE(f.page->LVC->selectedItems().first()->text(2), QStringLiteral("B"));
}

void TestAppointments::changeWaitsForTheSave()
{
    Fixture f;
    const QString longText = QString(260, QLatin1Char('z'));
    QVERIFY(f.open({"05/03/2013<>09:00:00|A", "06/03/2013<>10:00:00|" + longText, "07/03/2013<>11:00:00|C"}));
    f.clickRow(1);
    f.doubleClickRow(1);

    // The fields hold the record, the whole text included; the row and its date leave the
    // lists, but the file keeps the record until the save.
    QCOMPARE(f.page->DC->date(), QDate(2013, 3, 6));
    QCOMPARE(maskedText(*f.page->MDC), QStringLiteral("10:00:00"));
    QCOMPARE(f.page->EDC->text(), longText);
    QCOMPARE(f.texts(), (QStringList{"A", "C"}));
    QCOMPARE(f.dates(), (QStringList{"05/03/2013", "07/03/2013"}));
    QCOMPARE(f.fileLines().size(), 3);

    f.page->EDC->setFocus();
    f.page->EDC->end(false);
    typeText(f.page->EDC, "!");
    f.enter(f.page->EDC);
    QCOMPARE(f.fileLines(), (QStringList{"05/03/2013<>09:00:00|A", "07/03/2013<>11:00:00|C",
                                         "06/03/2013<>10:00:00|" + longText + "!"}));
    QCOMPARE(f.page->pendingChange(), QString());
}

void TestAppointments::secondChangeKeepsTheFirstRecord()
{
    Fixture f;
    QVERIFY(f.open(kFour));
    f.clickRow(0);
    f.doubleClickRow(0); // A leaves the list, pending
    f.clickRow(0);
    f.doubleClickRow(0); // B instead: A's change is dropped, its record stays
    QCOMPARE(f.page->EDC->text(), QStringLiteral("B"));
    f.page->EDC->setText(QStringLiteral("B2"));
    f.click(f.page->pm31);
    QCOMPARE(f.fileLines(), (QStringList{kFour[0], kFour[2], kFour[3], "06/03/2013<>10:00:00|B2"}));
    QCOMPARE(f.texts(), (QStringList{"A", "C", "D", "B2"}));
}

void TestAppointments::removedFileIsNotResurrected()
{
    Fixture f;
    QVERIFY(f.open(kFour));
    QVERIFY(QFile::remove(f.data.file(kTasks)));
    f.page->EDC->setText(QStringLiteral("Novo"));
    f.click(f.page->pm31);
    QCOMPARE(f.fileLines(), QStringList{"15/03/2013<>  :  :  |Novo"});
    QCOMPARE(f.texts(), QStringList{"Novo"});
}

void TestAppointments::changeSurvivesAListingAgain_data()
{
    QTest::addColumn<bool>("byFilter");
    QTest::newRow("window shown again") << false;
    QTest::newRow("filter on and off") << true;
}

void TestAppointments::changeSurvivesAListingAgain()
{
    QFETCH(bool, byFilter);
    Fixture f;
    QVERIFY(f.open(kFour));
    f.clickRow(1);
    f.doubleClickRow(1);
    f.page->EDC->setFocus();
    f.page->EDC->end(false);
    typeText(f.page->EDC, "2");
    if (byFilter) {
        f.click(f.page->fil);
        f.click(f.page->fil);
    } else {
        f.page->LoadAppointments(); // hidden and shown again
    }
    QCOMPARE(f.page->EDC->text(), QStringLiteral("B2"));
    f.page->EDC->setFocus();
    f.enter(f.page->EDC);
    // One record: the changed one in place of the old.
    QCOMPARE(f.fileLines(), (QStringList{kFour[0], kFour[2], kFour[3], "06/03/2013<>10:00:00|B2"}));
    QCOMPARE(f.texts(), (QStringList{"A", "C", "D", "B2"}));
}

void TestAppointments::dateMenuDeletesTheEntryItWasOpenedOn()
{
    Fixture f;
    QVERIFY(f.open(kFour));
    f.clickRow(0);              // A chosen in the list
    f.deleteThroughDateMenu(2); // the menu on C's date
    QCOMPARE(f.fileLines(), (QStringList{kFour[0], kFour[1], kFour[3]}));
    QCOMPARE(f.texts(), (QStringList{"A", "B", "D"}));
    QCOMPARE(f.dates(), (QStringList{"05/03/2013", "06/03/2013", "07/03/2013"}));
    QCOMPARE(f.page->MC->toPlainText(), QString());
    // Nothing chosen in the list: the entry's record all the same.
    f.page->LVC->clearSelection();
    f.deleteThroughDateMenu(0);
    QCOMPARE(f.fileLines(), (QStringList{kFour[1], kFour[3]}));
}

void TestAppointments::emptiedOrRemovedFileListsNothing_data()
{
    QTest::addColumn<bool>("removed");
    QTest::newRow("emptied") << false;
    QTest::newRow("removed") << true;
}

void TestAppointments::emptiedOrRemovedFileListsNothing()
{
    QFETCH(bool, removed);
    Fixture f;
    QVERIFY(f.open(kFour));
    f.clickRow(0);
    QVERIFY(!f.page->MC->toPlainText().isEmpty());
    if (removed)
        QVERIFY(QFile::remove(f.data.file(kTasks)));
    else
        QVERIFY(f.data.write(kTasks, QByteArray()));
    f.page->LoadAppointments(); // as a restore of an older backup followed by a show
    QCOMPARE(f.texts(), QStringList());
    QCOMPARE(f.dates(), QStringList());
    QCOMPARE(f.page->MC->toPlainText(), QString());
}

void TestAppointments::keyboardChoiceInTheDateListSelectsItsAppointment()
{
    Fixture f;
    QVERIFY(f.open(kFour));
    f.clickDate(0);
    QCOMPARE(f.page->LVC->selectedItems().first()->text(2), QStringLiteral("C"));
    f.page->lts->setFocus();
    QTest::keyClick(f.page->lts, Qt::Key_Down);
    QCOMPARE(f.page->LVC->selectedItems().first()->text(2), QStringLiteral("B"));
    QVERIFY(f.page->MC->toPlainText().startsWith(QStringLiteral("Data: 06/03/2013 Hora: 10:00:00\n")));
    QTest::keyClick(f.page->lts, Qt::Key_End);
    QCOMPARE(f.page->LVC->selectedItems().first()->text(2), QStringLiteral("D"));
    // The menu key opens the menu on the entry chosen; "Excluir" deletes its record.
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(5, 5),
                           f.page->lts->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(f.page->lts->viewport(), &menu);
    f.page->Excluir8->trigger();
    f.page->PopupMenu9->hide();
    QCOMPARE(f.fileLines(), (QStringList{kFour[0], kFour[1], kFour[2]}));
}

// Shown again over the same file, the rows stay (5 000 of them cost a rebuild on every
// show) but look as a fresh listing does; any change to the file, or to the rows, lists
// the file again.
void TestAppointments::showingAgainListsAfreshOnlyWhatChanged()
{
    const qint64 settle = setStampSettleTime(0);
    auto restore = qScopeGuard([settle] { setStampSettleTime(settle); });
    Fixture f;
    QVERIFY(writeFileAtomically(f.data.file(kTasks), crlf(kFour)));
    QVERIFY(f.open());
    QTreeWidgetItem *first = f.page->LVC->topLevelItem(0);
    f.clickRow(2);
    f.clickDate(1);
    QVERIFY(f.page->LVC->currentItem());
    f.page->LoadAppointments();
    QCOMPARE(f.page->LVC->topLevelItem(0), first);
    QCOMPARE(f.page->LVC->currentItem(), nullptr);
    QVERIFY(f.page->LVC->selectedItems().isEmpty());
    QVERIFY(f.page->lts->selectedItems().isEmpty());
    QCOMPARE(f.texts(), (QStringList{"A", "B", "C", "D"}));

    // Another record of the same length, the file replaced: listed afresh.
    QStringList changed = kFour;
    changed[1] = QStringLiteral("08/03/2013<>10:00:00|E");
    QVERIFY(writeFileAtomically(f.data.file(kTasks), crlf(changed)));
    f.page->LoadAppointments();
    QCOMPARE(f.texts(), (QStringList{"A", "E", "C", "D"}));
    QCOMPARE(f.dates(), (QStringList{"05/03/2013", "08/03/2013", "05/03/2013", "07/03/2013"}));

    // Narrowed to a day, then shown again: every record again.
    f.pickDay(QDate(2013, 3, 5));
    f.click(f.page->fil);
    QCOMPARE(f.texts(), (QStringList{"A", "C"}));
    f.page->LoadAppointments();
    QCOMPARE(f.texts(), (QStringList{"A", "E", "C", "D"}));

    // A change taken into the fields drops its row; showing again brings it back, and the
    // change stays waiting for its save.
    f.clickRow(1);
    f.doubleClickRow(1);
    QCOMPARE(f.texts(), (QStringList{"A", "C", "D"}));
    f.page->LoadAppointments();
    QCOMPARE(f.texts(), (QStringList{"A", "E", "C", "D"}));
    QCOMPARE(f.page->pendingChange(), changed[1]);
}

void TestAppointments::unreadableFileIsNeverRewritten()
{
    Fixture f;
    QVERIFY(f.open(kFour));
    f.clickRow(0);
    const QString path = f.data.file(kTasks);
    QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    if (QFile(path).open(QIODevice::ReadOnly))
        QSKIP("running with rights that read any file");

    f.page->EDC->setText(QStringLiteral("Novo"));
    f.click(f.page->pm31);
    f.deleteThroughDateMenu(0);
    f.doubleClickRow(0);
    f.click(f.page->pm31);
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QCOMPARE(f.fileLines(), kFour);
}

void TestAppointments::textOutsideTheCodePageSavedAsUtf8()
{
    Fixture f;
    QVERIFY(f.open({QStringLiteral("05/03/2013<>09:00:00|Caf\u00e9")}));
    f.page->EDC->setText(QStringLiteral("Consulta \u2192 \u65e5\u672c"));
    f.click(f.page->pm31);
    const QByteArray bytes = f.data.read(kTasks);
    QVERIFY(bytes.startsWith("\xef\xbb\xbf"));
    QCOMPARE(f.fileLines(), (QStringList{"05/03/2013<>09:00:00|Caf\u00e9",
                                         "15/03/2013<>  :  :  |Consulta \u2192 \u65e5\u672c"}));
    // Kept so on later saves, with only Windows-1252 text added.
    f.page->EDC->setText(QStringLiteral("Mais"));
    f.click(f.page->pm31);
    QVERIFY(f.data.read(kTasks).startsWith("\xef\xbb\xbf"));
}

void TestAppointments::reportMatchesTheGoldenPage()
{
    Fixture f;
    f.fake.clock.set(QDate(2013, 3, 15));
    QVERIFY(f.open({QStringLiteral("05/03/2013<>14:30:00|Reunião com o contador"),
                    QStringLiteral("06/03/2013<>  :  :  |Pagar <conta> & boleto")}));
    f.click(f.page->Label124);
    QFile golden(QStringLiteral(ZORV_TEST_DATA "/appointments.html"));
    QVERIFY(golden.open(QIODevice::ReadOnly));
    QCOMPARE(f.data.read(QStringLiteral("dados/Relatorio.html")), golden.readAll());
    QCOMPARE(f.fake.programs.started.size(), 1);
    QCOMPARE(decodeLines(f.data.read(QStringLiteral("dados/Web.start"))),
             QStringList{f.data.file(QStringLiteral("dados/Relatorio.html"))});
}

void TestAppointments::notificationMusicIsStored()
{
    Fixture f;
    QVERIFY(f.open());
    f.click(f.page->pm21);
    QCOMPARE(f.fake.dialogs.messages(), QStringList{"In the list of music, give double click to apply."});
    QCOMPARE(f.selectedPages, QList<int>{2});
    QVERIFY(f.page->isChoosingMusic());

    f.page->storeNotificationMusic(QStringLiteral("/home/ana/Música/toque.wav"));
    QCOMPARE(f.data.read(QStringLiteral("dados/notas/Music.comp")),
             QByteArray("/home/ana/M\xfasica/toque.wav\r\n"));
    QCOMPARE(f.selectedPages, (QList<int>{2, 5}));
    QVERIFY(!f.page->isChoosingMusic());
    QVERIFY(f.page->MDC->hasFocus());

    f.page->storeNotificationMusic(QStringLiteral("/home/ana/\u97f3\u697d/bell.wav"));
    QCOMPARE(f.data.read(QStringLiteral("dados/notas/Music.comp")),
             QByteArray("\xef\xbb\xbf/home/ana/\xe9\x9f\xb3\xe6\xa5\xbd/bell.wav\r\n"));
}

void TestAppointments::delayedTodayCheck()
{
    Fixture f;
    f.fake.clock.set(QDate(2013, 3, 7));
    QVERIFY(f.open(kFour));
    QCOMPARE(f.page->tmch.interval(), 1000);
    QVERIFY(!f.page->tmch.isActive());
    f.page->tmch.start();
    f.page->tmchTimer();
    QVERIFY(!f.page->tmch.isActive());
    QCOMPARE(f.texts(), QStringList{"D"});
}

QTEST_MAIN(TestAppointments)
#include "tst_appointments.moc"

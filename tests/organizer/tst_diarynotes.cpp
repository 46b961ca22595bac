#include "controls/linklabel.h"
#include "filesizelimit.h"
#include "organizer/diaryfiles.h"
#include "organizer/diarypage.h"
#include "organizer/notespage.h"
#include "organizer/richtextedit.h"
#include "platform/fakes.h"
#include "store/filestamp.h"
#include "store/richtextfile.h"
#include "store/textlist.h"
#include "tempdatafolder.h"
#include "typing.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace zorv;

namespace {

const char kWindowsPageBytes[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1046{\\fonttbl{\\f0\\fswiss\\fcharset0 "
    "Verdana;}}\r\n{\\*\\generator Rich 5.41;}\\viewkind4\\uc1\\pard\\f0\\fs24 "
    "P\\'e1gina escrita no Windows\\par\r\n}\r\n\0";
// A page as a Windows editor leaves it, with the NUL it writes after the last brace.
const QByteArray kWindowsPage(kWindowsPageBytes, sizeof kWindowsPageBytes - 1);

// A page on a temporary data folder, shown and active, on 15/03/2013.
template<typename Page> struct Fixture
{
    TempDataFolder data;
    FakeServices fake;
    std::unique_ptr<Page> page;

    Fixture() { fake.clock.set(QDate(2013, 3, 15)); }

    bool open()
    {
        page = std::make_unique<Page>(data.paths(), fake.services());
        page->resize(900, 600);
        page->show();
        QApplication::setActiveWindow(page.get());
        return QTest::qWaitForWindowActive(page.get());
    }
};

struct Diary : Fixture<DiaryPage>
{
    // The suite window's create and show steps for this page.
    bool start()
    {
        if (!open())
            return false;
        page->Today();
        page->ShowToday();
        page->LoadDiaryList();
        return true;
    }
    void close() { page->SaveDiaryPage(); }
    void type(const QString &text)
    {
        page->RE->setFocus();
        page->RE->moveCursor(QTextCursor::End);
        QTest::keyClicks(page->RE, text);
    }
    void clickName(const QString &name)
    {
        const auto items = page->LBD->findItems(name, Qt::MatchExactly);
        QVERIFY(!items.isEmpty());
        QTest::mouseClick(page->LBD->viewport(), Qt::LeftButton, {},
                          page->LBD->visualItemRect(items.first()).center());
    }
    // A right click on a page name opens the page list's menu there; the user then
    // chooses "Excluir".
    void deleteThroughMenu(const QString &name)
    {
        const auto items = page->LBD->findItems(name, Qt::MatchExactly);
        QVERIFY(!items.isEmpty());
        QWidget *viewport = page->LBD->viewport();
        const QPoint at = page->LBD->visualItemRect(items.first()).center();
        QTest::mouseClick(viewport, Qt::RightButton, {}, at);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &menu);
        QVERIFY(page->PopupMenu7->isVisible());
        page->Excluir6->trigger();
        page->PopupMenu7->hide();
    }
    QStringList listed() const
    {
        QStringList names;
        for (int i = 0; i < page->LBD->count(); ++i)
            names << page->LBD->item(i)->text();
        return names;
    }
};

// The last font and size words ("f0", "fs24") written before `position` of an RTF body.
QStringList fontWordsBefore(const QByteArray &body, qsizetype position)
{
    const QString text = QString::fromLatin1(body.left(position));
    QString font, size;
    static const QRegularExpression words(QStringLiteral("\\\\(f|fs)(\\d+)"));
    for (const QRegularExpressionMatch &m : words.globalMatch(text)) {
        if (m.captured(1) == u"f")
            font = m.captured(0).mid(1);
        else
            size = m.captured(0).mid(1);
    }
    return {font, size};
}

struct Notes : Fixture<NotesPage>
{
    bool start()
    {
        if (!open())
            return false;
        page->LoadQuickNotes();
        return true;
    }
    void find(const QString &text)
    {
        page->EDR->setFocus();
        typeText(page->EDR, text);
        QTest::keyClick(page->EDR, Qt::Key_Return);
    }
    // Opens the editor's menu as a right click does and reports whether "Imprimir" is on.
    bool menuPrintEnabled()
    {
        page->PopupMenu11->popup(page->AN->mapToGlobal(QPoint(10, 10)));
        const bool enabled = page->Imprimir1->isEnabled();
        page->PopupMenu11->hide();
        return enabled;
    }
};

} // namespace

class TestDiaryNotes : public QObject
{
    Q_OBJECT

private slots:
    void pageNamesAndPaths_data();
    void pageNamesAndPaths();
    void listHoldsOrdinaryFilesByNameIgnoringCase();

    void typingAndClosingCreatesTodaysPage();
    void showAndCloseUnchangedKeepsWindowsBytes();
    void choosingADateSavesTheEditedPageFirst();
    void emptyEditorWritesAndDeletesNothing();
    void clickingANameShowsItsPage();
    void nameThatIsNoDateChangesNothing();
    void deleteRemovesTheFileAndClearsTheEditor();
    void calEnterMovesToTheEditor();
    void deletingAnotherPageKeepsTheShownOne();
    void keyboardChoiceInThePageListShowsThePage();
    void failedSaveKeepsThePageUntilASaveSucceeds();
    void textTypedOnABlankLineKeepsThePageFormat();
    void diaryLooksAsSpecified();

    void notesLoadOnShowAndSaveOnlyWhenChanged();
    void notesShownAgainAreReadOnlyWhenTheFileOrTheEditorChanged();
    void findLandsOnTheFirstOccurrence();
    void printingFollowsItsConditionsAndTitles();
    void printsToPdf();
    void blankLineTypedKeepsTheFont();
};

void TestDiaryNotes::pageNamesAndPaths_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("relative"); // empty: no path

    QTest::newRow("a date") << "05.03.2013" << QDate(2013, 3, 5) << "dados/Diary/05.03.2013";
    QTest::newRow("not a date") << "notas.txt" << QDate() << "dados/Diary/notas.txt";
    QTest::newRow("a backslash stays in the name")
        << "..\\Fontes.cad" << QDate() << "dados/Diary/..\\Fontes.cad";
    QTest::newRow("a slash is refused") << "../Fontes.cad" << QDate() << "";
    QTest::newRow("dot dot") << ".." << QDate() << "";
    QTest::newRow("empty") << "" << QDate() << "";
}

void TestDiaryNotes::pageNamesAndPaths()
{
    QFETCH(QString, name);
    QFETCH(QDate, date);
    QFETCH(QString, relative);
    TempDataFolder data;
    QCOMPARE(dateOfDiaryPage(name), date);
    if (date.isValid())
        QCOMPARE(diaryPageName(date), name);
    QCOMPARE(diaryPagePath(data.paths(), name),
             relative.isEmpty() ? QString() : QDir(data.paths().exeDir()).filePath(relative));
}

void TestDiaryNotes::listHoldsOrdinaryFilesByNameIgnoringCase()
{
    TempDataFolder data;
    // "02.01.2013.XqwtRz" is what an interrupted save of that page leaves behind.
    for (const char *name :
         {"02.01.2013", "01.02.2013", "b-notes", "A-notes", ".hidden", "02.01.2013.XqwtRz"})
        QVERIFY(data.write(QString("dados/Diary/") + name, "x"));
    QVERIFY(QDir(data.file("dados/Diary")).mkdir("folder"));
    QCOMPARE(listDiaryPages(data.file("dados/Diary")),
             QStringList({"01.02.2013", "02.01.2013", "A-notes", "b-notes"}));
}

void TestDiaryNotes::typingAndClosingCreatesTodaysPage()
{
    Diary d;
    QVERIFY(d.start());
    QVERIFY(!d.page->RE->holdsText());
    d.type("Dia de sol");
    d.close();
    const QByteArray bytes = d.data.read("dados/Diary/15.03.2013");
    QVERIFY2(
        bytes.startsWith(
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1046{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}}\r\n"
            "{\\colortbl ;\\red192\\green192\\blue192;}\r\n"
            "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs24 Dia de sol\\par\r\n}\r\n"),
        bytes.constData());
    // Listed from the next show on.
    QVERIFY(!d.listed().contains("15.03.2013"));
    d.page->LoadDiaryList();
    QVERIFY(d.listed().contains("15.03.2013"));
}

void TestDiaryNotes::showAndCloseUnchangedKeepsWindowsBytes()
{
    Diary d;
    QVERIFY(d.data.write("dados/Diary/15.03.2013", kWindowsPage));
    QVERIFY(d.start());
    QCOMPARE(d.page->RE->toPlainText(), QString::fromUtf8("Página escrita no Windows"));
    d.close();
    QCOMPARE(d.data.read("dados/Diary/15.03.2013"), kWindowsPage);
    // Once edited it is written in the rich-edit shape.
    d.type("!");
    d.close();
    const QByteArray written = d.data.read("dados/Diary/15.03.2013");
    QVERIFY(written.contains("P\\'e1gina escrita no Windows!\\par\r\n}\r\n"));
    QVERIFY(!written.contains("generator"));
}

void TestDiaryNotes::choosingADateSavesTheEditedPageFirst()
{
    Diary d;
    QVERIFY(d.data.write("dados/Diary/16.03.2013", kWindowsPage));
    QVERIFY(d.start());
    d.type("hoje");
    // The user steps the date one day up.
    d.page->cal->setFocus();
    d.page->cal->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(d.page->cal, Qt::Key_Up);
    QCOMPARE(d.page->cal->date(), QDate(2013, 3, 16));
    QCOMPARE(d.page->shownDate(), QDate(2013, 3, 16));
    QCOMPARE(d.page->RE->toPlainText(), QString::fromUtf8("Página escrita no Windows"));
    QTextDocument saved;
    QVERIFY(loadRichTextFile(d.data.file("dados/Diary/15.03.2013"), saved));
    QCOMPARE(saved.toPlainText(), "hoje");
    // A date without a page shows an empty editor.
    QTest::keyClick(d.page->cal, Qt::Key_Up);
    QVERIFY(!d.page->RE->holdsText());
    QCOMPARE(d.data.read("dados/Diary/16.03.2013"), kWindowsPage); // untouched, not rewritten
}

void TestDiaryNotes::emptyEditorWritesAndDeletesNothing()
{
    Diary d;
    QVERIFY(d.data.write("dados/Diary/15.03.2013", kWindowsPage));
    QVERIFY(d.start());
    d.page->RE->setFocus();
    d.page->RE->selectAll();
    QTest::keyClick(d.page->RE, Qt::Key_Delete);
    QVERIFY(!d.page->RE->holdsText());
    d.close();
    QCOMPARE(d.data.read("dados/Diary/15.03.2013"), kWindowsPage);
    // Nothing written for a day without a page either.
    d.fake.clock.set(QDate(2013, 3, 20));
    d.page->ShowToday();
    d.close();
    QVERIFY(!QFile::exists(d.data.file("dados/Diary/20.03.2013")));
}

void TestDiaryNotes::clickingANameShowsItsPage()
{
    Diary d;
    QVERIFY(d.data.write("dados/Diary/01.02.2013", kWindowsPage));
    QVERIFY(d.data.write("dados/Diary/02.01.2013", "texto simples\r\n"));
    QVERIFY(d.start());
    QCOMPARE(d.listed(), QStringList({"01.02.2013", "02.01.2013"})); // day first, not by calendar
    d.type("escrito hoje");
    d.clickName("02.01.2013");
    QCOMPARE(d.page->cal->date(), QDate(2013, 1, 2));
    QCOMPARE(d.page->RE->toPlainText(), "texto simples");
    QVERIFY(QFile::exists(d.data.file("dados/Diary/15.03.2013"))); // the edited page was kept
    d.close();
    QCOMPARE(d.data.read("dados/Diary/02.01.2013"), QByteArray("texto simples\r\n"));
}

void TestDiaryNotes::nameThatIsNoDateChangesNothing()
{
    Diary d;
    QVERIFY(d.data.write("dados/Diary/lembretes", "outro texto"));
    QVERIFY(d.start());
    d.type("hoje");
    d.clickName("lembretes");
    QCOMPARE(d.page->cal->date(), QDate(2013, 3, 15));
    QCOMPARE(d.page->RE->toPlainText(), "hoje");
    QVERIFY(!QFile::exists(d.data.file("dados/Diary/15.03.2013")));
}

void TestDiaryNotes::deleteRemovesTheFileAndClearsTheEditor()
{
    Diary d;
    QVERIFY(d.data.write("dados/Diary/15.03.2013", kWindowsPage));
    QVERIFY(d.data.write("dados/Diary/01.01.2013", kWindowsPage));
    QVERIFY(d.start());
    QVERIFY(d.page->RE->holdsText());
    // The page deleted is the one shown: the editor is cleared.
    d.clickName("01.01.2013");
    d.clickName("15.03.2013");
    const auto other = d.page->LBD->findItems("01.01.2013", Qt::MatchExactly).first();
    QTest::mouseClick(d.page->LBD->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      d.page->LBD->visualItemRect(d.page->LBD->currentItem()).center());
    QTest::mouseClick(d.page->LBD->viewport(), Qt::LeftButton, {},
                      d.page->LBD->visualItemRect(other).center());
    QCOMPARE(d.page->cal->date(), QDate(2013, 1, 1));
    d.page->Excluir6->trigger();
    QVERIFY(!QFile::exists(d.data.file("dados/Diary/01.01.2013")));
    QCOMPARE(d.listed(), QStringList({"15.03.2013"}));
    QVERIFY(!d.page->RE->holdsText());
    QCOMPARE(d.data.read("dados/Diary/15.03.2013"), kWindowsPage);
    // Nothing selected: nothing deleted.
    d.page->LBD->clearSelection();
    d.page->Excluir6->trigger();
    QVERIFY(QFile::exists(d.data.file("dados/Diary/15.03.2013")));
}

void TestDiaryNotes::calEnterMovesToTheEditor()
{
    Diary d;
    QVERIFY(d.start());
    d.page->cal->setFocus();
    QTest::keyClick(d.page->cal, Qt::Key_Return);
    QVERIFY(d.page->RE->hasFocus());
    QCOMPARE(d.page->cal->date(), QDate(2013, 3, 15));
}

void TestDiaryNotes::deletingAnotherPageKeepsTheShownOne()
{
    Diary d;
    QVERIFY(d.data.write("dados/Diary/15.03.2013", kWindowsPage));
    QVERIFY(d.data.write("dados/Diary/10.03.2013", "ontem"));
    QVERIFY(d.start());
    d.type(" e hoje");
    d.deleteThroughMenu("10.03.2013");
    QVERIFY(!QFile::exists(d.data.file("dados/Diary/10.03.2013")));
    QCOMPARE(d.listed(), QStringList{"15.03.2013"});
    // The page shown keeps its text, typed part included, and is saved whole.
    QCOMPARE(d.page->cal->date(), QDate(2013, 3, 15));
    QCOMPARE(d.page->RE->toPlainText(), QString::fromUtf8("Página escrita no Windows e hoje"));
    d.type("!");
    d.close();
    QTextDocument saved;
    QVERIFY(loadRichTextFile(d.data.file("dados/Diary/15.03.2013"), saved));
    QCOMPARE(saved.toPlainText(), QString::fromUtf8("Página escrita no Windows e hoje!"));

    // The page shown deleted through the menu: the editor is emptied.
    d.deleteThroughMenu("15.03.2013");
    QVERIFY(!QFile::exists(d.data.file("dados/Diary/15.03.2013")));
    QVERIFY(!d.page->RE->holdsText());
}

void TestDiaryNotes::keyboardChoiceInThePageListShowsThePage()
{
    Diary d;
    QVERIFY(d.data.write("dados/Diary/01.03.2013", "primeiro"));
    QVERIFY(d.data.write("dados/Diary/02.03.2013", "segundo"));
    QVERIFY(d.data.write("dados/Diary/03.03.2013", "terceiro"));
    QVERIFY(d.start());
    d.clickName("01.03.2013");
    QCOMPARE(d.page->RE->toPlainText(), "primeiro");
    QTest::keyClick(d.page->LBD, Qt::Key_Down);
    QCOMPARE(d.page->cal->date(), QDate(2013, 3, 2));
    QCOMPARE(d.page->RE->toPlainText(), "segundo");
    QTest::keyClick(d.page->LBD, Qt::Key_End);
    QCOMPARE(d.page->RE->toPlainText(), "terceiro");
    // The entry highlighted is the one "Excluir" deletes, and it is the page shown.
    QTest::keyClick(d.page->LBD, Qt::Key_Up);
    QCOMPARE(d.page->RE->toPlainText(), "segundo");
    d.page->Excluir6->trigger();
    QCOMPARE(d.listed(), (QStringList{"01.03.2013", "03.03.2013"}));
    QVERIFY(!d.page->RE->holdsText());
    // Space and Enter choose the current entry as well.
    d.page->LBD->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    QTest::keyClick(d.page->LBD, Qt::Key_Space);
    QCOMPARE(d.page->RE->toPlainText(), "primeiro");
    d.page->LBD->setCurrentRow(1, QItemSelectionModel::NoUpdate);
    QTest::keyClick(d.page->LBD, Qt::Key_Return);
    QCOMPARE(d.page->RE->toPlainText(), "terceiro");
}

void TestDiaryNotes::failedSaveKeepsThePageUntilASaveSucceeds()
{
    Diary d;
    QVERIFY(d.data.write("dados/Diary/14.03.2013", kWindowsPage));
    d.fake.clock.set(QDate(2013, 3, 14));
    QVERIFY(d.start());
    d.type(" e mais");
    {
        FileSizeLimit full(0);
        QVERIFY(full.isSet());
        d.close(); // the write fails
        QVERIFY(d.page->lastSaveFailed());
        // Another date chosen while the page cannot be written: the page stays.
        d.page->cal->setFocus();
        d.page->cal->setCurrentSection(QDateTimeEdit::DaySection);
        QTest::keyClick(d.page->cal, Qt::Key_Up);
        QCOMPARE(d.page->cal->date(), QDate(2013, 3, 14));
        // The next show, a day later, keeps the page and its date while it cannot be written.
        d.fake.clock.set(QDate(2013, 3, 15));
        d.page->ShowToday();
        QCOMPARE(d.page->cal->date(), QDate(2013, 3, 14));
        QCOMPARE(d.page->RE->toPlainText(), QString::fromUtf8("Página escrita no Windows e mais"));
        QVERIFY(d.page->RE->document()->isModified());
        QVERIFY(d.page->lastSaveFailed());
    }
    QCOMPARE(d.data.read("dados/Diary/14.03.2013"), kWindowsPage);
    d.close();
    QVERIFY(!d.page->lastSaveFailed());
    QTextDocument saved;
    QVERIFY(loadRichTextFile(d.data.file("dados/Diary/14.03.2013"), saved));
    QCOMPARE(saved.toPlainText(), QString::fromUtf8("Página escrita no Windows e mais"));
    d.page->ShowToday();
    QCOMPARE(d.page->cal->date(), QDate(2013, 3, 15));
    QVERIFY(!d.page->RE->holdsText());
}

void TestDiaryNotes::textTypedOnABlankLineKeepsThePageFormat()
{
    Diary d;
    QVERIFY(d.data.write("dados/Diary/15.03.2013",
                         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1046{\\fonttbl{\\f0\\fnil\\fcharset0 "
                         "Verdana;}}\r\n{\\colortbl ;\\red192\\green192\\blue192;}\r\n"
                         "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs24 linha\\par\r\n\\par\r\n}\r\n"));
    QVERIFY(d.start());
    d.type("nova");
    d.close();
    const QByteArray bytes = d.data.read("dados/Diary/15.03.2013");
    QVERIFY2(bytes.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}}\r\n"), bytes.constData());
    QVERIFY2(bytes.contains("\\cf1\\f0\\fs24 linha\\par\r\nnova\\par\r\n}"), bytes.constData());
}

void TestDiaryNotes::diaryLooksAsSpecified()
{
    Diary d;
    QVERIFY(d.start());
    QCOMPARE(d.page->cal->text(), QString::fromUtf8("sexta-feira, 15 de março de 2013"));
    QCOMPARE(d.page->RE->document()->defaultFont().family(), "Verdana");
    QCOMPARE(d.page->RE->document()->defaultFont().pixelSize(), 16);
    QCOMPARE(d.page->RE->palette().color(QPalette::Text), QColor(192, 192, 192));
    QVERIFY(d.data.write("dados/Diary/01.01.2013", "x"));
    d.page->LoadDiaryList();
    QCOMPARE(d.page->LBD->visualItemRect(d.page->LBD->item(0)).height(), DiaryPage::itemHeight);
    QCOMPARE(d.page->Excluir6->text(), "Excluir");
}

void TestDiaryNotes::notesLoadOnShowAndSaveOnlyWhenChanged()
{
    Notes n;
    QVERIFY(n.data.write("dados/Notas/Notas.speed", kWindowsPage));
    QVERIFY(n.start());
    QCOMPARE(n.page->AN->toPlainText(), QString::fromUtf8("Página escrita no Windows"));
    n.page->SaveQuickNotes();
    QCOMPARE(n.data.read("dados/Notas/Notas.speed"), kWindowsPage);
    n.page->AN->setFocus();
    n.page->AN->moveCursor(QTextCursor::End);
    QTest::keyClicks(n.page->AN, " 2");
    n.page->SaveQuickNotes();
    QTextDocument back;
    QVERIFY(loadRichTextFile(n.data.file("dados/Notas/Notas.speed"), back));
    QCOMPARE(back.toPlainText(), QString::fromUtf8("Página escrita no Windows 2"));
    // Emptied notes keep the file.
    const QByteArray before = n.data.read("dados/Notas/Notas.speed");
    n.page->AN->selectAll();
    QTest::keyClick(n.page->AN, Qt::Key_Delete);
    n.page->SaveQuickNotes();
    QCOMPARE(n.data.read("dados/Notas/Notas.speed"), before);
    n.page->LoadQuickNotes();
    QCOMPARE(back.toPlainText(), n.page->AN->toPlainText());
}

void TestDiaryNotes::notesShownAgainAreReadOnlyWhenTheFileOrTheEditorChanged()
{
    const qint64 settle = setStampSettleTime(0);
    auto restore = qScopeGuard([settle] { setStampSettleTime(settle); });
    Notes n;
    const QString path = n.data.file("dados/Notas/Notas.speed");
    QVERIFY(writeFileAtomically(path, kWindowsPage));
    QVERIFY(n.start());
    QTextDocument *doc = n.page->AN->document();
    const int revision = doc->revision();
    n.page->AN->moveCursor(QTextCursor::End);
    // Shown again over the same file: nothing read or laid out again, the caret at the start.
    n.page->LoadQuickNotes();
    QCOMPARE(doc->revision(), revision);
    QCOMPARE(n.page->AN->textCursor().position(), 0);
    // The file replaced by one of the same size: its content shows.
    QByteArray other = kWindowsPage;
    other.replace("Windows", "Linux!!");
    QVERIFY(writeFileAtomically(path, other));
    n.page->LoadQuickNotes();
    QCOMPARE(n.page->AN->toPlainText(), QString::fromUtf8("Página escrita no Linux!!"));
    // Typed but not saved, or changed in code: the file's content comes back.
    n.page->AN->setFocus();
    QTest::keyClicks(n.page->AN, "x");
    n.page->LoadQuickNotes();
    QCOMPARE(n.page->AN->toPlainText(), QString::fromUtf8("Página escrita no Linux!!"));
    n.page->AN->setPlainText(QStringLiteral("outra coisa"));
    n.page->LoadQuickNotes();
    QCOMPARE(n.page->AN->toPlainText(), QString::fromUtf8("Página escrita no Linux!!"));
    // Saved: what is read next is the file as written.
    QTest::keyClicks(n.page->AN, "y");
    n.page->SaveQuickNotes();
    const int beforeReload = doc->revision();
    n.page->LoadQuickNotes();
    QVERIFY(doc->revision() != beforeReload);
    QCOMPARE(n.page->AN->toPlainText(), QString::fromUtf8("yPágina escrita no Linux!!"));
}

void TestDiaryNotes::findLandsOnTheFirstOccurrence()
{
    Notes n;
    QVERIFY(n.start());
    n.page->AN->setPlainText("Comprar pão. Depois, comprar LEITE e pão.");
    n.find("PÃO");
    QVERIFY(n.page->AN->hasFocus());
    QCOMPARE(n.page->AN->textCursor().position(), 8);
    QVERIFY(!n.page->AN->textCursor().hasSelection());
    QCOMPARE(n.page->EDR->text(), QString());
    n.find("pão");
    QCOMPARE(n.page->AN->textCursor().position(), 8);
    // Absent: the caret stays, a selection goes, EDR is cleared.
    QTextCursor c = n.page->AN->textCursor();
    c.setPosition(14);
    c.setPosition(20, QTextCursor::KeepAnchor);
    n.page->AN->setTextCursor(c);
    n.find("queijo");
    QCOMPARE(n.page->AN->textCursor().position(), 20);
    QVERIFY(!n.page->AN->textCursor().hasSelection());
    QCOMPARE(n.page->EDR->text(), QString());
    // Empty notes: nothing happens and EDR keeps its text.
    n.page->AN->clear();
    n.find("x");
    QCOMPARE(n.page->EDR->text(), "x");
}

void TestDiaryNotes::printingFollowsItsConditionsAndTitles()
{
    Notes n;
    QVERIFY(n.start());
    QCOMPARE(n.page->LabelEDR->buddy(), n.page->EDR);
    QVERIFY(!n.page->Copiar1->isVisible() && !n.page->Colar1->isVisible());
    QVERIFY(!n.menuPrintEnabled());
    QTest::mouseClick(n.page->pm30, Qt::LeftButton);
    n.page->Imprimir1->trigger();
    QVERIFY(n.fake.printer.jobs.isEmpty());

    n.page->AN->setFocus();
    QTest::keyClicks(n.page->AN, "lista");
    QVERIFY(n.menuPrintEnabled());
    QTest::mouseClick(n.page->pm30, Qt::LeftButton);
    n.page->Imprimir1->trigger();
    QCOMPARE(n.fake.printer.jobs.size(), 2);
    QCOMPARE(n.fake.printer.jobs[0].title, QString::fromUtf8("Anotações rápidas do Zorv"));
    QCOMPARE(n.fake.printer.jobs[1].title, QString::fromUtf8("Anotações rápidas do Zorv Desk"));
    QCOMPARE(n.fake.printer.jobs[1].text, "lista");
}

void TestDiaryNotes::printsToPdf()
{
    TempDataFolder data;
    QTextDocument doc;
    doc.setPlainText("Anotações");
    SystemPrinter printer;
    const QString pdf = data.root() + "/notes.pdf";
    printer.setPdfOutput(pdf);
    QVERIFY(printer.print(doc, QString::fromUtf8("Anotações rápidas do Zorv")));
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
}

// Text typed after a blank line made with Enter keeps the font and size in effect: the
// RTF names the same font and size before the second line as before the first, and its font
// table holds the notes' font only. The window's own font differs, as in the suite window,
// so a line that lost its format would show in it.
void TestDiaryNotes::blankLineTypedKeepsTheFont()
{
    Notes n;
    QVERIFY(n.start());
    n.page->setFont(QFont(QStringLiteral("Sans Serif"), 8));
    n.page->AN->setFocus();
    QTest::keyClick(n.page->AN, Qt::Key_A);
    QTest::keyClick(n.page->AN, Qt::Key_Return);
    QTest::keyClick(n.page->AN, Qt::Key_Return);
    QTest::keyClick(n.page->AN, Qt::Key_B);
    n.page->SaveQuickNotes();
    const QByteArray bytes = n.data.read("dados/Notas/Notas.speed");
    QVERIFY2(bytes.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}}\r\n"), bytes.constData());
    const QByteArray body = bytes.mid(bytes.indexOf("\\viewkind4"));
    const qsizetype first = body.indexOf("a\\par");
    const qsizetype second = body.indexOf("b\\par");
    QVERIFY2(first > 0 && second > first, bytes.constData());
    QCOMPARE(fontWordsBefore(body, second), fontWordsBefore(body, first));
    QCOMPARE(fontWordsBefore(body, first), (QStringList{"f0", "fs24"}));
}

QTEST_MAIN(TestDiaryNotes)
#include "tst_diarynotes.moc"

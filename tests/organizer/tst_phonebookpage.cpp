// The phone book driven through its widgets: the Enter chain and the saved lines, the
// fields a save needs, refused names, the name lists, the report and the delete.
#include "controls/contactnamebox.h"
#include "controls/linklabel.h"
#include "controls/maskedtext.h"
#include "organizer/phonebookpage.h"
#include "platform/fakes.h"
#include "tempdatafolder.h"
#include "treesnapshot.h"
#include "typing.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace zorv;

namespace {

void paste(QWidget *w, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
}

void enter(QWidget *w)
{
    QTest::keyClick(w, Qt::Key_Return);
}

// Clicks the row of an open drop-down list.
void clickListRow(QComboBox *box, int row)
{
    QAbstractItemView *view = box->view();
    QTRY_VERIFY(view->isVisible());
    const QRect rect = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    QTRY_VERIFY(!view->isVisible());
}

QStringList items(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

const QByteArray
    kMariaLine("MARIA SILVA<1>(11) 5555-1234<2>Pessoal<3>N\xe3o informado<4>Sem observa\xe7\xe3o\r\n");

struct Fixture
{
    TempDataFolder data;
    FakeServices fake;
    std::unique_ptr<PhoneBookPage> page;

    Fixture() { fake.clock.set(QDate(2013, 3, 15)); }

    bool open()
    {
        page = std::make_unique<PhoneBookPage>(data.paths(), fake.services());
        page->resize(900, 400);
        page->show();
        QApplication::setActiveWindow(page.get());
        if (!QTest::qWaitForWindowActive(page.get()))
            return false;
        page->e1->setFocus();
        return page->e1->hasFocus();
    }

    // The entry row walked with the keyboard; the category chosen with a click in the list
    // that Enter in the phone field drops down. The name is pasted when `pasteName`.
    void fillRow(const QString &name, const QString &digits, int category, const QString &email,
                 bool pasteName = false)
    {
        if (pasteName)
            paste(page->e1, name);
        else
            typeText(page->e1, name);
        enter(page->e1);
        QVERIFY(page->e2->hasFocus());
        typeText(page->e2, digits);
        enter(page->e2);
        clickListRow(page->e3, category);
        QVERIFY(page->e3->hasFocus());
        enter(page->e3);
        QVERIFY(page->e4->hasFocus());
        typeText(page->e4, email);
        enter(page->e4);
        QVERIFY(page->OBS->hasFocus());
    }

    QString notas(const QString &file) const { return data.file("dados/Notas/" + file); }

    QString status() const { return page->stTel->text(); }
};

// Keys into the phone field: digits as typed, 'b' Backspace, 'h' Home, 'r' Right, 'v' Ctrl+V.
void phoneKeys(QLineEdit *field, const QString &keys)
{
    for (QChar c : keys) {
        switch (c.unicode()) {
        case u'b':
            QTest::keyClick(field, Qt::Key_Backspace);
            break;
        case u'h':
            QTest::keyClick(field, Qt::Key_Home);
            break;
        case u'r':
            QTest::keyClick(field, Qt::Key_Right);
            break;
        case u'v':
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            break;
        default:
            QTest::keyClick(field, c.toLatin1());
        }
    }
}

} // namespace

class TestPhoneBookPage : public QObject
{
    Q_OBJECT

private slots:
    void widgetsAndCaptions();
    void savesAppendToTheContactsHistory();
    void saveNeedsNameCategoryAndEmail();
    void enterChainWaitsForItsFields();
    void names_data();
    void names();
    void nameLists();
    void report();
    void markerTextsTypedIntoFieldsNeverSplitTheRecord();
    void reportOfANameWithoutFileIsEmpty();
    void deleteAsksNothing();
    void phoneForms_data();
    void phoneForms();
    void saveSaysWhetherTheContactWasSaved();
};

void TestPhoneBookPage::widgetsAndCaptions()
{
    Fixture f;
    QVERIFY(f.open());
    QStringList captions;
    for (const QLabel *l : f.page->findChildren<QLabel *>())
        captions << l->text();
    for (const char *text :
         {"Agenda telefônica", "Agende seus contatos e mantenha sua vida organizada...", "Co&ntato",
          "Telefone", "Categoria", "E-mail", "Observação", "Salvar", "Gerar relatório",
          "&Selesione um contato e clique em Gerar ou pressione Enter...", "Gerar", "|", "Excluir contato"})
        QVERIFY2(captions.contains(QString::fromUtf8(text)), text);
    for (const QLabel *l : f.page->findChildren<QLabel *>()) {
        if (l->text() == "Co&ntato")
            QCOMPARE(l->buddy(), f.page->e1);
        if (l->text().startsWith("&Selesione"))
            QCOMPARE(l->buddy(), f.page->rel2);
    }
    QVERIFY(f.page->zq1->font().bold());
    QCOMPARE(items(f.page->e3), (QStringList{"Pessoal", "Trabalho", "Negócios", "Religião", "Lazer"}));
    QCOMPARE(f.page->e3->currentIndex(), -1);
    QVERIFY(!f.page->e3->isEditable());
    QCOMPARE(maskedText(*f.page->e2), QStringLiteral("(  )     -    "));
    // The captions' shortcut keys reach their fields.
    QTest::keyClick(f.page.get(), Qt::Key_S, Qt::AltModifier);
    QVERIFY(f.page->rel2->hasFocus());
    QTest::keyClick(f.page.get(), Qt::Key_N, Qt::AltModifier);
    QVERIFY(f.page->e1->hasFocus());
}

void TestPhoneBookPage::savesAppendToTheContactsHistory()
{
    Fixture f;
    // The contact already has a file, in another letter case.
    const QByteArray old("MARIA SILVA<1>(21) 0000-0000<2>Lazer<3>m@s<4>Antiga\r\n");
    QVERIFY(f.data.write("dados/Notas/Maria Silva.tel", old));
    QVERIFY(f.open());

    f.fillRow("maria silva", "1155551234", 0, "");
    QCOMPARE(f.page->e4->text(), QStringLiteral("Não informado"));
    enter(f.page->OBS);
    QCOMPARE(f.data.read("dados/Notas/Maria Silva.tel"), old + kMariaLine);
    // The row is emptied for the next contact.
    QVERIFY(f.page->e1->hasFocus());
    QCOMPARE(f.page->e1->currentText(), QString());
    QCOMPARE(f.page->e1->count(), 0);
    QCOMPARE(maskedText(*f.page->e2), QStringLiteral("(  )     -    "));
    QCOMPARE(f.page->e3->currentIndex(), -1);
    QCOMPARE(f.page->e4->text(), QString());
    QCOMPARE(f.page->OBS->text(), QString());

    // The same contact again, phone untouched, a typed e-mail and note, saved by the link.
    f.fillRow("MARIA SILVA", "", 1, "Maria@Exemplo.COM");
    typeText(f.page->OBS, "Cliente desde 2010");
    QTest::mouseClick(f.page->zq1, Qt::LeftButton);
    QCOMPARE(f.data.read("dados/Notas/Maria Silva.tel"),
             old + kMariaLine +
                 "MARIA SILVA<1>(  )     -    <2>Trabalho<3>maria@exemplo.com<4>Cliente desde 2010\r\n");
    QCOMPARE(QDir(f.data.file("dados/Notas")).entryList(QDir::Files), QStringList{"Maria Silva.tel"});

    // Text the code page cannot hold keeps its characters: the file turns to UTF-8.
    f.fillRow("Łukasz", "", 4, "");
    typeText(f.page->OBS, "☎ ramal 2");
    enter(f.page->OBS);
    QCOMPARE(f.data.read("dados/Notas/ŁUKASZ.tel"),
             QByteArray("\xef\xbb\xbf") + "ŁUKASZ<1>(  )     -    <2>Lazer<3>Não informado<4>☎ ramal 2\r\n");
}

void TestPhoneBookPage::saveNeedsNameCategoryAndEmail()
{
    Fixture f;
    QVERIFY(f.open());
    const auto before = snapshot(f.data.root());

    // No category: the list Enter drops down is closed without a choice.
    typeText(f.page->e1, "ANA");
    enter(f.page->e1);
    typeText(f.page->e2, "11");
    enter(f.page->e2);
    QTRY_VERIFY(f.page->e3->view()->isVisible());
    QTest::keyClick(f.page->e3->view(), Qt::Key_Escape);
    QTRY_VERIFY(!f.page->e3->view()->isVisible());
    QTest::mouseClick(f.page->e4, Qt::LeftButton);
    typeText(f.page->e4, "ana@x");
    QTest::mouseClick(f.page->zq1, Qt::LeftButton);
    QCOMPARE(snapshot(f.data.root()), before);
    QCOMPARE(f.page->e4->text(), QStringLiteral("ana@x"));

    // "Salvar" with an empty e-mail: only Enter in the e-mail field fills it in.
    QTest::keyClick(f.page->e4, Qt::Key_Backtab);
    QVERIFY(f.page->e3->hasFocus());
    QTest::keyClick(f.page->e3, Qt::Key_F4);
    clickListRow(f.page->e3, 2);
    QTest::mouseClick(f.page->e4, Qt::LeftButton);
    QTest::keyClick(f.page->e4, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(f.page->e4, Qt::Key_Delete);
    QTest::mouseClick(f.page->zq1, Qt::LeftButton);
    QCOMPARE(snapshot(f.data.root()), before);
    QCOMPARE(f.page->e1->currentText(), QStringLiteral("ANA"));
    QCOMPARE(f.page->e3->currentText(), QStringLiteral("Negócios"));
    QCOMPARE(f.page->OBS->text(), QString());
}

void TestPhoneBookPage::enterChainWaitsForItsFields()
{
    Fixture f;
    QVERIFY(f.open());
    enter(f.page->e1); // no name yet
    QVERIFY(f.page->e1->hasFocus());
    typeText(f.page->e1, "ANA");
    enter(f.page->e1);
    QVERIFY(f.page->e2->hasFocus());
    enter(f.page->e2);
    QTRY_VERIFY(f.page->e3->view()->isVisible());
    QTest::keyClick(f.page->e3->view(), Qt::Key_Escape);
    QTRY_VERIFY(!f.page->e3->view()->isVisible());
    enter(f.page->e3); // no category yet
    QVERIFY(f.page->e3->hasFocus());
    // Enter is never typed into a field.
    QCOMPARE(f.page->e1->currentText(), QStringLiteral("ANA"));
    QCOMPARE(maskedText(*f.page->e2), QStringLiteral("(  )     -    "));
}

void TestPhoneBookPage::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file"); // empty: refused
    QTest::newRow("two words") << "MARIA SILVA"
                               << "MARIA SILVA.tel";
    QTest::newRow("accent") << "JOÃO"
                            << "JOÃO.tel";
    QTest::newRow("hidden") << ".OCULTO"
                            << ".OCULTO.tel";
    QTest::newRow("parent") << ".."
                            << "";
    QTest::newRow("up and out") << "..\\..\\X"
                                << "";
    QTest::newRow("slash") << "A/B"
                           << "";
    QTest::newRow("backslash") << "A\\B"
                               << "";
    QTest::newRow("trailing dot") << "X."
                                  << "";
    QTest::newRow("trailing space") << "X "
                                    << "";
    QTest::newRow("colon") << "A:B"
                           << "";
    QTest::newRow("question mark") << "A?B"
                                   << "";
    QTest::newRow("markers") << "A<1>B"
                             << "";
    QTest::newRow("tab") << "A\tB"
                         << "";
    QTest::newRow("device") << "CON"
                            << "";
    QTest::newRow("device with extension") << "con.x"
                                           << "";
    QTest::newRow("port") << "COM1"
                          << "";
    QTest::newRow("superscript port") << "LPT¹"
                                      << "";
    QTest::newRow("256 units with extension") << QString(252, u'A') << "";
    QTest::newRow("260 bytes with extension") << QString(128, u'Ç') << "";
}

// Save, report and delete with the name: a refused one writes, reads and deletes nothing
// anywhere and the entry row keeps its values; the delete still empties its field.
void TestPhoneBookPage::names()
{
    QFETCH(QString, name);
    QFETCH(QString, file);
    Fixture f;
    QVERIFY(f.data.write("dados/Notas/X.tel", "X<1>(  )     -    <2>Lazer<3>x<4>x\r\n"));
    QVERIFY(f.open());
    const auto before = snapshot(f.data.root());

    f.fillRow(name, "1155551234", 0, "ana@x", true);
    typeText(f.page->OBS, "nota");
    enter(f.page->OBS);
    if (!file.isEmpty()) {
        QVERIFY(QFile::exists(f.notas(file)));
        QCOMPARE(f.page->e1->currentText(), QString());
        return;
    }
    QCOMPARE(snapshot(f.data.root()), before);
    QCOMPARE(f.page->e1->currentText(), name.toUpper());
    QCOMPARE(maskedText(*f.page->e2), QStringLiteral("(11) 5555-1234"));
    QCOMPARE(f.page->e3->currentIndex(), 0);
    QCOMPARE(f.page->e4->text(), QStringLiteral("ana@x"));
    QCOMPARE(f.page->OBS->text(), QStringLiteral("nota"));

    f.page->rel2->setFocus(Qt::TabFocusReason);
    paste(f.page->rel2, name);
    enter(f.page->rel2);
    QTest::mouseClick(f.page->zq3, Qt::LeftButton);
    QCOMPARE(f.page->rel2->currentText(), QString());
    QCOMPARE(snapshot(f.data.root()), before);
    QVERIFY(f.fake.programs.started.isEmpty());
}

void TestPhoneBookPage::nameLists()
{
    Fixture f;
    for (const char *file :
         {"Maria.tel", "ANA.TEL", "ÍRIS.tel", "bruno.tel", "ÁGUA.tel", "x.map", "Tasks.go"})
        QVERIFY(f.data.write(QStringLiteral("dados/Notas/") + QString::fromUtf8(file), "x\r\n"));
    QVERIFY(f.open());
    const QStringList order{"ÁGUA", "ANA", "bruno", "ÍRIS", "Maria"};

    // The contact field reads the names when its list drops down, and drops what was typed.
    typeText(f.page->e1, "PEDRO");
    QCOMPARE(f.page->e1->count(), 0);
    QTest::keyClick(f.page->e1, Qt::Key_F4);
    QTRY_VERIFY(f.page->e1->view()->isVisible());
    QCOMPARE(items(f.page->e1), order);
    QCOMPARE(f.page->e1->currentText(), QString());
    clickListRow(f.page->e1, 2);
    QCOMPARE(f.page->e1->currentText(), QStringLiteral("bruno"));
    // Leaving and coming back keeps the contact field as it is.
    QTest::keyClick(f.page->e1, Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QVERIFY(f.page->e1->hasFocus());
    QCOMPARE(f.page->e1->currentText(), QStringLiteral("bruno"));

    // The report field reads them each time the focus arrives.
    QVERIFY(f.data.write("dados/Notas/Carla.tel", "x\r\n"));
    QTest::mouseClick(f.page->rel2->lineEdit(), Qt::LeftButton);
    QVERIFY(f.page->rel2->hasFocus());
    QCOMPARE(items(f.page->rel2), (QStringList{"ÁGUA", "ANA", "bruno", "Carla", "ÍRIS", "Maria"}));
}

void TestPhoneBookPage::report()
{
    Fixture f;
    QVERIFY(f.data.write("dados/Notas/ANA.tel",
                         "ANA<1>(11) 5555-1234<2>Pessoal<3>N\xe3o informado<4>Sem observa\xe7\xe3o\r\n"
                         "ANA<1>(  )     -    <2>Neg\xf3"
                         "cios<3>ana@x.com<4>Prefere <manh\xe3> & e-mail\r\n"));
    QVERIFY(f.open());
    f.page->rel2->setFocus(Qt::TabFocusReason);
    typeText(f.page->rel2, "ana");
    enter(f.page->rel2);

    QFile golden(QStringLiteral(ZORV_TEST_DATA "/phonebook.html"));
    QVERIFY(golden.open(QIODevice::ReadOnly));
    QCOMPARE(f.data.read("dados/Relatorio.html"), golden.readAll());
    QCOMPARE(f.data.read("dados/Web.start"), (f.data.file("dados/Relatorio.html") + "\r\n").toLocal8Bit());
    QCOMPARE(f.fake.programs.started.size(), 1);

    // The link does the same.
    QTest::mouseClick(f.page->zq2, Qt::LeftButton);
    QCOMPARE(f.fake.programs.started.size(), 2);
}

void TestPhoneBookPage::markerTextsTypedIntoFieldsNeverSplitTheRecord()
{
    Fixture f;
    QVERIFY(f.open());
    f.fillRow("pedro", "1155551234", 0, "pedro<4>casa@x.com");
    typeText(f.page->OBS, "ligar <<3>3>depois<1>");
    enter(f.page->OBS);
    // Removed until none is left: "<<3>3>" does not become "<3>".
    const QByteArray line("PEDRO<1>(11) 5555-1234<2>Pessoal<3>pedrocasa@x.com<4>ligar depois\r\n");
    QCOMPARE(f.data.read("dados/Notas/PEDRO.tel"), line);

    f.page->rel2->setFocus(Qt::TabFocusReason);
    typeText(f.page->rel2, "pedro");
    enter(f.page->rel2);
    const QString report = QString::fromUtf8(f.data.read("dados/Relatorio.html"));
    QVERIFY2(report.contains("<td><hr>pedrocasa@x.com") && report.contains("<td><hr>ligar depois"),
             qPrintable(report));
}

void TestPhoneBookPage::reportOfANameWithoutFileIsEmpty()
{
    Fixture f;
    QVERIFY(f.data.write("dados/Notas/ANA.tel", "ANA<1>(11) 5555-1234<2>Pessoal<3>a<4>b\r\n"));
    QVERIFY(f.open());
    f.page->rel2->setFocus(Qt::TabFocusReason);
    typeText(f.page->rel2, "ANA");
    enter(f.page->rel2);
    QVERIFY(f.data.read("dados/Relatorio.html").contains("<td><hr>ANA"));

    // The rows of the contact reported before are not shown under another name.
    QTest::keyClick(f.page->rel2, Qt::Key_A, Qt::ControlModifier);
    typeText(f.page->rel2, "BRUNO");
    enter(f.page->rel2);
    const QByteArray page = f.data.read("dados/Relatorio.html");
    QVERIFY(page.contains("<title>Zorv Desk - Dados de: BRUNO - 15/03/2013</title>"));
    QVERIFY(
        page.endsWith("<td></strong><strong>Observa\xe7\xe3o</strong></td>\r\n</tr>\r\n</body></html>\r\n"));
    QCOMPARE(f.fake.programs.started.size(), 2);
}

void TestPhoneBookPage::deleteAsksNothing()
{
    Fixture f;
    QVERIFY(f.data.write("dados/Notas/Ana.tel", "x\r\n"));
    QVERIFY(f.data.write("dados/Notas/Ana.map", "y\r\n"));
    QVERIFY(f.open());
    f.page->rel2->setFocus(Qt::TabFocusReason);
    typeText(f.page->rel2, "ANA");
    QTest::mouseClick(f.page->zq3, Qt::LeftButton);
    QVERIFY(!QFile::exists(f.notas("Ana.tel")));
    QVERIFY(QFile::exists(f.notas("Ana.map")));
    QCOMPARE(f.page->rel2->currentText(), QString());
    QVERIFY(f.fake.dialogs.shown.isEmpty());

    // A name without a file: only the field is emptied.
    const auto before = snapshot(f.data.root());
    typeText(f.page->rel2, "BRUNO");
    QTest::mouseClick(f.page->zq3, Qt::LeftButton);
    QCOMPARE(f.page->rel2->currentText(), QString());
    QCOMPARE(snapshot(f.data.root()), before);
}

void TestPhoneBookPage::phoneForms_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("saved");
    QTest::newRow("mobile") << "11987654321"
                            << ""
                            << "(11) 98765-4321";
    QTest::newRow("land line") << "1155551234"
                               << ""
                               << "(11) 5555-1234";
    QTest::newRow("area code only") << "11"
                                    << ""
                                    << "(11)     -    ";
    QTest::newRow("untouched") << ""
                               << ""
                               << "(  )     -    ";
    QTest::newRow("twelfth digit dropped") << "119876543210"
                                           << ""
                                           << "(11) 98765-4321";
    QTest::newRow("last digit taken back") << "11987654321b"
                                           << ""
                                           << "(11) 9876-5432";
    QTest::newRow("taken back and typed again") << "11987654321b1"
                                                << ""
                                                << "(11) 98765-4321";
    QTest::newRow("nine put in front of a full number") << "1187654321hrrr9"
                                                        << ""
                                                        << "(11) 98765-4321";
    QTest::newRow("mobile pasted") << "v"
                                   << "(11) 98765-4321"
                                   << "(11) 98765-4321";
    QTest::newRow("land line pasted") << "v"
                                      << "11 5555 1234"
                                      << "(11) 5555-1234";
}

// The field takes land lines and mobiles whole, as typed, pasted or corrected.
void TestPhoneBookPage::phoneForms()
{
    QFETCH(QString, keys);
    QFETCH(QString, clipboard);
    QFETCH(QString, saved);
    Fixture f;
    QVERIFY(f.open());
    QGuiApplication::clipboard()->setText(clipboard);
    typeText(f.page->e1, "ana");
    enter(f.page->e1);
    QVERIFY(f.page->e2->hasFocus());
    phoneKeys(f.page->e2, keys);
    QCOMPARE(maskedText(*f.page->e2), saved);
    enter(f.page->e2);
    clickListRow(f.page->e3, 0);
    enter(f.page->e3);
    enter(f.page->e4);
    enter(f.page->OBS);
    QCOMPARE(f.data.read("dados/Notas/ANA.tel"),
             "ANA<1>" + saved.toLatin1() + "<2>Pessoal<3>N\xe3o informado<4>Sem observa\xe7\xe3o\r\n");
    // The emptied row is back in the land-line form.
    QCOMPARE(maskedText(*f.page->e2), QStringLiteral("(  )     -    "));
}

// A save says that the contact was saved; one that wrote nothing says why, and the row keeps
// its values for another try.
void TestPhoneBookPage::saveSaysWhetherTheContactWasSaved()
{
    Fixture f;
    QVERIFY(f.open());
    QVERIFY(f.page->stTel->text().isEmpty());
    f.fillRow("ana", "11987654321", 0, "");
    enter(f.page->OBS);
    QCOMPARE(f.status(), QStringLiteral("Contato ANA salvo."));
    // Beginning the next contact takes the note away.
    typeText(f.page->e1, "b");
    QCOMPARE(f.status(), QString());

    // A contact file that cannot be read is not written over.
    QVERIFY(QDir().mkpath(f.notas("BRUNO.tel")));
    QTest::keyClick(f.page->e1, Qt::Key_Backspace);
    f.fillRow("bruno", "1155551234", 1, "");
    enter(f.page->OBS);
    QCOMPARE(f.status(), QStringLiteral("O contato não foi salvo: não foi possível ler BRUNO.tel"));
    QCOMPARE(f.page->e1->currentText(), QStringLiteral("BRUNO"));
    QCOMPARE(maskedText(*f.page->e2), QStringLiteral("(11) 5555-1234"));

    // Without the folder nothing can be written.
    QVERIFY(QDir(f.data.file("dados/Notas")).removeRecursively());
    QTest::mouseClick(f.page->zq1, Qt::LeftButton);
    QCOMPARE(f.status(), QStringLiteral("O contato não foi salvo: a pasta dados\\Notas não existe"));
    QCOMPARE(f.page->OBS->text(), QStringLiteral("Sem observação"));

    // A name that cannot be a file name.
    QTest::keyClick(f.page->e1, Qt::Key_A, Qt::ControlModifier);
    f.page->e1->setFocus();
    paste(f.page->e1, "A/B");
    QTest::mouseClick(f.page->zq1, Qt::LeftButton);
    QCOMPARE(f.status(),
             QStringLiteral("O contato não foi salvo: \"A/B\" não pode ser o nome de um arquivo."));
}

QTEST_MAIN(TestPhoneBookPage)
#include "tst_phonebookpage.moc"

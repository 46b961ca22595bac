// The activity map driven through its widgets: the Enter chain and the saved lines, the
// fields a save needs, the report, the delete question, and the memo of notes.
#include "controls/contactnamebox.h"
#include "controls/linklabel.h"
#include "organizer/activitymappage.h"
#include "platform/fakes.h"
#include "tempdatafolder.h"
#include "treesnapshot.h"
#include "typing.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

using namespace zorv;

namespace {

void enter(QWidget *w)
{
    QTest::keyClick(w, Qt::Key_Return);
}

struct Fixture
{
    TempDataFolder data;
    FakeServices fake;
    std::unique_ptr<ActivityMapPage> page;

    Fixture() { fake.clock.set(QDate(2013, 3, 5)); }

    bool open()
    {
        page = std::make_unique<ActivityMapPage>(data.paths(), fake.services());
        page->resize(900, 500);
        page->show();
        QApplication::setActiveWindow(page.get());
        if (!QTest::qWaitForWindowActive(page.get()))
            return false;
        page->SetDateToToday();
        page->z1->setFocus();
        return page->z1->hasFocus();
    }

    // Name, Enter, Enter on the date, the category stepped to with the arrow key, Enter,
    // the topic, Enter.
    void saveActivity(const QString &name, int categorySteps, const QString &topic)
    {
        typeText(page->z1, name);
        enter(page->z1);
        QVERIFY(page->z2->hasFocus());
        enter(page->z2);
        QVERIFY(page->z3->hasFocus());
        for (int i = 0; i < categorySteps; ++i)
            QTest::keyClick(page->z3, Qt::Key_Down);
        enter(page->z3);
        QVERIFY(page->z4->hasFocus());
        typeText(page->z4, topic);
        enter(page->z4);
    }
};

} // namespace

class TestActivityMapPage : public QObject
{
    Q_OBJECT

private slots:
    void widgetsAndCaptions();
    void savesAppendToTheContactsActivities();
    void saveNeedsTopicAndCategory();
    void refusedNameSavesNothing();
    void report();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void notesLoadedAndSaved();
    void emptyMemoWritesNothing();
};

void TestActivityMapPage::widgetsAndCaptions()
{
    Fixture f;
    QVERIFY(f.open());
    QStringList captions;
    for (const QLabel *l : f.page->findChildren<QLabel *>())
        captions << l->text();
    for (const char *text :
         {"Mapa de atividades e negócios",
          "Controle seus contatos, atividades, feedbacks e follow-ups, vendas e negócios facilmente.",
          "Gere relatórios claros e objetivos destas atividades e aumente a sua produtividade, "
          "rendimentos...",
          "Con&tato", "Data", "Categoria", "Tema abordado", "Salvar", "Gerar relatório", "Cont&ato", "Gerar",
          "|", "Excluir contato", "Notas so&bre os contatos..."})
        QVERIFY2(captions.contains(QString::fromUtf8(text)), text);
    QCOMPARE(f.page->z2->displayFormat(), QStringLiteral("dd/MM/yyyy"));
    QCOMPARE(f.page->z2->date(), QDate(2013, 3, 5));
    QCOMPARE(f.page->z3->currentIndex(), -1);
    QCOMPARE(f.page->z3->count(), 4);
    QTest::keyClick(f.page.get(), Qt::Key_A, Qt::AltModifier);
    QVERIFY(f.page->rel->hasFocus());
    QTest::keyClick(f.page.get(), Qt::Key_B, Qt::AltModifier);
    QVERIFY(f.page->MLPC->hasFocus());
    QTest::keyClick(f.page.get(), Qt::Key_T, Qt::AltModifier);
    QVERIFY(f.page->z1->hasFocus());
}

void TestActivityMapPage::savesAppendToTheContactsActivities()
{
    Fixture f;
    QVERIFY(f.open());
    f.saveActivity("joao pereira", 1, "proposta enviada");
    QCOMPARE(f.data.read("dados/Notas/JOAO PEREIRA.map"),
             QByteArray("JOAO PEREIRA<1>05/03/2013<2>Vendas<3>PROPOSTA ENVIADA\r\n"));
    // Name and topic are emptied; date and category stay for the next activity.
    QVERIFY(f.page->z1->hasFocus());
    QCOMPARE(f.page->z1->currentText(), QString());
    QCOMPARE(f.page->z4->text(), QString());
    QCOMPARE(f.page->z3->currentText(), QStringLiteral("Vendas"));

    // A day later by the date's arrow key, a second activity in the same category.
    typeText(f.page->z1, "JOAO PEREIRA");
    enter(f.page->z1);
    QTest::keyClick(f.page->z2, Qt::Key_Up);
    enter(f.page->z2);
    enter(f.page->z3);
    typeText(f.page->z4, "retorno às 10h");
    QTest::mouseClick(f.page->lza, Qt::LeftButton);
    QCOMPARE(f.data.read("dados/Notas/JOAO PEREIRA.map"),
             QByteArray("JOAO PEREIRA<1>05/03/2013<2>Vendas<3>PROPOSTA ENVIADA\r\n"
                        "JOAO PEREIRA<1>06/03/2013<2>Vendas<3>RETORNO \xc0S 10H\r\n"));
}

void TestActivityMapPage::saveNeedsTopicAndCategory()
{
    Fixture f;
    QVERIFY(f.open());
    const auto before = snapshot(f.data.root());
    typeText(f.page->z1, "ANA");
    enter(f.page->z1);
    enter(f.page->z2);
    enter(f.page->z3); // no category: the focus stays
    QVERIFY(f.page->z3->hasFocus());
    QTest::mouseClick(f.page->z4, Qt::LeftButton);
    typeText(f.page->z4, "visita");
    enter(f.page->z4);
    QCOMPARE(snapshot(f.data.root()), before);

    // A category but no topic.
    QTest::keyClick(f.page->z4, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(f.page->z4, Qt::Key_Delete);
    QTest::keyClick(f.page->z4, Qt::Key_Backtab);
    QTest::keyClick(f.page->z3, Qt::Key_F4);
    QAbstractItemView *list = f.page->z3->view();
    QTRY_VERIFY(list->isVisible());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(2, 0)).center());
    QTRY_VERIFY(!list->isVisible());
    QCOMPARE(f.page->z3->currentText(), QStringLiteral("Trabalho"));
    QTest::mouseClick(f.page->lza, Qt::LeftButton);
    QCOMPARE(snapshot(f.data.root()), before);
    QCOMPARE(f.page->z1->currentText(), QStringLiteral("ANA"));
}

void TestActivityMapPage::refusedNameSavesNothing()
{
    Fixture f;
    QVERIFY(f.open());
    const auto before = snapshot(f.data.root());
    f.saveActivity("..\\fontes.cad", 1, "x");
    QCOMPARE(snapshot(f.data.root()), before);
    QCOMPARE(f.page->z1->currentText(), QStringLiteral("..\\FONTES.CAD"));
    QCOMPARE(f.page->z4->text(), QStringLiteral("X"));
    QVERIFY(f.page->z4->hasFocus());

    // Another name that no file can hold, saved with the topic left in place.
    QTest::mouseClick(f.page->z1->lineEdit(), Qt::LeftButton);
    QCOMPARE(f.page->z1->currentText(), QString());
    typeText(f.page->z1, "a|b");
    QTest::mouseClick(f.page->lza, Qt::LeftButton);
    QCOMPARE(snapshot(f.data.root()), before);
    QCOMPARE(f.page->z1->currentText(), QStringLiteral("A|B"));
}

void TestActivityMapPage::report()
{
    Fixture f;
    QVERIFY(f.data.write("dados/Notas/JOAO PEREIRA.map",
                         "JOAO PEREIRA<1>05/03/2013<2>Vendas<3>PROPOSTA ENVIADA\r\n"
                         "JOAO PEREIRA<1>06/03/2013<2>Neg\xf3"
                         "cios<3>PRE\xc7O < 100 & \"FRETE\"\r\n"));
    f.fake.clock.set(QDate(2013, 3, 15));
    QVERIFY(f.open());
    QTest::mouseClick(f.page->rel->lineEdit(), Qt::LeftButton);
    typeText(f.page->rel, "joao pereira");
    enter(f.page->rel);

    QFile golden(QStringLiteral(ZORV_TEST_DATA "/activitymap.html"));
    QVERIFY(golden.open(QIODevice::ReadOnly));
    QCOMPARE(f.data.read("dados/Relatorio.html"), golden.readAll());
    QCOMPARE(f.fake.programs.started.size(), 1);

    // A name without a file: the page shows no rows.
    QTest::keyClick(f.page->rel, Qt::Key_A, Qt::ControlModifier);
    typeText(f.page->rel, "ANA");
    QTest::mouseClick(f.page->lza1, Qt::LeftButton);
    QVERIFY(f.data.read("dados/Relatorio.html")
                .endsWith("<td></strong><strong>Tema abordado</strong></td>\r\n</tr>\r\n</body></html>\r\n"));
    QCOMPARE(f.fake.programs.started.size(), 2);

    // A name chosen from the list becomes the box's hint.
    f.page->rel->showPopup();
    QAbstractItemView *view = f.page->rel->view();
    QTRY_VERIFY(view->isVisible());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(0, 0)).center());
    QTRY_VERIFY(!view->isVisible());
    QCOMPARE(f.page->rel->toolTip(), QStringLiteral("JOAO PEREIRA"));
}

void TestActivityMapPage::deleteAsksFirst_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("no keeps") << false;
    QTest::newRow("yes deletes") << true;
}

void TestActivityMapPage::deleteAsksFirst()
{
    QFETCH(bool, yes);
    Fixture f;
    QVERIFY(f.data.write("dados/Notas/Ana.map", "x\r\n"));
    QVERIFY(f.data.write("dados/Notas/Ana.tel", "y\r\n"));
    QVERIFY(f.open());
    QTest::mouseClick(f.page->rel->lineEdit(), Qt::LeftButton);
    typeText(f.page->rel, "ANA");
    f.fake.dialogs.answers << yes;
    QTest::mouseClick(f.page->lza2, Qt::LeftButton);

    QCOMPARE(f.fake.dialogs.shown.size(), 1);
    const FakeDialogs::Shown &asked = f.fake.dialogs.shown.first();
    QCOMPARE(asked.kind, FakeDialogs::Kind::Question);
    QCOMPARE(asked.caption, QStringLiteral("Zorv Desk"));
    QCOMPARE(asked.icon, MessageIcon::Question);
    QCOMPARE(asked.text, QStringLiteral("Este procedimento excluirá o contato parmanentemente.\n"
                                        "Você deseja realmente fazer isso?"));
    QCOMPARE(QFile::exists(f.data.file("dados/Notas/Ana.map")), !yes);
    QCOMPARE(f.page->rel->currentText(), yes ? QString() : QStringLiteral("ANA"));
    QVERIFY(QFile::exists(f.data.file("dados/Notas/Ana.tel")));
}

void TestActivityMapPage::notesLoadedAndSaved()
{
    Fixture f;
    // Written by another tool in UTF-8 with its mark: read whole, written back the same way.
    QVERIFY(f.data.write("dados/Notas/Map.next", "\xef\xbb\xbf"
                                                 "Ana: ligar \xe2\x98\x8e\r\nBruno\r\n"));
    QVERIFY(f.open());
    f.page->LoadActivityNotes();
    QCOMPARE(f.page->MLPC->toPlainText(), QStringLiteral("Ana: ligar ☎\nBruno"));

    f.page->MLPC->setFocus();
    QTest::keyClick(f.page->MLPC, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(f.page->MLPC, Qt::Key_Return);
    typeText(f.page->MLPC, "Carla");
    QTest::keyClick(f.page->MLPC, Qt::Key_Return, Qt::ShiftModifier); // a line break inside the paragraph
    typeText(f.page->MLPC, "fim");
    f.page->SaveActivityNotes();
    QCOMPARE(f.data.read("dados/Notas/Map.next"),
             QByteArray("\xef\xbb\xbf"
                        "Ana: ligar \xe2\x98\x8e\r\nBruno\r\nCarla\r\nfim\r\n"));

    // A file in the code page stays in it; a missing file leaves the memo as it is.
    QVERIFY(f.data.write("dados/Notas/Map.next", "Jo\xe3o\r\n"));
    f.page->LoadActivityNotes();
    QCOMPARE(f.page->MLPC->toPlainText(), QStringLiteral("João"));
    f.page->SaveActivityNotes();
    QCOMPARE(f.data.read("dados/Notas/Map.next"), QByteArray("Jo\xe3o\r\n"));
    QVERIFY(QFile::remove(f.data.file("dados/Notas/Map.next")));
    f.page->LoadActivityNotes();
    QCOMPARE(f.page->MLPC->toPlainText(), QStringLiteral("João"));
}

void TestActivityMapPage::emptyMemoWritesNothing()
{
    Fixture f;
    QVERIFY(f.data.write("dados/Notas/Map.next", "antigas\r\n"));
    QVERIFY(f.open());
    f.page->LoadActivityNotes();
    f.page->MLPC->setFocus();
    QTest::keyClick(f.page->MLPC, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(f.page->MLPC, Qt::Key_Delete);
    QCOMPARE(f.page->MLPC->toPlainText(), QString());
    f.page->SaveActivityNotes();
    QCOMPARE(f.data.read("dados/Notas/Map.next"), QByteArray("antigas\r\n"));
    // No file and an empty memo: still nothing.
    QVERIFY(QFile::remove(f.data.file("dados/Notas/Map.next")));
    f.page->SaveActivityNotes();
    QVERIFY(!QFile::exists(f.data.file("dados/Notas/Map.next")));
}

QTEST_MAIN(TestActivityMapPage)
#include "tst_activitymappage.moc"

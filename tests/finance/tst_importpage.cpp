#include "controls/currencyedit.h"
#include "controls/linklabel.h"
#include "finance/correctionsarea.h"
#include "finance/financepage.h"
#include "finance/statementpreview.h"
#include "finance/statementreader.h"
#include "platform/fakes.h"
#include "tempdatafolder.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTreeWidget>

#include <csignal>
#include <sys/resource.h>

using namespace zorv;

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(ZORV_TEST_DATA "/ofx/") + QLatin1String(name);
}

const QByteArray kJanuary("5,00<1>02/01/2015<2>Exit<3>P\xe3o<4>Dinheiro\r\n");

// The finance page on a temporary data folder, shown and active, on 15/01/2015.
struct Fixture
{
    TempDataFolder data;
    FakeServices fake;
    std::unique_ptr<FinancePage> page;

    bool open()
    {
        fake.clock.set(QDate(2015, 1, 15));
        page = std::make_unique<FinancePage>(data.paths(), fake.services());
        page->resize(1000, 700);
        page->show();
        QApplication::setActiveWindow(page.get());
        if (!QTest::qWaitForWindowActive(page.get()))
            return false;
        page->SetDateToToday();
        page->Atualizar3Click();
        page->FocusValue();
        return true;
    }

    // Clicks the link with `file` as the answer of the file dialog and waits until the
    // reading, off the window's thread, has ended; the preview, if any.
    StatementPreview *clickImport(const QString &file)
    {
        fake.dialogs.files.enqueue(file);
        return readAfter([this] {
            QTest::mouseClick(page->ImportStatement, Qt::LeftButton, {},
                              page->ImportStatement->rect().center());
        });
    }

    // Runs `start` and, when it started a reading, waits for its end; the preview, if any.
    template<typename Start> StatementPreview *readAfter(Start start)
    {
        QSignalSpy ended(page.get(), &FinancePage::statementReadingEnded);
        start();
        if (page->statementReading().isReading() && !ended.wait(20000))
            return nullptr;
        return page->statementPreview();
    }

    QStringList rowTexts(StatementPreview *preview) const
    {
        QStringList rows;
        QTreeWidget *list = preview->ImportRows;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = list->topLevelItem(i);
            QStringList cells{item->checkState(0) == Qt::Checked ? QStringLiteral("[x]")
                                                                 : QStringLiteral("[ ]")};
            for (int c = 0; c < list->columnCount(); ++c)
                cells.append(item->text(c));
            rows.append(cells.join(QLatin1Char('|')));
        }
        return rows;
    }

    QMap<QString, QByteArray> financeFiles() const
    {
        QMap<QString, QByteArray> files;
        const QDir folder(data.file("dados/Finance"));
        for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden))
            files.insert(name, data.read("dados/Finance/" + name));
        return files;
    }
};

} // namespace

namespace {

// A bank statement of `transactions` movements.
QByteArray longStatement(int transactions)
{
    QByteArray body = "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\n\r\n<OFX><BANKMSGSRSV1><STMTTRNRS>"
                      "<TRNUID>1<STMTRS><CURDEF>BRL<BANKACCTFROM><BANKID>1<ACCTID>2<ACCTTYPE>CHECKING"
                      "</BANKACCTFROM><BANKTRANLIST><DTSTART>20150101<DTEND>20150131\r\n";
    body.reserve(transactions * 110);
    for (int i = 0; i < transactions; ++i)
        body += "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20150110<TRNAMT>-1.00<FITID>" + QByteArray::number(i) +
                "<NAME>LOJA " + QByteArray::number(i) + "</STMTTRN>\r\n";
    return body + "</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>\r\n";
}

// The files named `prefix`* anywhere below `folder`.
QStringList filesBelow(const QString &folder, const QString &prefix)
{
    QStringList found;
    QDirIterator it(folder, {prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found.append(it.next());
    return found;
}

} // namespace

class TestImportPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void previewThenEnterWritesBothLedgers();
    void everyLineCarriesItsPaymentForm();
    void hostileStatementIsRefusedAtOnce();
    void readingIsOffTheWindowAndCancels();
    void cancelledLongReadingEndsAndNextImportWorks();
    void partialSelectionAndSecondImport();
    void escapeCancels();
    void failedWriteLeavesEveryFile();
    void badFileShowsReasonAndWritesNothing_data();
    void badFileShowsReasonAndWritesNothing();
};

void TestImportPage::initTestCase()
{
    // The program's private work folder lives in a runtime folder of this test's own.
    static QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
}

void TestImportPage::previewThenEnterWritesBothLedgers()
{
    Fixture f;
    QVERIFY(f.data.write("dados/Finance/01.2015.fin", kJanuary));
    QVERIFY(f.data.write("dados/Finance/2015.CX", kJanuary));
    QVERIFY(f.open());
    QCOMPARE(f.page->ImportStatement->text(), QStringLiteral("Import statement (OFX)..."));

    StatementPreview *preview = f.clickImport(fixture("bank-1252.ofx"));
    QVERIFY(preview);
    QCOMPARE(f.fake.dialogs.shown.size(), 1);
    QCOMPARE(f.fake.dialogs.shown[0].kind, FakeDialogs::Kind::OpenFile);
    QCOMPARE(f.fake.dialogs.shown[0].filter, QStringLiteral("Extratos OFX (*.ofx *.qfx)"));
    QCOMPARE(f.rowTexts(preview), (QStringList{"[x]|05/01/2015|1.500,00|Entrance|Salário Empresa|Dinheiro|",
                                               "[x]|31/01/2015|1.234,56|Exit|TOK & STOK PARC 02/05|Dinheiro|",
                                               "[x]|20/01/2015|89,90|Exit|C&A MODAS|Dinheiro|",
                                               "[x]|12/01/2015|300,00|Exit|CHEQUE COMPENSADO|Cheque|"}));
    // Nothing is written before the user confirms.
    QCOMPARE(f.data.read("dados/Finance/2015.CX"), kJanuary);

    QTest::keyClick(preview->ImportRows, Qt::Key_Return);
    QVERIFY(!f.page->statementPreview());
    const QByteArray lines("1.500,00<1>05/01/2015<2>Entrance<3>Sal\xe1rio Empresa<4>Dinheiro\r\n"
                           "1.234,56<1>31/01/2015<2>Exit<3>TOK & STOK PARC 02/05<4>Dinheiro\r\n"
                           "89,90<1>20/01/2015<2>Exit<3>C&A MODAS<4>Dinheiro\r\n"
                           "300,00<1>12/01/2015<2>Exit<3>CHEQUE COMPENSADO<4>Cheque\r\n");
    QCOMPARE(f.data.read("dados/Finance/01.2015.fin"), kJanuary + lines);
    QCOMPARE(f.data.read("dados/Finance/2015.CX"), kJanuary + lines);
    QCOMPARE(f.data.read("dados/Finance/Importados.ofx"),
             QByteArray("0341 1234 56789-0<1>20150105<2>15000000<3>F:20150105001#1\r\n"
                        "0341 1234 56789-0<1>20150131<2>-12345600<3>F:20150131002#1\r\n"
                        "0341 1234 56789-0<1>20150120<2>-899000<3>F:20150120003#1\r\n"
                        "0341 1234 56789-0<1>20150112<2>-3000000<3>F:20150112004#1\r\n"));
    // The sources list stays the user's; the month list and the sums follow.
    QVERIFY(!QFile::exists(f.data.file("dados/Fontes.cad")));
    QCOMPARE(f.page->lvd1->count(), 1);
    QCOMPARE(f.page->le->text(), QStringLiteral("R$ 1.500,00"));
    QCOMPARE(f.page->ls->text(), QStringLiteral("R$ 1.629,46"));
    QCOMPARE(f.page->actionStatus->text(), QStringLiteral("4 lançamentos importados"));
    // The keyboard is back in the value field: the next keys type the next amount.
    QTRY_VERIFY(f.page->FN1->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), "12");
    QCOMPARE(f.page->FN1->text(), QStringLiteral("12"));
}

void TestImportPage::partialSelectionAndSecondImport()
{
    Fixture f;
    QVERIFY(f.open());
    // From the keyboard: Ctrl+I, the file, Enter.
    f.fake.dialogs.files.enqueue(fixture("repeated-fitid.ofx"));
    StatementPreview *preview =
        f.readAfter([&] { QTest::keyClick(f.page->FN1, Qt::Key_I, Qt::ControlModifier); });
    QVERIFY(preview);
    QTreeWidget *rows = preview->ImportRows;
    QCOMPARE(rows->topLevelItemCount(), 4);
    // The user clicks the second row and unticks it with Space.
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                      rows->visualItemRect(rows->topLevelItem(1)).center());
    QTest::keyClick(rows, Qt::Key_Space);
    QCOMPARE(rows->topLevelItem(1)->checkState(0), Qt::Unchecked);
    QTest::keyClick(rows, Qt::Key_Return);

    const QByteArray three("10,00<1>10/01/2015<2>Exit<3>PADARIA<4>Dinheiro\r\n"
                           "10,00<1>11/01/2015<2>Exit<3>PADARIA<4>Dinheiro\r\n"
                           "10,00<1>11/01/2015<2>Exit<3>PADARIA<4>Dinheiro\r\n");
    QCOMPARE(f.data.read("dados/Finance/01.2015.fin"), three);
    QCOMPARE(f.data.read("dados/Finance/2015.CX"), three);

    // The same file again, reached with the link's own keys: only the row left out is
    // offered; the others are marked and unticked.
    f.page->ImportStatement->setFocus();
    f.fake.dialogs.files.enqueue(fixture("repeated-fitid.ofx"));
    preview = f.readAfter([&] { QTest::keyClick(f.page->ImportStatement, Qt::Key_Return); });
    QVERIFY(preview);
    QCOMPARE(f.rowTexts(preview), (QStringList{"[ ]|10/01/2015|10,00|Exit|PADARIA|Dinheiro|já importado",
                                               "[x]|10/01/2015|25,00|Exit|FARMACIA|Dinheiro|",
                                               "[ ]|11/01/2015|10,00|Exit|PADARIA|Dinheiro|já importado",
                                               "[ ]|11/01/2015|10,00|Exit|PADARIA|Dinheiro|já importado"}));
    QTest::keyClick(preview->ImportRows, Qt::Key_Enter);
    QCOMPARE(f.data.read("dados/Finance/2015.CX"),
             three + "25,00<1>10/01/2015<2>Exit<3>FARMACIA<4>Dinheiro\r\n");
    QCOMPARE(f.page->actionStatus->text(), QStringLiteral("1 lançamento importado, 3 já existentes"));

    // A third time adds nothing at all.
    const auto files = f.financeFiles();
    preview = f.clickImport(fixture("repeated-fitid.ofx"));
    QVERIFY(preview);
    QTest::keyClick(preview->ImportRows, Qt::Key_Return);
    QCOMPARE(f.financeFiles(), files);
    QCOMPARE(f.page->actionStatus->text(), QStringLiteral("Nenhum lançamento importado, 4 já existentes"));
}

void TestImportPage::escapeCancels()
{
    Fixture f;
    QVERIFY(f.open());
    StatementPreview *preview = f.clickImport(fixture("creditcard-wrong-close.ofx"));
    QVERIFY(preview);
    QCOMPARE(f.rowTexts(preview).first(), QStringLiteral("[x]|10/01/2015|99,90|Exit|LOJA DO BAIRRO|Cartão|"));
    QTest::keyClick(preview->ImportRows, Qt::Key_Escape);
    QVERIFY(!f.page->statementPreview());
    QCOMPARE(f.financeFiles(), (QMap<QString, QByteArray>{}));
    QCOMPARE(f.page->actionStatus->text(), QStringLiteral("Importação cancelada: nada importado"));
    QTRY_VERIFY(f.page->FN1->hasFocus());
    // A cancelled file choice opens nothing, and the keyboard stays with the value field.
    QVERIFY(!f.clickImport(QString()));
    QVERIFY(f.fake.dialogs.messages().isEmpty());
    QTRY_VERIFY(f.page->FN1->hasFocus());
}

void TestImportPage::failedWriteLeavesEveryFile()
{
    Fixture f;
    // A year ledger larger than any file the process may write when Enter is pressed: its
    // new copy cannot be written in full, as on a full disk.
    QByteArray year;
    while (year.size() < 64 * 1024)
        year += kJanuary;
    QVERIFY(f.data.write("dados/Finance/2015.CX", year));
    QVERIFY(f.data.write("dados/Finance/01.2015.fin", kJanuary));
    QVERIFY(f.open());
    const auto files = f.financeFiles();
    StatementPreview *preview = f.clickImport(fixture("bank-1252.ofx"));
    QVERIFY(preview);

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 32 * 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    QTest::keyClick(preview->ImportRows, Qt::Key_Return);
    setrlimit(RLIMIT_FSIZE, &old);

    QCOMPARE(f.fake.dialogs.messages(),
             QStringList{"Não foi possível gravar a importação; nenhum arquivo foi alterado."});
    QCOMPARE(f.financeFiles(), files);
}

void TestImportPage::badFileShowsReasonAndWritesNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("listIsFolder"); // the imported list cannot be read
    QTest::addColumn<QString>("message");
    const QString prefix = QStringLiteral("Não foi possível ler o extrato: ");
    QTest::newRow("not OFX") << fixture("not-ofx.ofx") << false << prefix + "o arquivo não é um extrato OFX.";
    QTest::newRow("truncated") << fixture("truncated.ofx") << false
                               << prefix + "o extrato está incompleto (falta o fim do arquivo).";
    QTest::newRow("no transactions") << fixture("no-transactions.ofx") << false
                                     << prefix + "o extrato não tem transações.";
    QTest::newRow("unreadable") << fixture("gone.ofx") << false << prefix + "o arquivo não pôde ser aberto.";
    static QTemporaryDir dir;
    QFile tooMany(dir.filePath("demais.ofx"));
    QVERIFY(dir.isValid() && tooMany.open(QIODevice::WriteOnly) &&
            tooMany.write(longStatement(int(StatementReader::kMaxTransactions) + 1)) > 0);
    QTest::newRow("more transactions than a bank's file")
        << tooMany.fileName() << false << prefix + "o extrato tem mais de 100.000 transações.";
    QTest::newRow("imported list unreadable")
        << fixture("bank-1252.ofx") << true
        << prefix + "a lista das transações já importadas (Importados.ofx) não pôde ser lida.";
}

void TestImportPage::badFileShowsReasonAndWritesNothing()
{
    QFETCH(QString, file);
    QFETCH(bool, listIsFolder);
    QFETCH(QString, message);
    Fixture f;
    QVERIFY(f.data.write("dados/Finance/2015.CX", kJanuary));
    if (listIsFolder)
        QVERIFY(QDir().mkpath(f.data.file("dados/Finance") + "/Importados.ofx"));
    QVERIFY(f.open());
    QVERIFY(!f.clickImport(file));
    QCOMPARE(f.fake.dialogs.messages(), QStringList{message});
    QCOMPARE(f.financeFiles(), (QMap<QString, QByteArray>{{"2015.CX", kJanuary}}));
}

// Every imported line ends with one of the five payment forms, chosen by the transaction's
// type and changeable in the preview, so its source is read whole everywhere: in the entry
// list, in an alteration and in the sources list. No field marker of a name reaches it.
void TestImportPage::everyLineCarriesItsPaymentForm()
{
    Fixture f;
    QVERIFY(f.open());
    StatementPreview *preview = f.clickImport(fixture("household.ofx"));
    QVERIFY(preview);
    QCOMPARE(f.rowTexts(preview), (QStringList{"[x]|03/02/2015|45,90|Exit|Padaria Pão Quente|Cartão|",
                                               "[x]|05/02/2015|230,00|Exit|CONDOMINIO|Boleto|",
                                               "[x]|10/02/2015|89,90|Exit|LUZ|Boleto|",
                                               "[x]|12/02/2015|300,00|Exit|CHEQUE 851|Cheque|",
                                               "[x]|15/02/2015|1.500,00|Entrance|LOJA X|Dinheiro|"}));

    // The form of every row at once, then one row's own, by keyboard.
    QTest::keyClick(preview->FormForAll, Qt::Key_Down); // "Dinheiro"
    QCOMPARE(f.rowTexts(preview)[1], QStringLiteral("[x]|05/02/2015|230,00|Exit|CONDOMINIO|Dinheiro|"));
    QTest::keyClick(preview->FormForAll, Qt::Key_Down); // "Cartão"
    QTreeWidget *rows = preview->ImportRows;
    rows->setFocus();
    rows->setCurrentItem(rows->topLevelItem(1));
    QTest::keyClick(rows, Qt::Key_F2);
    auto *editor = qobject_cast<QComboBox *>(QApplication::focusWidget());
    QVERIFY(editor);
    QCOMPARE(editor->objectName(), QStringLiteral("RowForm"));
    QCOMPARE(editor->currentText(), QStringLiteral("Cartão"));
    QTest::keyClick(editor, Qt::Key_Down);
    QTest::keyClick(editor, Qt::Key_Down); // "Boleto"
    QTest::keyClick(editor, Qt::Key_Return);
    // The list commits its choice once the key is handled.
    QTRY_COMPARE(f.rowTexts(preview)[1], QStringLiteral("[x]|05/02/2015|230,00|Exit|CONDOMINIO|Boleto|"));
    QVERIFY(f.page->statementPreview());
    QTest::keyClick(rows, Qt::Key_Return);
    QVERIFY(!f.page->statementPreview());

    const QByteArray lines("45,90<1>03/02/2015<2>Exit<3>Padaria P\xe3o Quente<4>Cart\xe3o\r\n"
                           "230,00<1>05/02/2015<2>Exit<3>CONDOMINIO<4>Boleto\r\n"
                           "89,90<1>10/02/2015<2>Exit<3>LUZ<4>Cart\xe3o\r\n"
                           "300,00<1>12/02/2015<2>Exit<3>CHEQUE 851<4>Cart\xe3o\r\n"
                           "1.500,00<1>15/02/2015<2>Entrance<3>LOJA X<4>Cart\xe3o\r\n");
    QCOMPARE(f.data.read("dados/Finance/02.2015.fin"), lines);
    QCOMPARE(f.data.read("dados/Finance/2015.CX"), lines);
    QCOMPARE(f.page->actionStatus->text(), QStringLiteral("5 lançamentos importados"));

    // The entry list shows the sources whole, and an alteration puts the source alone back.
    f.page->lvd1Click(0);
    f.page->corrections->Label30Click();
    QTreeWidget *list = f.page->corrections->LVF;
    QCOMPARE(list->topLevelItemCount(), 5);
    QCOMPARE(list->topLevelItem(0)->text(3), QStringLiteral("Padaria Pão Quente"));
    list->setCurrentItem(list->topLevelItem(0));
    f.page->corrections->AltD();
    QCOMPARE(f.page->FN4->currentText(), QStringLiteral("Padaria Pão Quente"));
    QCOMPARE(f.page->actionStatus->text(),
             QStringLiteral(
                 "Alterando o lançamento de 02.2015: ele será substituído quando o corrigido for gravado"));
}

// A statement nested 200 000 deep would keep the library busy for hours: it is refused
// before the library sees it, and no copy of it stays behind.
void TestImportPage::hostileStatementIsRefusedAtOnce()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile hostile(dir.filePath("hostil.ofx"));
    QVERIFY(hostile.open(QIODevice::WriteOnly));
    QByteArray body = "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\n\r\n<OFX>";
    body += QByteArray("<STMTTRN>").repeated(200000 / 3) + QByteArray("<A>").repeated(200000 - 200000 / 3);
    body += "</OFX>\r\n";
    hostile.write(body);
    hostile.close();

    Fixture f;
    QVERIFY(f.open());
    QVERIFY(!f.clickImport(hostile.fileName()));
    QCOMPARE(
        f.fake.dialogs.messages(),
        QStringList{"Não foi possível ler o extrato: o arquivo tem elementos aninhados demais para ser um "
                    "extrato."});
    QCOMPARE(f.page->actionStatus->text(), QStringLiteral("Nada importado"));
    QCOMPARE(f.financeFiles(), (QMap<QString, QByteArray>{}));
    QVERIFY(QDir(statementWorkFolder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// While a statement is read the window runs on (its timers, the backup, the companion
// watch), shows that it is busy, and its Cancel drops the reading: nothing of it is shown
// or written, and the next import works.
void TestImportPage::readingIsOffTheWindowAndCancels()
{
    Fixture f;
    QVERIFY(f.open());
    QSemaphore gate;
    f.page->statementReading().setReadFunction(
        [&gate](const QString &path, const std::atomic_bool &cancelled) {
            gate.acquire();
            return StatementReader().read(path, &cancelled);
        });
    f.fake.dialogs.files.enqueue(fixture("bank-1252.ofx"));
    QTest::mouseClick(f.page->ImportStatement, Qt::LeftButton, {}, f.page->ImportStatement->rect().center());
    // The window's own thread is free while the reader waits.
    QVERIFY(f.page->statementReading().isReading());
    bool ran = false;
    QMetaObject::invokeMethod(
        f.page.get(), [&ran] { ran = true; }, Qt::QueuedConnection);
    QTRY_VERIFY(ran);
    QProgressDialog *progress = f.page->statementProgress();
    QVERIFY(progress);
    QVERIFY(progress->isVisible());
    QCOMPARE(progress->labelText(), QStringLiteral("Lendo o extrato..."));
    QVERIFY(progress->findChild<QPushButton *>(QStringLiteral("CancelReading")));

    QTest::keyClick(progress, Qt::Key_Escape);
    QVERIFY(!f.page->statementReading().isReading());
    QTRY_VERIFY(!f.page->statementProgress());
    QCOMPARE(f.page->actionStatus->text(), QStringLiteral("Importação cancelada: nada importado"));
    gate.release();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    QVERIFY(!f.page->statementPreview());
    QVERIFY(f.fake.dialogs.messages().isEmpty());
    QCOMPARE(f.financeFiles(), (QMap<QString, QByteArray>{}));

    // The next reading is not held.
    f.page->statementReading().setReadFunction([](const QString &path, const std::atomic_bool &cancelled) {
        return StatementReader().read(path, &cancelled);
    });
    StatementPreview *preview = f.clickImport(fixture("bank-1252.ofx"));
    QVERIFY(preview);
    QCOMPARE(preview->ImportRows->topLevelItemCount(), 4);
}

// A statement of 100 000 movements is read in a child process, off the shared thread pool;
// the library's temporary copy lies in the program's private work folder, never in the
// shared temporary folder. "Cancelar" ends the child: nothing of it stays behind, the next
// import is read at once, and closing the page during a reading does not wait for it.
void TestImportPage::cancelledLongReadingEndsAndNextImportWorks()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath("longo.ofx"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(longStatement(100000)) > 0);
    file.close();
    // The shared temporary folder, as the program and its children would find it.
    QTemporaryDir shared;
    QVERIFY(shared.isValid());
    const QByteArray sharedBefore = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(shared.path()));
    const auto restore = qScopeGuard([&] { qputenv("TMPDIR", sharedBefore); });

    Fixture f;
    QVERIFY(f.open());
    f.fake.dialogs.files.enqueue(file.fileName());
    QTest::mouseClick(f.page->ImportStatement, Qt::LeftButton, {}, f.page->ImportStatement->rect().center());
    QVERIFY(f.page->statementReading().isReading());
    QCOMPARE(QThreadPool::globalInstance()->activeThreadCount(), 0);
    // The library is at work on its temporary copy, in the private folder.
    QTRY_VERIFY_WITH_TIMEOUT(!filesBelow(statementWorkFolder(), "libofxtmp").isEmpty(), 20000);
    QVERIFY(filesBelow(shared.path(), "").isEmpty());

    QProgressDialog *progress = f.page->statementProgress();
    QVERIFY(progress);
    QPushButton *cancel = progress->findChild<QPushButton *>(QStringLiteral("CancelReading"));
    QVERIFY(cancel);
    QTest::mouseClick(cancel, Qt::LeftButton, {}, cancel->rect().center());
    QVERIFY(!f.page->statementReading().isReading());
    QCOMPARE(f.page->actionStatus->text(), QStringLiteral("Importação cancelada: nada importado"));

    // The next import is read while the cancelled child is being ended.
    StatementPreview *preview = f.clickImport(fixture("bank-1252.ofx"));
    QVERIFY(preview);
    QCOMPARE(preview->ImportRows->topLevelItemCount(), 4);
    preview->reject();
    QVERIFY(f.fake.dialogs.messages().isEmpty());
    QCOMPARE(f.financeFiles(), (QMap<QString, QByteArray>{}));
    // Nothing of the cancelled reading is left: no copy, no folder, no temporary file.
    QTRY_VERIFY(QDir(statementWorkFolder())
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
    QVERIFY(filesBelow(shared.path(), "").isEmpty());

    // Closing the page (as the end of the session does) while a long reading runs ends it.
    f.fake.dialogs.files.enqueue(file.fileName());
    QTest::mouseClick(f.page->ImportStatement, Qt::LeftButton, {}, f.page->ImportStatement->rect().center());
    QVERIFY(f.page->statementReading().isReading());
    QTRY_VERIFY_WITH_TIMEOUT(!filesBelow(statementWorkFolder(), "libofxtmp").isEmpty(), 20000);
    f.page.reset();
    QVERIFY(QDir(statementWorkFolder())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                .isEmpty());
}

QTEST_MAIN(TestImportPage)
#include "tst_importpage.moc"

#include "finance/statementchild.h"
#include "finance/statementimport.h"
#include "finance/statementreader.h"
#include "store/textcodec.h"
#include "tempdatafolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/file.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace zorv;

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(ZORV_TEST_DATA "/ofx/") + QLatin1String(name);
}

// account | fitid | date | amount | type | name | memo | check | card
QString describe(const StatementTransaction &t)
{
    return QStringList{t.accountId,
                       t.fitId,
                       t.date.toString(Qt::ISODate),
                       formatPlain(t.amount) + QLatin1Char('/') + QString::number(t.amount.raw()),
                       t.type,
                       t.name,
                       t.memo,
                       t.checkNumber,
                       t.creditCard ? QStringLiteral("card") : QString()}
        .join(QLatin1Char('|'));
}

QStringList describeAll(const QList<StatementTransaction> &list)
{
    QStringList out;
    for (const StatementTransaction &t : list)
        out.append(describe(t));
    return out;
}

QList<StatementTransaction> readFixture(const char *name)
{
    const StatementReadResult r = StatementReader().read(fixture(name));
    if (!r.ok())
        qWarning() << name << r.error;
    return r.transactions;
}

} // namespace

class TestStatementReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cancelEndsOnlyTheReadingChild();
    void readsWhatBanksSend_data();
    void readsWhatBanksSend();
    void refusesBadInput_data();
    void refusesBadInput();
    void amountsAndDates_data();
    void amountsAndDates();
    void nestingDeeperThanAStatementIsRefused_data();
    void nestingDeeperThanAStatementIsRefused();
    void batchesReadAsTheWholeFile_data();
    void batchesReadAsTheWholeFile();
    void limitsOfTheReading_data();
    void limitsOfTheReading();
    void childResultCarriesEveryField();
    void privateCopiesOfKilledRunsGo();
    void childFoldersOfKilledRunsGo();
    void entryForTransaction_data();
    void entryForTransaction();
    void identitiesKeepEveryTransaction();
    void reimportAddsNothing();
    void writeLandsInLedgersAndList();
    void failedWriteLeavesEveryFile();
};

void TestStatementReader::initTestCase()
{
    // The program's private work folder lives in a runtime folder of this test's own.
    static QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
}

// Cancelling a reading kills the child the reading started and nothing else: a process the
// program did not start (here one the test started) goes on running.
void TestStatementReader::cancelEndsOnlyTheReadingChild()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString reader = dir.filePath(QStringLiteral("reader.sh"));
    const QString pidFile = dir.filePath(QStringLiteral("statement.ofx.pid"));
    {
        QFile script(reader);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho $$ > \"$1.pid\"\nexec sleep 60\n");
    }
    QVERIFY(QFile::setPermissions(reader, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QProcess bystander;
    bystander.start(QStringLiteral("sleep"), {QStringLiteral("60")});
    QVERIFY(bystander.waitForStarted());

    std::atomic_bool cancelled(false);
    std::thread canceller([&] {
        for (int i = 0; i < 500 && !QFileInfo(pidFile).size(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        cancelled = true;
    });
    const StatementReadResult result =
        readStatementInChild(reader, dir.filePath(QStringLiteral("statement.ofx")), cancelled);
    canceller.join();

    QVERIFY(result.transactions.isEmpty());
    QVERIFY(!result.error.isEmpty());
    QFile pid(pidFile);
    QVERIFY(pid.open(QIODevice::ReadOnly));
    const pid_t readerPid = pid_t(pid.readAll().trimmed().toInt());
    QVERIFY(readerPid > 0);
    QCOMPARE(::kill(readerPid, 0), -1); // the reading child is gone (and reaped)
    QCOMPARE(bystander.state(), QProcess::Running);
    QCOMPARE(::kill(pid_t(bystander.processId()), 0), 0);
    bystander.kill();
    bystander.waitForFinished();
}

void TestStatementReader::readsWhatBanksSend_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("expected");
    const QString bank = QStringLiteral("0341 1234 56789-0");
    QTest::newRow("Windows-1252, time zones, comma decimal, ampersands, check")
        << "bank-1252.ofx"
        << QStringList{
               bank + "|20150105001|2015-01-05|1500,00/15000000|CREDIT|Salário Empresa|CREDITO SALARIO||",
               // 23:00 at UTC-3 is still the 31st on the statement.
               bank + "|20150131002|2015-01-31|-1234,56/-12345600|DEBIT||TOK & STOK PARC 02/05||",
               bank + "|20150120003|2015-01-20|-89,90/-899000|DEBIT|C&A MODAS|COMPRA CARTAO DEBITO||",
               bank + "|20150112004|2015-01-12|-300,00/-3000000|CHECK||CHEQUE COMPENSADO|000851|"};
    QTest::newRow("header says 1252, body is UTF-8")
        << "utf8-body.ofx"
        << QStringList{bank + "|U1|2015-01-13|-12,50/-125000|DEBIT|Padaria São João|||",
                       bank + "|U2|2015-01-14|7,50/75000|CREDIT||Devolução PIX||"};
    QTest::newRow("credit card closed by the wrong tag")
        << "creditcard-wrong-close.ofx"
        << QStringList{"4111222233334444|C1|2015-01-10|-99,90/-999000|DEBIT|LOJA DO BAIRRO|||card",
                       "4111222233334444|C2|2015-01-25|250,00/2500000|CREDIT|PAGAMENTO RECEBIDO|||card"};
    QTest::newRow("one FITID on several movements")
        << "repeated-fitid.ofx"
        << QStringList{bank + "|0|2015-01-10|-10,00/-100000|DEBIT|PADARIA|||",
                       bank + "|0|2015-01-10|-25,00/-250000|DEBIT|FARMACIA|||",
                       bank + "|0|2015-01-11|-10,00/-100000|DEBIT|PADARIA|||",
                       bank + "|0|2015-01-11|-10,00/-100000|DEBIT|PADARIA|||"};
    QTest::newRow("empty and missing FITIDs")
        << "empty-fitid.ofx"
        << QStringList{bank + "||2015-02-03|-4,50/-45000|DEBIT|CAFE|||",
                       bank + "||2015-02-03|-4,50/-45000|DEBIT|CAFE|||",
                       bank + "||2015-02-03|-4,50/-45000|DEBIT||TARIFA <1>PACOTE||"};
    QTest::newRow("OFX 2 (XML), grouped amount, four decimals")
        << "bank-xml.ofx"
        << QStringList{"001  777|X&1|2015-03-02|-1234,50/-12345000|DEBIT|A&B Importação|||",
                       "001  777|X2|2015-03-03|0,13/1250|CREDIT||RendimentoPoupança||"};
}

void TestStatementReader::readsWhatBanksSend()
{
    QFETCH(QString, file);
    QFETCH(QStringList, expected);
    const StatementReadResult r = StatementReader().read(fixture(file.toUtf8().constData()));
    QVERIFY2(r.ok(), qPrintable(r.error));
    QCOMPARE(describeAll(r.transactions), expected);
}

void TestStatementReader::refusesBadInput_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("error");
    QTest::newRow("not OFX") << fixture("not-ofx.ofx") << "o arquivo não é um extrato OFX.";
    QTest::newRow("truncated") << fixture("truncated.ofx")
                               << "o extrato está incompleto (falta o fim do arquivo).";
    QTest::newRow("no transactions") << fixture("no-transactions.ofx") << "o extrato não tem transações.";
    QTest::newRow("amount missing") << fixture("bad-amount.ofx")
                                    << "a transação 1 tem um valor ilegível (\"\").";
    QTest::newRow("missing file") << fixture("nothing-here.ofx") << "o arquivo não pôde ser aberto.";
    QTest::newRow("a folder") << QStringLiteral(ZORV_TEST_DATA "/ofx") << "o arquivo não pôde ser aberto.";
}

void TestStatementReader::refusesBadInput()
{
    QFETCH(QString, file);
    QFETCH(QString, error);
    const StatementReadResult r = StatementReader().read(file);
    QCOMPARE(r.error, error);
    QVERIFY(r.transactions.isEmpty());
}

void TestStatementReader::amountsAndDates_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<qint64>("raw"); // -1 for refused
    QTest::newRow("point") << "-1234.56" << qint64(-12345600);
    QTest::newRow("comma") << "-1234,56" << qint64(-12345600);
    QTest::newRow("grouped point") << "1.234,56" << qint64(12345600);
    QTest::newRow("grouped comma") << "1,234.56" << qint64(12345600);
    QTest::newRow("plus and blanks") << " +50 " << qint64(500000);
    QTest::newRow("half to even beyond four decimals") << "0.00005" << qint64(0);
    QTest::newRow("two decimal points") << "1.2.3" << qint64(-1);
    QTest::newRow("exponent") << "1e3" << qint64(-1);
    QTest::newRow("empty") << "" << qint64(-1);
    QTest::newRow("too large") << "99999999999999999" << qint64(-1);
}

void TestStatementReader::amountsAndDates()
{
    QFETCH(QString, amount);
    QFETCH(qint64, raw);
    const auto parsed = parseStatementAmount(amount);
    if (raw == -1)
        QVERIFY(!parsed);
    else
        QCOMPARE(parsed ? parsed->raw() : -1, raw);

    QCOMPARE(parseStatementDate(u"20150131230000[-3:BRT]"), QDate(2015, 1, 31));
    QCOMPARE(parseStatementDate(u"20150228"), QDate(2015, 2, 28));
    QVERIFY(!parseStatementDate(u"20150230").isValid());
    QVERIFY(!parseStatementDate(u"2015-01-31").isValid());
}

namespace {

// A bank statement of `transactions` movements, in SGML or with every leaf closed (XML),
// with `inside` added to the body of each movement.
QByteArray statement(int transactions, bool xml, const QByteArray &inside = {})
{
    QByteArray body = xml ? "<?xml version=\"1.0\"?>\r\n<?OFX OFXHEADER=\"200\" VERSION=\"211\"?>\r\n"
                          : "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\n\r\n";
    auto leaf = [xml](const char *name, const QByteArray &value) {
        return "<" + QByteArray(name) + ">" + value + (xml ? "</" + QByteArray(name) + ">" : QByteArray()) +
               "\r\n";
    };
    body += "<OFX><BANKMSGSRSV1><STMTTRNRS>" + leaf("TRNUID", "1") + "<STMTRS>" + leaf("CURDEF", "BRL") +
            "<BANKACCTFROM>" + leaf("BANKID", "1") + leaf("ACCTID", "2") + leaf("ACCTTYPE", "CHECKING") +
            "</BANKACCTFROM><BANKTRANLIST>" + leaf("DTSTART", "20150101") + leaf("DTEND", "20150131");
    for (int i = 0; i < transactions; ++i)
        body += "<STMTTRN>" + leaf("TRNTYPE", "DEBIT") + leaf("DTPOSTED", "20150110") +
                leaf("TRNAMT", "-1.00") + leaf("FITID", QByteArray::number(i)) + leaf("NAME", "LOJA") +
                inside + "</STMTTRN>\r\n";
    return body + "</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>\r\n";
}

} // namespace

// The library's parse takes time in the square of the nesting it has to hold open, so a
// file nested deeper than a statement is refused before the library sees it, whatever
// form the nesting takes; real statements, long ones too, are read.
void TestStatementReader::nestingDeeperThanAStatementIsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("transactions"); // -1: refused as nested too deep
    const QByteArray sgml = "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\n\r\n<OFX>";
    QTest::newRow("long statement") << statement(1500, false) << 1500;
    QTest::newRow("long statement, XML") << statement(1500, true) << 1500;
    QTest::newRow("memos closed in place")
        << statement(3, true, QByteArray("<MEMO>x</MEMO>").repeated(200)) << 3;
    QTest::newRow("200 000 nested aggregates") << sgml + QByteArray("<A>").repeated(200000) + "</OFX>" << -1;
    QTest::newRow("nested then closed")
        << sgml + QByteArray("<A>").repeated(5000) + QByteArray("</A>").repeated(5000) + "</OFX>" << -1;
    QTest::newRow("movements never closed")
        << sgml + QByteArray("<STMTTRN><TRNTYPE>DEBIT<TRNAMT>-1.00<DTPOSTED>20150110").repeated(20000) +
               "</OFX>"
        << -1;
    QTest::newRow("one leaf repeated in a movement")
        << statement(1, false, QByteArray("<MEMO>x").repeated(20000)) << -1;
    QTest::newRow("leaves outside any movement")
        << sgml + QByteArray("<NAME>x").repeated(20000) + "</OFX>" << -1;
}

void TestStatementReader::nestingDeeperThanAStatementIsRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, transactions);
    const StatementReadResult r = StatementReader().readBytes(bytes);
    if (transactions < 0) {
        QCOMPARE(r.error, QStringLiteral("o arquivo tem elementos aninhados demais para ser um extrato."));
    } else {
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.transactions.size(), transactions);
    }
    // The library's copy of the file is gone once it was read.
    QVERIFY(QDir(statementWorkFolder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

namespace {

// A bank statement and a credit-card statement in one file, their movements told apart by
// every field the import uses; some have text between them, some carry a check number or
// no name.
QByteArray twoStatements(int bankMovements, int cardMovements)
{
    QByteArray body = "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nCHARSET:1252\r\n\r\n<OFX>"
                      "<SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS>"
                      "<DTSERVER>20150131<LANGUAGE>POR</SONRS></SIGNONMSGSRSV1>";
    auto movement = [](int i, const QByteArray &prefix) {
        const char *types[] = {"DEBIT", "CREDIT", "CHECK", "POS", "XFER"};
        QByteArray m = "<STMTTRN>\r\n<TRNTYPE>" + QByteArray(types[i % 5]) + "\r\n<DTPOSTED>201501" +
                       QByteArray::number(10 + i % 19) + "120000[-3:BRT]\r\n<TRNAMT>" + (i % 3 ? "-" : "") +
                       QByteArray::number(i) + "." + QByteArray::number(10 + i % 90) + "\r\n<FITID>" +
                       prefix + QByteArray::number(i) + "\r\n";
        if (i % 7)
            m += "<NAME>Loja \xe7" + QByteArray::number(i) + " & Cia\r\n";
        if (i % 5 == 2)
            m += "<CHECKNUM>" + QByteArray::number(800 + i) + "\r\n";
        m += "<MEMO>Compra &lt;" + QByteArray::number(i * 7) + "&gt;\r\n";
        m += "</STMTTRN>\r\n";
        if (i % 50 == 3)
            m += "<!-- aviso -->\r\n";
        return m;
    };
    body += "<BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STMTRS><CURDEF>BRL<BANKACCTFROM><BANKID>0341"
            "<BRANCHID>1234<ACCTID>11111-1<ACCTTYPE>CHECKING</BANKACCTFROM><BANKTRANLIST>"
            "<DTSTART>20150101<DTEND>20150131\r\n";
    for (int i = 0; i < bankMovements; ++i)
        body += movement(i, "B");
    body += "</BANKTRANLIST><LEDGERBAL><BALAMT>1.00<DTASOF>20150131</LEDGERBAL></STMTRS></STMTTRNRS>"
            "</BANKMSGSRSV1><CREDITCARDMSGSRSV1><CCSTMTTRNRS><TRNUID>2<CCSTMTRS><CURDEF>BRL"
            "<CCACCTFROM><ACCTID>4111222233334444</CCACCTFROM><BANKTRANLIST><DTSTART>20150101"
            "<DTEND>20150131\r\n";
    for (int i = 0; i < cardMovements; ++i)
        body += movement(i, "C");
    return body + "</BANKTRANLIST><LEDGERBAL><BALAMT>2.00<DTASOF>20150131</LEDGERBAL></CCSTMTRS>"
                  "</CCSTMTTRNRS></CREDITCARDMSGSRSV1></OFX>\r\n";
}

} // namespace

// The library is given the transactions in batches; whatever the batches' size, every
// field of every transaction, their order and the reasons of a refusal are those of the
// file read at once.
void TestStatementReader::batchesReadAsTheWholeFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QDir folder(QStringLiteral(ZORV_TEST_DATA "/ofx"));
    for (const QString &name : folder.entryList({QStringLiteral("*.ofx")}, QDir::Files)) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTest::newRow(qPrintable(name)) << file.readAll();
    }
    QTest::newRow("two statements, 2 600 movements") << twoStatements(1700, 900);
}

void TestStatementReader::batchesReadAsTheWholeFile()
{
    QFETCH(QByteArray, bytes);
    const StatementReadResult whole = StatementReader(StatementReader::kMaxTransactions).readBytes(bytes);
    if (bytes.size() > 100000) {
        QVERIFY2(whole.ok(), qPrintable(whole.error));
        QCOMPARE(whole.transactions.size(), 2600);
    }
    for (const qsizetype perRead : {qsizetype(1), qsizetype(3), StatementReader::kTransactionsPerRead}) {
        if (perRead < 1000 && bytes.size() > 100000)
            continue; // the long file is read in its batches of the default size
        const StatementReadResult batched = StatementReader(perRead).readBytes(bytes);
        QCOMPARE(batched.error, whole.error);
        QCOMPARE(describeAll(batched.transactions), describeAll(whole.transactions));
    }
}

// A statement with more transactions than a bank's file holds is refused before the
// library sees it; so is one whose text around the transactions, repeated in every batch,
// is far larger than a statement's.
void TestStatementReader::limitsOfTheReading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("perRead");
    QTest::addColumn<QString>("error");
    QByteArray largeFrame = statement(3, false);
    largeFrame.replace("</BANKTRANLIST>",
                       "</BANKTRANLIST><MKTGINFO>" + QByteArray(StatementReader::kMaxFrameSize, 'x'));
    QTest::newRow("one transaction too many")
        << statement(StatementReader::kMaxTransactions + 1, false) << StatementReader::kTransactionsPerRead
        << "o extrato tem mais de 100.000 transações.";
    QTest::newRow("large frame, several batches")
        << largeFrame << qsizetype(1)
        << "o extrato tem texto demais fora das transações para ser lido em partes.";
    QTest::newRow("large frame, one batch") << largeFrame << qsizetype(3) << QString();
}

void TestStatementReader::limitsOfTheReading()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, perRead);
    QFETCH(QString, error);
    const StatementReadResult r = StatementReader(perRead).readBytes(bytes);
    QCOMPARE(r.error, error);
    QCOMPARE(r.transactions.size(), error.isEmpty() ? 3 : 0);
    QVERIFY(QDir(statementWorkFolder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// What the reading child writes reads back as the same result; a cut or altered result is
// no result at all, never a shorter list.
void TestStatementReader::childResultCarriesEveryField()
{
    const StatementReadResult read = StatementReader().read(fixture("bank-1252.ofx"));
    QVERIFY2(read.ok(), qPrintable(read.error));
    const QByteArray bytes = encodeStatementResult(read);
    const auto back = decodeStatementResult(bytes);
    QVERIFY(back);
    QCOMPARE(back->error, read.error);
    QCOMPARE(describeAll(back->transactions), describeAll(read.transactions));
    const auto refused = decodeStatementResult(encodeStatementResult({{}, QStringLiteral("motivo")}));
    QVERIFY(refused);
    QCOMPARE(refused->error, QStringLiteral("motivo"));

    for (const qsizetype cut : {qsizetype(0), qsizetype(3), bytes.size() / 2, bytes.size() - 1})
        QVERIFY2(!decodeStatementResult(bytes.first(cut)), qPrintable(QString::number(cut)));
    QVERIFY(!decodeStatementResult(bytes + "x"));
}

// The private copies live in an owner-only folder; a start removes those a killed run left
// there, never one a run still holds. It tells them apart by the lock a run keeps on its
// copy, so it looks at nothing but the files: no other process is asked or signalled, and a
// link standing among the copies is neither followed nor its target touched.
void TestStatementReader::privateCopiesOfKilledRunsGo()
{
    const QString folder = statementWorkFolder();
    QVERIFY(!folder.isEmpty());
    QVERIFY(folder.startsWith(QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"))));
    QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                                QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
             QFile::Permissions());
    QTemporaryDir outside;
    const QString target = outside.filePath("importante.txt");
    {
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write("meu"), 3);
    }
    const QString dead = QStringLiteral("extrato-a1b2c3.ofx");
    const QString held = QStringLiteral("extrato-d4e5f6.ofx");
    const QString link = QStringLiteral("extrato-g7h8i9.ofx");
    const QString other = QStringLiteral("notas.txt");
    for (const QString &name : {dead, held, other}) {
        QFile copy(folder + QLatin1Char('/') + name);
        QVERIFY(copy.open(QIODevice::WriteOnly));
    }
    QVERIFY(QFile::link(target, folder + QLatin1Char('/') + link));
    // A run still reading holds its copy, as another process's open copy would be held.
    QFile reading(folder + QLatin1Char('/') + held);
    QVERIFY(reading.open(QIODevice::ReadOnly));
    QCOMPARE(::flock(reading.handle(), LOCK_EX | LOCK_NB), 0);

    removeStatementLeftovers();
    QStringList left = QDir(folder).entryList(QDir::Files | QDir::System);
    left.sort();
    QStringList kept{held, link, other};
    kept.sort();
    QCOMPARE(left, kept);
    QVERIFY(QFileInfo(folder + QLatin1Char('/') + link).isSymLink());
    QFile f(target);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("meu"));

    // Once the run lets go (it ended, killed or not), its copy goes at the next start.
    reading.close();
    removeStatementLeftovers();
    left = QDir(folder).entryList(QDir::Files | QDir::System);
    left.sort();
    kept = QStringList{link, other};
    kept.sort();
    QCOMPARE(left, kept);
    for (const QString &name : {link, other})
        QVERIFY(QFile::remove(folder + QLatin1Char('/') + name));
}

// A reading child's folder that no run holds any more (the program was killed while a child
// read) goes at the next start with what the library left in it; one in use stays, and a
// link in its place or inside it is removed without touching its target.
void TestStatementReader::childFoldersOfKilledRunsGo()
{
    const QString folder = statementWorkFolder();
    QVERIFY(!folder.isEmpty());
    QTemporaryDir outside;
    QVERIFY(outside.isValid());
    QVERIFY(QFile(outside.filePath("importante.txt")).open(QIODevice::WriteOnly));
    const QString prefix = folder + QLatin1Char('/') + statementChildFolderPrefix();
    QVERIFY(QDir().mkdir(prefix + "morto"));
    QVERIFY(QFile(prefix + "morto/libofxtmpAbC123").open(QIODevice::WriteOnly));
    QVERIFY(QFile::link(outside.path(), prefix + "morto/fora"));
    QVERIFY(QDir().mkdir(prefix + "vivo"));
    QVERIFY(QFile(prefix + "vivo/libofxtmpDeF456").open(QIODevice::WriteOnly));
    QVERIFY(QFile::link(outside.path(), prefix + "ligacao"));
    {
        const StatementChildFolderHold held(prefix + "vivo");
        removeStatementLeftovers();
        QVERIFY(!QFileInfo::exists(prefix + "morto"));
        QVERIFY(QFileInfo::exists(prefix + "vivo/libofxtmpDeF456"));
        QVERIFY(QFileInfo(prefix + "ligacao").isSymLink());
        QVERIFY(QFileInfo::exists(outside.filePath("importante.txt")));
    }
    removeStatementLeftovers();
    QVERIFY(!QFileInfo::exists(prefix + "vivo"));
    QVERIFY(QFile::remove(prefix + "ligacao"));
    QVERIFY(QFileInfo::exists(outside.filePath("importante.txt")));
}

void TestStatementReader::entryForTransaction_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("creditCard");
    QTest::addColumn<QString>("form");
    QTest::newRow("check") << "CHECK" << false << "Cheque";
    QTest::newRow("point of sale") << "POS" << false << "Cartão";
    QTest::newRow("credit-card statement") << "DEBIT" << true << "Cartão";
    QTest::newRow("check on a card statement") << "CHECK" << true << "Cartão";
    QTest::newRow("payment") << "PAYMENT" << false << "Boleto";
    QTest::newRow("direct debit") << "DIRECTDEBIT" << false << "Boleto";
    QTest::newRow("debit") << "DEBIT" << false << "Dinheiro";
    QTest::newRow("credit") << "CREDIT" << false << "Dinheiro";
    QTest::newRow("transfer") << "XFER" << false << "Dinheiro";
    QTest::newRow("unknown") << "OTHER" << false << "Dinheiro";
}

void TestStatementReader::entryForTransaction()
{
    QFETCH(QString, type);
    QFETCH(bool, creditCard);
    QFETCH(QString, form);
    StatementTransaction t;
    t.date = QDate(2015, 1, 12);
    t.amount = Currency::fromRaw(-3000000);
    t.type = type;
    t.creditCard = creditCard;
    // Markers, nested too, and line breaks never reach the line.
    t.memo = QStringLiteral("  CHEQUE <<4>4>851\r\nCOMPENSADO <<<1>1>2>");
    QCOMPARE(buildLedgerLine(ledgerEntryFor(t)),
             QStringLiteral("300,00<1>12/01/2015<2>Exit<3>CHEQUE 851 COMPENSADO<4>") + form);

    t.name = QStringLiteral("LOJA <<4>4>X");
    t.amount = Currency::fromRaw(2500000);
    QCOMPARE(buildLedgerLine(ledgerEntryFor(t)),
             QStringLiteral("250,00<1>12/01/2015<2>Entrance<3>LOJA X<4>") + form);
}

void TestStatementReader::identitiesKeepEveryTransaction()
{
    for (const char *name : {"repeated-fitid.ofx", "empty-fitid.ofx", "bank-1252.ofx"}) {
        const QList<StatementTransaction> list = readFixture(name);
        QVERIFY(!list.isEmpty());
        const QStringList ids = importIdentities(list);
        QCOMPARE(ids.size(), list.size());
        QCOMPARE(QSet<QString>(ids.cbegin(), ids.cend()).size(), ids.size());
        // The identities depend on the file's content only.
        QCOMPARE(importIdentities(readFixture(name)), ids);
    }
    // A repeated FITID keeps account, date and amount apart; alike movements get ordinals.
    const QStringList ids = importIdentities(readFixture("repeated-fitid.ofx"));
    QVERIFY(ids[2].endsWith("#1"));
    QVERIFY(ids[3].endsWith("#2"));
}

void TestStatementReader::reimportAddsNothing()
{
    TempDataFolder data;
    const StatementImport import(data.paths());
    const QList<StatementTransaction> all = readFixture("repeated-fitid.ofx");
    // A first statement with the first three movements, then one overlapping it.
    bool ok = false;
    QList<ImportRow> rows = import.rowsFor(all.mid(0, 3), &ok);
    QVERIFY(ok);
    QVERIFY(import.write(rows));
    const QByteArray year = data.read("dados/Finance/2015.CX");
    QCOMPARE(year.count("\r\n"), 3);

    rows = import.rowsFor(all, &ok);
    QVERIFY(ok);
    QList<bool> marked;
    for (const ImportRow &row : rows)
        marked.append(row.alreadyImported);
    QCOMPARE(marked, (QList<bool>{true, true, true, false}));
    QVERIFY(import.write(rows));
    QCOMPARE(data.read("dados/Finance/2015.CX"), year + "10,00<1>11/01/2015<2>Exit<3>PADARIA<4>Dinheiro\r\n");

    const QByteArray before = data.read("dados/Finance/2015.CX");
    QVERIFY(import.write(import.rowsFor(all)));
    QCOMPARE(data.read("dados/Finance/2015.CX"), before);
    QCOMPARE(data.read("dados/Finance/Importados.ofx").count("\r\n"), 4);
}

void TestStatementReader::writeLandsInLedgersAndList()
{
    TempDataFolder data;
    const QByteArray january("5,00<1>02/01/2015<2>Exit<3>P\xe3o<4>Dinheiro\r\n");
    QVERIFY(data.write("dados/Finance/01.2015.fin", january));
    QVERIFY(data.write("dados/Finance/2015.CX", january));
    const StatementImport import(data.paths());
    QList<StatementTransaction> list = readFixture("utf8-body.ofx");
    list.append(readFixture("bank-xml.ofx"));
    // A name the code page cannot hold: the ledgers write it as the entry row does, the
    // imported list keeps it exactly.
    list.last().memo = QStringLiteral("Rendimento ₿");
    list.last().fitId.clear();
    QVERIFY(import.write(import.rowsFor(list)));

    QCOMPARE(data.read("dados/Finance/01.2015.fin"),
             january + "12,50<1>13/01/2015<2>Exit<3>Padaria S\xe3o Jo\xe3o<4>Dinheiro\r\n"
                       "7,50<1>14/01/2015<2>Entrance<3>Devolu\xe7\xe3o PIX<4>Dinheiro\r\n");
    QCOMPARE(data.read("dados/Finance/03.2015.fin"),
             QByteArray("1.234,50<1>02/03/2015<2>Exit<3>A&B Importa\xe7\xe3o<4>Dinheiro\r\n"
                        "0,13<1>03/03/2015<2>Entrance<3>Rendimento ?<4>Dinheiro\r\n"));
    QCOMPARE(data.read("dados/Finance/2015.CX"),
             january + "12,50<1>13/01/2015<2>Exit<3>Padaria S\xe3o Jo\xe3o<4>Dinheiro\r\n"
                       "7,50<1>14/01/2015<2>Entrance<3>Devolu\xe7\xe3o PIX<4>Dinheiro\r\n"
                       "1.234,50<1>02/03/2015<2>Exit<3>A&B Importa\xe7\xe3o<4>Dinheiro\r\n"
                       "0,13<1>03/03/2015<2>Entrance<3>Rendimento ?<4>Dinheiro\r\n");
    const QStringList ids = importIdentities(list);
    QCOMPARE(data.read("dados/Finance/Importados.ofx"), encodeLines(ids, TextEncoding::Utf8Bom));
    QVERIFY(ids.last().contains(QStringLiteral("Rendimento ₿")));
}

void TestStatementReader::failedWriteLeavesEveryFile()
{
    TempDataFolder data;
    // A year ledger larger than any file the process may write at the moment of the import:
    // its new copy cannot be written in full, as on a full disk.
    QByteArray year;
    while (year.size() < 64 * 1024)
        year += "5,00<1>02/01/2015<2>Exit<3>Padaria<4>Dinheiro\r\n";
    QVERIFY(data.write("dados/Finance/2015.CX", year));
    QVERIFY(data.write("dados/Finance/01.2015.fin", "5,00<1>02/01/2015<2>Exit<3>Padaria<4>Dinheiro\r\n"));
    QVERIFY(data.write("dados/Finance/Importados.ofx", "old\r\n"));
    const QDir folder(data.file("dados/Finance"));
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden);
    QMap<QString, QByteArray> before;
    for (const QString &name : names)
        before.insert(name, data.read("dados/Finance/" + name));

    const StatementImport import(data.paths());
    const QList<ImportRow> rows = import.rowsFor(readFixture("bank-1252.ofx"));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 32 * 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = import.write(rows).has_value();
    setrlimit(RLIMIT_FSIZE, &old);
    QVERIFY(!written);

    QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), names);
    for (const QString &name : names)
        QCOMPARE(data.read("dados/Finance/" + name), before.value(name));
}

QTEST_GUILESS_MAIN(TestStatementReader)
#include "tst_statementreader.moc"

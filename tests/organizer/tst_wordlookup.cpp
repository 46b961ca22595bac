// The word lookup: accent folding and the dictionary address, the meaning's lines, the
// page model over small pages, the lookup through W with a fake loader, and the real
// loader against a local server.
#include "organizer/htmlpage.h"
#include "organizer/wordlookup.h"
#include "organizer/wordlookuppage.h"
#include "platform/fakes.h"
#include "platform/pageloader.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextEdit>

using namespace zorv;

namespace {

const QString kBase = QStringLiteral("http://dicionario.test/");

QByteArray fixture(const QString &name)
{
    QFile f(QStringLiteral(ZORV_TEST_DATA "/lookup/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A page of the dictionary with the meaning as the page model writes it.
QByteArray dictionaryPage(const QByteArray &meaning)
{
    return "<html><body><h1>Palavra</h1><div id=\"significado\">" + meaning + "</div></body></html>";
}

// Answers each connection with the reply `respond` builds from the request line.
class LocalServer : public QTcpServer
{
public:
    explicit LocalServer(std::function<QByteArray(const QByteArray &)> respond)
        : m_respond(std::move(respond))
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    const QByteArray request = socket->readAll();
                    requests << request.left(request.indexOf("\r\n"));
                    socket->write(m_respond(requests.last()));
                    socket->disconnectFromHost();
                });
            }
        });
    }
    QString address(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path);
    }
    QList<QByteArray> requests;

private:
    std::function<QByteArray(const QByteArray &)> m_respond;
};

QByteArray httpReply(const QByteArray &status, const QByteArray &headers, const QByteArray &body)
{
    return "HTTP/1.1 " + status + "\r\n" + headers + "Content-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

// Loads `address` with the real loader and waits for its completion.
std::optional<LoadedPage> loadReal(const QString &address)
{
    NetworkPageLoader loader;
    bool done = false;
    std::optional<LoadedPage> result;
    loader.load(QUrl(address), [&](const std::optional<LoadedPage> &page) {
        result = page;
        done = true;
    });
    QDeadlineTimer deadline(10000);
    while (!done && !deadline.hasExpired())
        QTest::qWait(10);
    return result;
}

struct LookupFixture
{
    FakeServices fake;
    std::unique_ptr<WordLookupPage> page;

    bool open()
    {
        page = std::make_unique<WordLookupPage>(fake.services());
        page->setDictionaryBase(kBase);
        page->resize(800, 600);
        page->show();
        QApplication::setActiveWindow(page.get());
        if (!QTest::qWaitForWindowActive(page.get()))
            return false;
        page->prt->setFocus();
        return true;
    }
    void lookUp(const QString &word)
    {
        page->prt->setFocus();
        page->prt->selectAll();
        for (QChar c : word)
            QTest::sendKeyEvent(QTest::Click, page->prt, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::keyClick(page->prt, Qt::Key_Return);
    }
    QStringList result() const { return page->rst->toPlainText().split(QLatin1Char('\n')); }
};

} // namespace

class TestWordLookup : public QObject
{
    Q_OBJECT

private slots:
    void address_data();
    void address();
    void meaning_data();
    void meaning();
    void readable_data();
    void readable();
    void pageModel_data();
    void pageModel();
    void pageModelCharset();
    void lookupFillsTheResult();
    void completionsAfterTheFirstAreNotExtracted();
    void failedLookupLeavesTheResultEmpty();
    void realLoaderServesAPage();
    void realLoaderRefuses_data();
    void realLoaderRefuses();
    void newLoadAbandonsThePendingOne();
};

void TestWordLookup::address_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("address");
    QTest::newRow("accents folded") << QStringLiteral("Ação") << kBase + "acao";
    QTest::newRow("every folded letter")
        << QStringLiteral("àáâãä çèéêë ìíîï ñòóôõö ùúûü") << kBase + "aaaaa%20ceeee%20iiii%20nooooo%20uuuu";
    QTest::newRow("other letters kept")
        << QStringLiteral("Øre Æble ý") << kBase + QStringLiteral("øre%20æble%20ý");
    QTest::newRow("structure encoded") << QStringLiteral("a/b?c#d%e") << kBase + "a%2Fb%3Fc%23d%25e";
}

void TestWordLookup::address()
{
    QFETCH(QString, word);
    QFETCH(QString, address);
    QCOMPARE(dictionaryAddress(kBase, word), address);
    QCOMPARE(foldAccents(QStringLiteral("ÀÁÂÃÄÇÈÉÊËÌÍÎÏÑÒÓÔÕÖÙÚÛÜÅ")),
             QStringLiteral("AAAAACEEEEIIIINOOOOOUUUUÅ"));
}

void TestWordLookup::meaning_data()
{
    QTest::addColumn<QString>("inner");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("star and break") << "a*b<BR>c" << QStringList{"a", "b", "", "c"};
    QTest::newRow("two span lines") << "um<BR><SPAN class=x>1</SPAN>\n<SPAN>2</SPAN>\ndois"
                                    << QStringList{"um", "", "dois"};
    QTest::newRow("lower-case break kept") << "a<br>b" << QStringList{"a<br>b"};
    QTest::newRow("other tags stay") << "<B>casa</B>*lar" << QStringList{"<B>casa</B>", "lar"};
}

void TestWordLookup::meaning()
{
    QFETCH(QString, inner);
    QFETCH(QStringList, lines);
    QCOMPARE(meaningLines(inner), lines);
}

void TestWordLookup::readable_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("text");
    QTest::newRow("tags") << "<B>casa</B> <I>lar</I>"
                          << "casa lar";
    QTest::newRow("entities") << "a&nbsp;&amp;&lt;b&gt; &eacute;&#233;&#xE9;" << QStringLiteral("a &<b> ééé");
    QTest::newRow("unknown entity kept") << "a &xyz; b & c"
                                         << "a &xyz; b & c";
    QTest::newRow("lone bracket kept") << "1 < 2"
                                       << "1 < 2";
}

void TestWordLookup::readable()
{
    QFETCH(QString, line);
    QFETCH(QString, text);
    QCOMPARE(readableLines({line}), QStringList{text});
}

void TestWordLookup::pageModel_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("inner");
    QTest::newRow("id in other case")
        << "idcase.html" << true << "Casa &amp; lar<BR><SPAN class=\"cl gr\">subst.</SPAN>*moradia";
    QTest::newRow("first of two") << "twoids.html" << true << "primeiro";
    QTest::newRow("missing, one in the head") << "missing.html" << false << "";
    QTest::newRow("broken markup") << "broken.html" << true
                                   << "<B>casa<BR>lar<SPAN class=x>ignorar</SPAN></B>";
}

void TestWordLookup::pageModel()
{
    QFETCH(QString, file);
    QFETCH(bool, found);
    QFETCH(QString, inner);
    HtmlPage page(fixture(file));
    QVERIFY(page.isValid());
    const HtmlElement element = page.elementById(QStringLiteral("significado"));
    QCOMPARE(bool(element), found);
    QCOMPARE(HtmlPage::innerHtml(element), inner);
    if (element) {
        page.setInnerText(element, QStringLiteral("<novo> & texto"));
        QCOMPARE(HtmlPage::innerHtml(page.elementById(QStringLiteral("SIGNIFICADO"))),
                 QStringLiteral("&lt;novo&gt; &amp; texto"));
    }
}

void TestWordLookup::pageModelCharset()
{
    const QByteArray bytes = fixture(QStringLiteral("cp1252.html"));
    QCOMPARE(HtmlPage::innerHtml(HtmlPage(bytes).elementById(QStringLiteral("significado"))),
             QStringLiteral("ação"));
    QCOMPARE(HtmlPage::innerHtml(HtmlPage(bytes, "windows-1252").elementById(QStringLiteral("significado"))),
             QStringLiteral("ação"));
    const QByteArray utf8 = dictionaryPage("ação");
    QCOMPARE(HtmlPage::innerHtml(HtmlPage(utf8, "utf-8").elementById(QStringLiteral("significado"))),
             QStringLiteral("ação"));
}

void TestWordLookup::lookupFillsTheResult()
{
    LookupFixture f;
    QVERIFY(f.open());
    f.fake.pages.pages.insert(kBase + "acao", {dictionaryPage("<b>Ato</b> de agir*efeito&nbsp;de agir<br>"
                                                              "<span class=\"cl\">subst. fem.</span><br>fim"),
                                               "utf-8", QUrl(kBase + "acao")});
    f.lookUp(QStringLiteral("Ação"));
    QCOMPARE(f.page->prt->text(), QStringLiteral("ação"));
    QCOMPARE(f.fake.pages.requested, QList<QUrl>{QUrl(kBase + "acao")});
    QVERIFY(f.fake.pages.completePending());

    // mm keeps the page model's lines; rst shows them as plain text.
    QCOMPARE(f.page->mm->toPlainText().split(QLatin1Char('\n')),
             (QStringList{"<B>Ato</B> de agir", "efeito&nbsp;de agir", "", "", "fim"}));
    QCOMPARE(f.result(), (QStringList{"Ato de agir", "efeito de agir", "", "", "fim"}));
    QVERIFY(f.page->rst->hasFocus());
    QCOMPARE(f.page->rst->textCursor().position(), 0);

    // A new Enter clears both before the next page comes.
    f.lookUp(QStringLiteral("casa"));
    QCOMPARE(f.page->rst->toPlainText(), QString());
    QCOMPARE(f.page->mm->toPlainText(), QString());
    QCOMPARE(f.fake.pages.requested.last(), QUrl(kBase + "casa"));
}

void TestWordLookup::completionsAfterTheFirstAreNotExtracted()
{
    LookupFixture f;
    QVERIFY(f.open());
    f.fake.pages.pages.insert(kBase + "casa", {dictionaryPage("moradia"), {}, QUrl(kBase + "casa")});
    f.lookUp(QStringLiteral("casa"));
    QVERIFY(f.fake.pages.completePending());
    QCOMPARE(f.result(), QStringList{"moradia"});

    HtmlPage frame(dictionaryPage("outra coisa"));
    emit f.page->W->DocumentComplete(&frame, QUrl(kBase + "casa"));
    QCOMPARE(f.result(), QStringList{"moradia"});
    QCOMPARE(f.page->mm->toPlainText(), QStringLiteral("moradia"));
}

void TestWordLookup::failedLookupLeavesTheResultEmpty()
{
    LookupFixture f;
    QVERIFY(f.open());
    f.fake.pages.failing.insert(kBase + "casa");
    f.lookUp(QStringLiteral("casa"));
    QVERIFY(f.fake.pages.completePending());
    QCOMPARE(f.page->rst->toPlainText(), QString());
    QVERIFY(f.page->rst->hasFocus());

    // A page without the meaning: the same.
    f.fake.pages.pages.insert(kBase + "mesa",
                              {"<html><body><p>nada</p></body></html>", {}, QUrl(kBase + "mesa")});
    f.lookUp(QStringLiteral("mesa"));
    QVERIFY(f.fake.pages.completePending());
    QCOMPARE(f.page->rst->toPlainText(), QString());
    QVERIFY(f.page->rst->hasFocus());

    // An empty word looks nothing up.
    f.page->prt->clear();
    QTest::keyClick(f.page->prt, Qt::Key_Return);
    QCOMPARE(f.fake.pages.requested.size(), 2);
}

void TestWordLookup::realLoaderServesAPage()
{
    LocalServer server([](const QByteArray &request) {
        if (request.startsWith("GET /antes"))
            return httpReply("302 Found", "Location: /palavra\r\n", {});
        return httpReply("200 OK", "Content-Type: text/html; charset=ISO-8859-1\r\n",
                         dictionaryPage("a\xe7\xe3o"));
    });
    QVERIFY(server.isListening());
    QVERIFY(loadReal(server.address(QStringLiteral("/palavra"))).has_value());
    const std::optional<LoadedPage> page = loadReal(server.address(QStringLiteral("/antes")));
    QVERIFY(page.has_value());
    QCOMPARE(page->charset, QByteArray("ISO-8859-1"));
    QCOMPARE(page->address, QUrl(server.address(QStringLiteral("/palavra"))));
    QCOMPARE(
        HtmlPage::innerHtml(HtmlPage(page->body, page->charset).elementById(QStringLiteral("significado"))),
        QStringLiteral("ação"));
}

void TestWordLookup::realLoaderRefuses_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("redirect to a file") << httpReply("302 Found", "Location: file:///etc/passwd\r\n", {});
    QTest::newRow("oversize") << httpReply("200 OK", "Content-Type: text/html\r\n",
                                           QByteArray(NetworkPageLoader::maxBytes + 1024, 'x'));
    QTest::newRow("not found") << httpReply("404 Not Found", {}, "nada");
    QTest::newRow("endless redirects") << httpReply("302 Found", "Location: /de-novo\r\n", {});
}

void TestWordLookup::realLoaderRefuses()
{
    QFETCH(QByteArray, reply);
    LocalServer server([reply](const QByteArray &) { return reply; });
    QVERIFY(!loadReal(server.address(QStringLiteral("/palavra"))).has_value());
    QVERIFY(server.requests.size() <= 1 + NetworkPageLoader::maxRedirects);
    // Only web addresses are ever asked for.
    QVERIFY(!loadReal(QStringLiteral("file:///etc/hostname")).has_value());
}

void TestWordLookup::newLoadAbandonsThePendingOne()
{
    LocalServer server(
        [](const QByteArray &request) { return httpReply("200 OK", {}, dictionaryPage(request.mid(5, 4))); });
    NetworkPageLoader loader;
    QStringList completed;
    loader.load(QUrl(server.address(QStringLiteral("/velh"))),
                [&](const std::optional<LoadedPage> &) { completed << "old"; });
    loader.load(QUrl(server.address(QStringLiteral("/nova"))), [&](const std::optional<LoadedPage> &page) {
        completed << (page ? HtmlPage::innerHtml(HtmlPage(page->body).elementById("significado")) : "failed");
    });
    QTRY_COMPARE_WITH_TIMEOUT(completed, QStringList{"nova"}, 10000);
    QTest::qWait(100);
    QCOMPARE(completed, QStringList{"nova"});
}

QTEST_MAIN(TestWordLookup)
#include "tst_wordlookup.moc"

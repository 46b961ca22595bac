// The RTF reader's lexical layer and its keyword table, apart from any document.
#include "store/rtf/rtfkeywords.h"
#include "store/rtf/rtftokenizer.h"

#include <QTest>

using namespace zorv::rtf;

namespace {

// The tokens of `input`, one word each: "{", "}", "\word", "\word(N)", "sym:c", "hex:hh",
// "text:...", "bin:hh..".
QString describe(QByteArrayView input)
{
    Tokenizer tokens(input);
    QStringList out;
    for (Token t = tokens.next(); t.kind != Token::Kind::End; t = tokens.next()) {
        switch (t.kind) {
        case Token::Kind::GroupOpen:
            out << QStringLiteral("{");
            break;
        case Token::Kind::GroupClose:
            out << QStringLiteral("}");
            break;
        case Token::Kind::ControlWord:
            out << u'\\' + QString::fromLatin1(t.bytes) +
                       (t.hasParam ? QStringLiteral("(%1)").arg(t.param) : QString());
            break;
        case Token::Kind::ControlSymbol:
            out << QStringLiteral("sym:") + QLatin1Char(t.symbol);
            break;
        case Token::Kind::HexByte:
            out << QStringLiteral("hex:") + QString::fromLatin1(QByteArray(1, t.symbol).toHex());
            break;
        case Token::Kind::Text:
            out << QStringLiteral("text:") + QString::fromLatin1(t.bytes);
            break;
        case Token::Kind::Binary:
            out << QStringLiteral("bin:") + QString::fromLatin1(t.bytes.toByteArray().toHex());
            break;
        case Token::Kind::End:
            break;
        }
    }
    return out.join(u' ');
}

} // namespace

class TestRtfTokenizer : public QObject
{
    Q_OBJECT

private slots:
    void tokens_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("groups; the last brace ends the document")
            << QByteArray("{a{b}c}") << "{ text:a { text:b } text:c";
        QTest::newRow("words, text and the delimiting space")
            << QByteArray("{\\rtf1\\ansi \\b0 Hi there}") << "{ \\rtf(1) \\ansi \\b(0) text:Hi there";
        QTest::newRow("negative parameter; a lone minus is text")
            << QByteArray("{\\li-720\\fi-x}") << "{ \\li(-720) \\fi text:-x";
        QTest::newRow("symbols, hex escapes and line breaks")
            << QByteArray("{\\*\\~a\r\n\\'E9\\'7b\\\\}") << "{ sym:* sym:~ text:a hex:e9 hex:7b sym:\\";
        QTest::newRow("a bad hex escape goes with its one hex digit")
            << QByteArray("{a\\'4zb\\'zzc}") << "{ text:a text:zb text:zzc";
        QTest::newRow("before the first brace and after the last are not read")
            << QByteArray("\xef\xbb\xbf  {x}}\r\n\\par") << "{ text:x }";
        QTest::newRow("a backslash before the last brace escapes nothing")
            << QByteArray("{x\\}") << "{ text:x";
        QTest::newRow("over-long word cut, parameter clamped")
            << QByteArray("{\\abcdefghijklmnopqrstuvwxyzabcdefghij99999999999999 y}")
            << "{ \\abcdefghijklmnopqrstuvwxyzabcdef(2147483647) text:y";
        QTest::newRow("parameter at the int range")
            << QByteArray("{\\u-2147483648 \\u4294967296}") << "{ \\u(-2147483648) \\u(2147483647)";
        QTest::newRow("binary data, braces in it included")
            << QByteArray("{\\bin3 {}\\x}") << "{ bin:7b7d5c text:x";
        QTest::newRow("binary data takes at most what is left")
            << QByteArray("{\\bin99 ab}") << "{ bin:61627d";
        QTest::newRow("negative binary length takes nothing")
            << QByteArray("{\\bin-5 ab}") << "{ bin: text:ab";
    }

    void tokens()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, expected);
        QCOMPARE(describe(input), expected);
    }

    void offsets()
    {
        const QByteArray input("x{\\par y}}z");
        Tokenizer tokens(input);
        QCOMPARE(tokens.end(), 9);
        QCOMPARE(tokens.closingOffset(), 9);
        Token t = tokens.next();
        QCOMPARE(t.at, 1);
        t = tokens.next();
        QCOMPARE(t.at, 2);
        QCOMPARE(tokens.position(), 7); // after the word's space
        QCOMPARE(Tokenizer(QByteArrayView("{abc")).closingOffset(), 3);
        QCOMPARE(rowWordEnds("{\\row\\rowd\\row}\\row", 15), (std::vector<qsizetype>{5, 14}));
    }

    void keywordLookup()
    {
        // Each destination has its own words; destination words act in all of them.
        const Keyword *k = findKeyword("macpict", Dest::Pict);
        QVERIFY(k);
        QCOMPARE(k->kind, KeywordClass::Flag);
        QCOMPARE(k->arg, int(PictKind::Mac));
        k = findKeyword("macpict", Dest::Text);
        QVERIFY(k);
        QCOMPARE(k->kind, KeywordClass::Destination);
        QCOMPARE(findKeyword("pict", Dest::ColorTable)->kind, KeywordClass::Destination);
        QCOMPARE(findKeyword("f", Dest::FontTable)->dest, Dest::FontTable);
        QCOMPARE(findKeyword("f", Dest::Text)->dest, Dest::Text);
        QVERIFY(!findKeyword("b", Dest::FontTable));
        QVERIFY(!findKeyword("red", Dest::Text));
        QVERIFY(!findKeyword("nosuchword", Dest::Text));
        QVERIFY(!findKeyword("", Dest::Text));
        QVERIFY(!findKeyword("pa", Dest::Text)); // a prefix of "par" is not "par"
        k = findKeyword("emdash", Dest::Text);
        QVERIFY(k);
        QCOMPARE(k->kind, KeywordClass::Symbol);
        QCOMPARE(k->arg, 0x2014);
        QCOMPARE(findKeyword("fs", Dest::Text)->arg, 24); // the size without a parameter
    }
};

QTEST_APPLESS_MAIN(TestRtfTokenizer)
#include "tst_rtftokenizer.moc"

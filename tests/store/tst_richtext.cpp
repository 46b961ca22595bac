#include "store/richtextfile.h"
#include "store/rtf/rtfreader.h"
#include "store/rtf/rtfwriter.h"
#include "tempdatafolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>
#include <QTextTable>

using namespace zorv;

namespace {

QByteArray fixture(const QString &name)
{
    QFile f(QStringLiteral(ZORV_TEST_DATA "/rtf/") + name);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return f.readAll();
}

// The text of every block (table cells included), one line each, with line separators
// and no-break spaces as they are.
QString blockText(const QTextDocument &doc)
{
    QStringList lines;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        lines << b.text();
    return lines.join(u'\n');
}

QString textOf(const QByteArray &bytes)
{
    QTextDocument doc;
    readRichText(bytes, doc);
    return blockText(doc);
}

// Every fragment's text with the formats that matter to a reader of the page, and every
// block's layout: two documents with the same signature look the same.
QString signature(const QTextDocument &doc)
{
    QString s;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat bf = b.blockFormat();
        QTextCursor c(b);
        s += QStringLiteral("[block a%1 l%2 r%3 i%4 t%5 b%6 h%7/%8 tabs%9 d%10 list%11 table%12]\n")
                 .arg(int(bf.alignment() & Qt::AlignHorizontal_Mask))
                 .arg(bf.leftMargin())
                 .arg(bf.rightMargin())
                 .arg(bf.textIndent())
                 .arg(bf.topMargin())
                 .arg(bf.bottomMargin())
                 .arg(bf.lineHeight())
                 .arg(bf.lineHeightType())
                 .arg(bf.tabPositions().size())
                 .arg(int(bf.layoutDirection()))
                 .arg(b.textList() ? int(b.textList()->format().style()) : 0)
                 .arg(c.currentTable() ? 1 : 0);
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat cf = f.charFormat();
            s += QStringLiteral("  '%1' fam=%2 pt=%3 b%4 i%5 u%6 s%7 v%8 fg=%9 bg=%10 href=%11 img=%12\n")
                     .arg(f.text(), cf.fontFamilies().toStringList().value(0, doc.defaultFont().family()))
                     .arg(cf.fontPointSize())
                     .arg(cf.fontWeight() >= QFont::DemiBold)
                     .arg(cf.fontItalic())
                     .arg(cf.fontUnderline())
                     .arg(cf.fontStrikeOut())
                     .arg(int(cf.verticalAlignment()))
                     .arg(cf.foreground().style() == Qt::NoBrush ? QString() : cf.foreground().color().name(),
                          cf.background().style() == Qt::NoBrush ? QString() : cf.background().color().name(),
                          cf.anchorHref())
                     .arg(cf.isImageFormat() ? QStringLiteral("%1x%2")
                                                   .arg(cf.toImageFormat().width())
                                                   .arg(cf.toImageFormat().height())
                                             : QString());
        }
    }
    return s;
}

QList<QTextCharFormat> fragmentFormats(const QTextDocument &doc, QStringList *texts)
{
    QList<QTextCharFormat> formats;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            formats << it.fragment().charFormat();
            *texts << it.fragment().text();
        }
    }
    return formats;
}

QTextCharFormat formatOf(const QTextDocument &doc, const QString &text)
{
    QStringList texts;
    const QList<QTextCharFormat> formats = fragmentFormats(doc, &texts);
    const qsizetype i = texts.indexOf(text);
    if (i < 0)
        qWarning() << "no fragment" << text << "in" << texts;
    return i < 0 ? QTextCharFormat() : formats[i];
}

QList<QTextImageFormat> images(const QTextDocument &doc)
{
    QList<QTextImageFormat> found;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                found << it.fragment().charFormat().toImageFormat();
    return found;
}

const QString kObject = QString(QChar(0xFFFC));

} // namespace

class TestRichText : public QObject
{
    Q_OBJECT

private slots:
    void readsText_data();
    void readsText();
    void roundTripKeepsTextAndFormats_data();
    void roundTripKeepsTextAndFormats();
    void readsCharacterFormats();
    void readsParagraphFormats();
    void readsListsAndTables();
    void readsHyperlinksAndOtherFields();
    void readsPicturesAndKeepsTheirSource();
    void writesTheRichEditShape();
    void writesEscapesInSevenBits();
    void hostileInput_data();
    void hostileInput();
    void deepNestingIsLinear();
    void wideTablesAreCapped();
    void longParagraphsAndTablesStayLinear();
    void longListsStayLinear();
    void longWordsWrapAnywhere_data();
    void longWordsWrapAnywhere();
    void manyFontsKeepTheirNames();
    void emptyParagraphKeepsTheFormatInEffect();
    void everyPrefixOfEveryFixtureReads_data();
    void everyPrefixOfEveryFixtureReads();
    void fileSaveIsAtomicAndLoadMarksUnmodified();
    void documentNeverLoadsNamedResources();
};

void TestRichText::readsText_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("text");

    QTest::newRow("code pages, raw bytes, symbol, double-byte")
        << "codepages.rtf" << QString::fromUtf8("Olá €é\nžá\n\uF0B7\nあテ");
    QTest::newRow("\\u with fallbacks and \\uc") << "unicode.rtf" << QString::fromUtf8("Ж😀 éZ€ end");
    QTest::newRow("character formats") << "formats.rtf"
                                       << "plain bolditalicundergoneupdownbigrednoneunknownfontunknowncolour";
    QTest::newRow("paragraph formats") << "paragraphs.rtf"
                                       << "centre\nright\nindented\nspaced\ttabbed\nrtl";
    QTest::newRow("breaks and special characters")
        << "breaks.rtf" << QString::fromUtf8("one\u2028two\tthree\nfour\nfive\na\u00a0b\u00adc\u2011d—e‘f’");
    QTest::newRow("old-style lists") << "lists.rtf"
                                     << "apple\npear\nfirst\nsecond\nroman\nafter";
    QTest::newRow("table") << "table.rtf"
                           << "before\na1\nb1\nb1bis\na2\n\nafter";
    QTest::newRow("fields") << "hyperlink.rtf"
                            << "see site and here page 7.";
    QTest::newRow("pictures") << "picture.rtf"
                              << "A" + kObject + "B" + kObject + "C" + kObject + "D" + kObject + "E";
    QTest::newRow("skipped groups and trailing bytes") << "skipped.rtf"
                                                       << "visible text";
    QTest::newRow("plain Windows-1252 text")
        << "plain-cp1252.txt" << QString::fromUtf8("Olá €\nsegunda linha");
    QTest::newRow("plain UTF-8 text") << "plain-utf8.txt" << QString::fromUtf8("Olá Ж\nsegunda");
}

void TestRichText::readsText()
{
    QFETCH(QString, file);
    QFETCH(QString, text);
    QCOMPARE(textOf(fixture(file)), text);
}

void TestRichText::roundTripKeepsTextAndFormats_data()
{
    readsText_data();
}

void TestRichText::roundTripKeepsTextAndFormats()
{
    QFETCH(QString, file);
    QTextDocument first;
    readRichText(fixture(file), first);
    const QByteArray written = writeRtf(first);
    QTextDocument second;
    readRichText(written, second);
    QCOMPARE(signature(second), signature(first));
    // Writing what was read back gives the same bytes again.
    QCOMPARE(writeRtf(second), written);
}

void TestRichText::readsCharacterFormats()
{
    QTextDocument doc;
    readRichText(fixture("formats.rtf"), doc);
    const QColor silver(192, 192, 192), red(255, 0, 0);

    const QTextCharFormat plain = formatOf(doc, "plain ");
    QCOMPARE(plain.fontFamilies().toStringList(), QStringList{"Verdana"});
    QCOMPARE(plain.fontPointSize(), 12.0);
    QCOMPARE(plain.foreground().color(), silver);
    QVERIFY(plain.fontWeight() < QFont::DemiBold);

    QVERIFY(formatOf(doc, "bold").fontWeight() >= QFont::Bold);
    QVERIFY(formatOf(doc, "italic").fontItalic());
    QVERIFY(formatOf(doc, "under").fontUnderline());
    QVERIFY(formatOf(doc, "gone").fontStrikeOut());
    QCOMPARE(formatOf(doc, "up").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    QCOMPARE(formatOf(doc, "down").verticalAlignment(), QTextCharFormat::AlignSubScript);
    const QTextCharFormat big = formatOf(doc, "big");
    QCOMPARE(big.fontFamilies().toStringList(), QStringList{"Times New Roman"});
    QCOMPARE(big.fontPointSize(), 20.0);
    const QTextCharFormat coloured = formatOf(doc, "red");
    QCOMPARE(coloured.foreground().color(), red);
    QCOMPARE(coloured.background().color(), silver);
    // \cf0 is no colour; an unknown font or colour is the default one.
    QCOMPARE(formatOf(doc, "none").foreground().style(), Qt::NoBrush);
    QCOMPARE(formatOf(doc, "unknownfont").fontFamilies().toStringList(), QStringList{"Verdana"});
    QCOMPARE(formatOf(doc, "unknowncolour").foreground().style(), Qt::NoBrush);
}

void TestRichText::readsParagraphFormats()
{
    QTextDocument doc;
    readRichText(fixture("paragraphs.rtf"), doc);
    QTextBlock b = doc.begin();
    QCOMPARE(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    b = b.next();
    QCOMPARE(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    b = b.next();
    QCOMPARE(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    QCOMPARE(b.blockFormat().leftMargin(), 48.0); // 720 twips
    QCOMPARE(b.blockFormat().rightMargin(), 24.0);
    QCOMPARE(b.blockFormat().textIndent(), -24.0);
    b = b.next();
    QCOMPARE(b.blockFormat().topMargin(), 16.0);
    QCOMPARE(b.blockFormat().bottomMargin(), 8.0);
    QCOMPARE(b.blockFormat().lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
    QCOMPARE(b.blockFormat().lineHeight(), 150.0);
    QCOMPARE(b.blockFormat().tabPositions().size(), 2);
    QCOMPARE(b.blockFormat().tabPositions().at(0).position, 96.0);
    b = b.next();
    QCOMPARE(b.blockFormat().layoutDirection(), Qt::RightToLeft);
}

void TestRichText::readsListsAndTables()
{
    QTextDocument lists;
    readRichText(fixture("lists.rtf"), lists);
    QTextBlock b = lists.begin();
    QTextList *bullets = b.textList();
    QVERIFY(bullets);
    QCOMPARE(bullets->format().style(), QTextListFormat::ListDisc);
    QCOMPARE(b.next().textList(), bullets); // "pear" continues the same list
    b = b.next().next();
    QVERIFY(b.textList() && b.textList() != bullets);
    QCOMPARE(b.textList()->format().style(), QTextListFormat::ListDecimal);
    QCOMPARE(b.textList()->count(), 2);
    b = b.next().next();
    QCOMPARE(b.textList()->format().style(), QTextListFormat::ListUpperRoman);
    QVERIFY(!b.next().textList()); // \pard ends the list

    QTextDocument table;
    readRichText(fixture("table.rtf"), table);
    QTextCursor c(table.begin().next());
    QTextTable *t = c.currentTable();
    QVERIFY(t);
    QCOMPARE(t->rows(), 2);
    QCOMPARE(t->columns(), 2);
    QTextCursor cell = t->cellAt(0, 1).firstCursorPosition();
    cell.setPosition(t->cellAt(0, 1).lastPosition(), QTextCursor::KeepAnchor);
    QCOMPARE(cell.selectedText(), QString("b1") + QChar::ParagraphSeparator + "b1bis");
    QCOMPARE(t->cellAt(1, 1).firstCursorPosition().block().text(), QString());
    QVERIFY(!QTextCursor(table.lastBlock()).currentTable());
    QCOMPARE(table.lastBlock().text(), "after");
}

void TestRichText::readsHyperlinksAndOtherFields()
{
    QTextDocument doc;
    readRichText(fixture("hyperlink.rtf"), doc);
    const QTextCharFormat site = formatOf(doc, "site");
    QVERIFY(site.isAnchor());
    QCOMPARE(site.anchorHref(), "http://example.com/a?b=1");
    QVERIFY(site.fontUnderline());
    QCOMPARE(formatOf(doc, "here").anchorHref(), "#mark");
    QVERIFY(!formatOf(doc, " page 7.").isAnchor()); // other fields give their result only

    const QByteArray written = writeRtf(doc);
    QVERIFY(written.contains("{\\field{\\*\\fldinst{HYPERLINK \"http://example.com/a?b=1\"}}{\\fldrslt{"));
    QVERIFY(written.contains("{\\field{\\*\\fldinst{HYPERLINK \\\\l \"mark\"}}{\\fldrslt{"));
}

void TestRichText::readsPicturesAndKeepsTheirSource()
{
    const QByteArray bytes = fixture("picture.rtf");
    QTextDocument doc;
    readRichText(bytes, doc);
    const QList<QTextImageFormat> found = images(doc);
    QCOMPARE(found.size(), 4);

    // PNG drawn at its goal size (300 twips = 20 px); the metafile is a box of its goal size.
    const QImage png = doc.resource(QTextDocument::ImageResource, QUrl(found[0].name())).value<QImage>();
    QCOMPARE(png.size(), QSize(2, 2));
    QCOMPARE(png.pixelColor(0, 0), QColor(255, 0, 0));
    QCOMPARE(QSizeF(found[0].width(), found[0].height()), QSizeF(20, 20));
    QCOMPARE(QSizeF(found[1].width(), found[1].height()), QSizeF(100, 50));
    // The \bin picture inside an object's result is drawn too.
    const QImage bin = doc.resource(QTextDocument::ImageResource, QUrl(found[3].name())).value<QImage>();
    QCOMPARE(bin.pixelColor(1, 1), QColor(255, 0, 0));

    // Every source group goes back byte for byte, the alternative picture with its picture.
    const QByteArray written = writeRtf(doc);
    const auto group = [&bytes](const char *from, const char *to) {
        const qsizetype start = bytes.indexOf(from);
        return bytes.mid(start, bytes.indexOf(to, start) - start);
    };
    QVERIFY(written.contains(group("{\\pict\\pngblip\\picw2", "B")));
    QVERIFY(written.contains(group("{\\pict\\wmetafile8", "C")));
    QVERIFY(written.contains(group("{\\*\\shppict", "D")));
    QVERIFY(written.contains(group("{\\object", "E\\par")));

    // A pasted picture without a source is written as PNG, 128 hex digits a line.
    QTextDocument pasted;
    QImage blue(40, 30, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    pasted.addResource(QTextDocument::ImageResource, QUrl("pasted"), blue);
    QTextCursor(&pasted).insertImage("pasted");
    const QByteArray out = writeRtf(pasted);
    QVERIFY(out.contains("{\\pict\\pngblip\\picw40\\pich30\\picwgoal600\\pichgoal450\r\n"));
    const QList<QByteArray> lines = out.split('\n');
    const qsizetype hexLine = lines.indexOf(lines.value(2)); // the first line after the picture's words
    QCOMPARE(lines.value(hexLine).size(), 128 + 1);
    QTextDocument back;
    readRichText(out, back);
    const QImage read =
        back.resource(QTextDocument::ImageResource, QUrl(images(back).value(0).name())).value<QImage>();
    QCOMPARE(read.size(), QSize(40, 30));
    QCOMPARE(read.pixelColor(5, 5), QColor(Qt::blue));
}

void TestRichText::writesTheRichEditShape()
{
    // What the editors type: Verdana 12 pt in silver.
    QTextDocument doc;
    QTextCharFormat typed;
    typed.setFontFamilies({"Verdana"});
    typed.setFontPointSize(12);
    typed.setForeground(QColor(192, 192, 192));
    QTextCursor c(&doc);
    c.insertText(QString::fromUtf8("Olá"), typed);
    c.insertBlock();
    c.insertText("segunda", typed);
    QCOMPARE(writeRtf(doc),
             QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1046{\\fonttbl{\\f0\\fnil\\fcharset0 "
                        "Verdana;}}\r\n"
                        "{\\colortbl ;\\red192\\green192\\blue192;}\r\n"
                        "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs24 Ol\\'e1\\par\r\n"
                        "segunda\\par\r\n"
                        "}\r\n"));
}

void TestRichText::writesEscapesInSevenBits()
{
    QTextDocument doc;
    QTextCursor(&doc).insertText(QString::fromUtf8("Olá € Ж 😀 {x} a\\b\tc\u2028d ") + QChar(0x81));
    const QByteArray out = writeRtf(doc);
    QVERIFY2(out.contains("Ol\\'e1 \\'80 \\u1046? \\u-10179?\\u-8704? \\{x\\} a\\\\b\\tab c\\line d \\'81"),
             out.constData());
    for (char b : out)
        QVERIFY2(quint8(b) < 0x80, out.constData());
    QTextDocument back;
    readRichText(out, back);
    QCOMPARE(back.toPlainText(), doc.toPlainText());
}

void TestRichText::hostileInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("missing braces closed at the end")
        << QByteArray("{\\rtf1 {\\b open {\\i deeper") << "open deeper";
    QTest::newRow("extra braces ignored") << QByteArray("{\\rtf1 a}}}b}") << "ab";
    QTest::newRow("text after the last brace") << QByteArray("{\\rtf1 a}\r\n\0xyz", 14) << "a";
    QTest::newRow("\\bin beyond the end")
        << QByteArray("{\\rtf1 a{\\pict\\bin999999999 xyz}}") << "a" + kObject;
    QTest::newRow("\\bin negative") << QByteArray("{\\rtf1 a\\bin-5 b}") << "ab";
    QTest::newRow("\\bin in text skipped") << QByteArray("{\\rtf1 a\\bin3 x}yb}") << "ab";
    QTest::newRow("very long control word") << "{\\rtf1 a\\" + QByteArray(5000, 'q') + " b}"
                                            << "ab";
    QTest::newRow("very long parameter") << QByteArray("{\\rtf1 \\fs99999999999999999999999 big}") << "big";
    QTest::newRow("bad hex escapes") << QByteArray("{\\rtf1 a\\'zzb\\'4") << "azzb";
    QTest::newRow("\\u out of range and lone surrogates")
        << QByteArray("{\\rtf1 \\u70000?\\u-40000?\\u-10179?x\\u-8704?y}")
        << QString::fromUtf8("\uFFFD\uFFFD\uFFFDx\uFFFDy");
    QTest::newRow("NUL bytes dropped") << QByteArray("{\\rtf1 a\0b\\u0?c}", 16) << "abc";
    QTest::newRow("huge \\uc ends at the brace")
        << QByteArray("{\\rtf1 {\\uc1000000\\u233 abc\\par}def}") << "édef";
    QTest::newRow("non-hex and undecodable picture")
        << QByteArray("{\\rtf1 {\\pict\\pngblip xyz0102}}") << kObject;
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("only the signature") << QByteArray("{\\rtf") << QString();
    QTest::newRow("lone backslash at the end") << QByteArray("{\\rtf1 a\\") << "a";
    QTest::newRow("\\cell and \\row out of place")
        << QByteArray("{\\rtf1 \\row\\cell a\\cell\\row\\pard b}") << "\n\na\nb";
    QTest::newRow("fields without parts")
        << QByteArray("{\\rtf1 {\\fldrslt r}{\\fldinst x}{\\field}end}") << "rend";
}

void TestRichText::hostileInput()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QTextDocument doc;
    readRichText(bytes, doc);
    QCOMPARE(blockText(doc), text);
    // Whatever was read writes and reads back to the same text.
    QTextDocument back;
    readRichText(writeRtf(doc), back);
    QCOMPARE(blockText(back), text);
}

void TestRichText::deepNestingIsLinear()
{
    const int depth = 100000;
    QByteArray bytes = "{\\rtf1 " + QByteArray(depth, '{') + "\\b deep" + QByteArray(depth, '}') + " after}";
    QTextDocument doc;
    readRichText(bytes, doc);
    QCOMPARE(doc.toPlainText(), "deep after");
    QVERIFY(formatOf(doc, "deep").fontWeight() >= QFont::Bold);
    // Never closed at all.
    QTextDocument open;
    readRichText("{\\rtf1 x" + QByteArray(depth, '{') + "y", open);
    QCOMPARE(open.toPlainText(), "xy");
}

void TestRichText::wideTablesAreCapped()
{
    // Many narrow rows, then one row of many cells: the columns stop growing at 64 and the
    // cells beyond go into the last one, so a few bytes never make rows times cells.
    QByteArray bytes = "{\\rtf1 ";
    for (int r = 0; r < 1000; ++r)
        bytes += "\\intbl r\\cell\\row";
    for (int c = 0; c < 1000; ++c)
        bytes += "\\intbl c" + QByteArray::number(c) + "\\cell";
    bytes += "\\row}";
    QTextDocument doc;
    readRichText(bytes, doc);
    QTextTable *table = QTextCursor(doc.begin().next()).currentTable();
    QVERIFY(table);
    QCOMPARE(table->columns(), 64);
    QCOMPARE(table->rows(), 1001);
    const QString text = doc.toPlainText();
    QVERIFY(text.contains("c0") && text.contains("c999"));
}

void TestRichText::longParagraphsAndTablesStayLinear()
{
    // Each of these took minutes while Qt laid a paragraph out again after every insertion
    // and redid its table cells for every row; read whole they take milliseconds.
    const int n = 40000;
    QTextDocument paragraph;
    readRichText("{\\rtf1 " + QByteArray("{\\b a}{\\i b}").repeated(n) + "\\par}", paragraph);
    QCOMPARE(paragraph.toPlainText().size(), 2 * n);

    QTextDocument rows;
    readRichText("{\\rtf1 " + QByteArray("\\intbl a\\cell b\\cell\\row ").repeated(n / 4) + "\\pard end}",
                 rows);
    QTextTable *table = QTextCursor(rows.begin().next()).currentTable();
    QVERIFY(table);
    QCOMPARE(table->rows(), n / 4); // no spare rows left behind
    QCOMPARE(rows.lastBlock().text(), "end");

    QTextDocument tables;
    readRichText("{\\rtf1 " + QByteArray("\\intbl a\\cell\\row\\pard b\\par ").repeated(n / 4) + "}", tables);
    QCOMPARE(tables.toPlainText().count(u'a'), n / 4);
    QCOMPARE(tables.toPlainText().count(u'b'), n / 4);
}

void TestRichText::longWordsWrapAnywhere_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<bool>("anywhere");
    const QByteArray word(kLongWordLength + 1, 'x');
    const QByteArray words = QByteArray("palavra ").repeated(kLongWordLength);
    QTest::newRow("rtf word") << "{\\rtf1 a " + word + " b\\par}" << true;
    QTest::newRow("rtf word across formats")
        << "{\\rtf1 {\\b " + word.left(3000) + "}{\\i " + word.left(3000) + "}}" << true;
    QTest::newRow("rtf long line of words") << "{\\rtf1 " + words + "\\par}" << false;
    QTest::newRow("rtf words split by paragraphs")
        << "{\\rtf1 " + word.left(3000) + "\\par " + word.left(3000) + "}" << false;
    QTest::newRow("plain text word") << word << true;
    QTest::newRow("plain text lines") << (word.left(3000) + "\r\n").repeated(3) << false;
}

// A page holding one word longer than Qt can lay out in reasonable time wraps at any
// character; the next ordinary page read into the same document wraps as before.
void TestRichText::longWordsWrapAnywhere()
{
    QFETCH(QByteArray, page);
    QFETCH(bool, anywhere);
    QTextDocument doc;
    QTextOption option = doc.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc.setDefaultTextOption(option);
    readRichText(page, doc);
    QCOMPARE(doc.defaultTextOption().wrapMode(),
             anywhere ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
    QVERIFY(doc.toPlainText().contains(u'x') || doc.toPlainText().contains(u'p'));
    readRichText("{\\rtf1 curta\\par}", doc);
    QCOMPARE(doc.defaultTextOption().wrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

// Thousands of fonts, each used: every run keeps its own font's name, and the page is
// written back with all of them.
void TestRichText::manyFontsKeepTheirNames()
{
    const int n = 3000;
    QByteArray table, body;
    for (int i = 0; i < n; ++i) {
        table += "{\\f" + QByteArray::number(i) + " Fonte " + QByteArray::number(i) + ";}";
        body += "\\f" + QByteArray::number(i) + " p" + QByteArray::number(i) + " ";
    }
    QTextDocument doc;
    readRichText("{\\rtf1{\\fonttbl" + table + "}" + body + "}", doc);
    int runs = 0;
    for (auto it = doc.begin().begin(); !it.atEnd(); ++it, ++runs) {
        const QTextFragment fragment = it.fragment();
        QCOMPARE(fragment.text(), QStringLiteral("p%1 ").arg(runs));
        QCOMPARE(fragment.charFormat().fontFamilies().toStringList(),
                 QStringList{QStringLiteral("Fonte %1").arg(runs)});
    }
    QCOMPARE(runs, n);
    QTextDocument again;
    readRichText(writeRtf(doc), again);
    QCOMPARE(again.begin().begin().fragment().charFormat().fontFamilies().toStringList(),
             QStringList{"Fonte 0"});
    QVERIFY(writeRtf(again).contains("Fonte 2999;"));
}

void TestRichText::longListsStayLinear()
{
    // Qt walks a whole list again for each paragraph added to it: one list of 20 000 items
    // took 17 s to read, and a page the program wrote itself read back just as slowly.
    QElapsedTimer clock;
    clock.start();
    const int n = 40000;
    const QByteArray bullets = "{\\rtf1{\\fonttbl{\\f0 Verdana;}{\\f1\\fcharset2 Symbol;}}"
                               "\\pard{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'b7}}\\f0 " +
                               QByteArray("{\\pntext\\f1\\'b7\\tab}item\\par ").repeated(n) +
                               "\\pard end\\par}";
    QTextDocument list;
    readRichText(bullets, list);
    QCOMPARE(list.blockCount(), n + 1);
    for (QTextBlock b = list.begin(); b != list.lastBlock(); b = b.next())
        QVERIFY(b.textList() && b.textList()->format().style() == QTextListFormat::ListDisc);
    QVERIFY(!list.lastBlock().textList());
    // Written and read again it is the same page, and as quick to read.
    const QByteArray written = writeRtf(list);
    QTextDocument again;
    readRichText(written, again);
    QCOMPARE(again.blockCount(), n + 1);
    QCOMPARE(writeRtf(again), written);

    // Nested lists: the level (here the style) changes from one paragraph to the next.
    const QByteArray nested =
        "{\\rtf1 " +
        QByteArray(
            "\\pard{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}a\\par\\pard{\\*\\pn\\pnlvlbody\\pndec}\\li400 b\\par ")
            .repeated(n / 2) +
        "}";
    QTextDocument levels;
    readRichText(nested, levels);
    QCOMPARE(levels.blockCount(), n);

    // A numbered list of ordinary length stays one list: its numbers run on.
    const QByteArray numbered =
        "{\\rtf1\\pard{\\*\\pn\\pnlvlbody\\pndec{\\pntxta.}}" + QByteArray("passo\\par ").repeated(300) + "}";
    QTextDocument steps;
    readRichText(numbered, steps);
    QTextList *stepList = steps.begin().textList();
    QVERIFY(stepList);
    QCOMPARE(stepList->count(), 300);
    QCOMPARE(stepList->itemText(steps.lastBlock()), QStringLiteral("300."));
    // The bound separates linear from quadratic in an optimised build; the sanitizers and an
    // unoptimised build slow every step alike, so it is four times as wide there.
#if defined(__SANITIZE_ADDRESS__) || !defined(__OPTIMIZE__)
    const qint64 bound = 120000;
#else
    const qint64 bound = 30000;
#endif
    QVERIFY2(clock.elapsed() < bound, qPrintable(QString::number(clock.elapsed())));
}

void TestRichText::emptyParagraphKeepsTheFormatInEffect()
{
    // A page ending in a blank line, as the diary writes it: text typed into that line
    // keeps the page's font, size and colour.
    const QByteArray page = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}}"
                            "{\\colortbl ;\\red192\\green192\\blue192;}"
                            "\\pard\\cf1\\f0\\fs32 linha\\par\\par\r\n}\r\n";
    QTextDocument doc;
    readRichText(page, doc);
    QCOMPARE(doc.blockCount(), 2);
    QTextCursor typing(&doc);
    typing.movePosition(QTextCursor::End);
    typing.insertText(QStringLiteral("nova"));
    const QTextCharFormat typed = QTextCursor(doc.lastBlock()).block().begin().fragment().charFormat();
    QCOMPARE(typed.fontFamilies().toStringList(), QStringList{"Verdana"});
    QCOMPARE(typed.fontPointSize(), 16.0);
    QCOMPARE(typed.foreground().color(), QColor(192, 192, 192));
    const QByteArray written = writeRtf(doc);
    QVERIFY2(written.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}}"), written.constData());
    QVERIFY(!written.contains("\\fs16"));

    // An empty first paragraph as well.
    QTextDocument first;
    readRichText("{\\rtf1{\\fonttbl{\\f0 Verdana;}}\\f0\\fs40\\par x\\par}", first);
    QCOMPARE(first.begin().charFormat().fontPointSize(), 20.0);
}

void TestRichText::everyPrefixOfEveryFixtureReads_data()
{
    QTest::addColumn<QString>("file");
    const QStringList files = QDir(QStringLiteral(ZORV_TEST_DATA "/rtf")).entryList({"*.rtf"});
    for (const QString &f : files)
        QTest::newRow(qPrintable(f)) << f;
}

void TestRichText::everyPrefixOfEveryFixtureReads()
{
    QFETCH(QString, file);
    const QByteArray bytes = fixture(file);
    const QString full = textOf(bytes);
    // Shorter than "{\\rtf" the bytes are plain text.
    for (qsizetype n = 5; n <= bytes.size(); ++n) {
        const QString text = textOf(bytes.first(n));
        // A cut inside an escape or a picture may change its last character only.
        const QString stable = text.left(std::max<qsizetype>(0, text.size() - 1));
        QVERIFY2(full.startsWith(stable), qPrintable(QStringLiteral("%1 bytes: %2").arg(n).arg(text)));
    }
}

void TestRichText::fileSaveIsAtomicAndLoadMarksUnmodified()
{
    TempDataFolder data;
    const QString path = data.file("dados/Notas/Notas.speed");
    QTextDocument doc;
    QVERIFY(!loadRichTextFile(path, doc)); // missing
    QTextCursor(&doc).insertText("nota");
    QVERIFY(doc.isModified());
    QVERIFY(saveRichTextFile(path, doc));
    QVERIFY(!doc.isModified());
    QVERIFY(data.read("dados/Notas/Notas.speed").startsWith("{\\rtf1\\ansi\\ansicpg1252"));
    QTextDocument back;
    QVERIFY(loadRichTextFile(path, back));
    QVERIFY(!back.isModified());
    QCOMPARE(back.toPlainText(), "nota");
    // A save that cannot land leaves the document modified and nothing behind.
    QTextCursor(&doc).insertText("x");
    QVERIFY(!saveRichTextFile(data.file("dados/missing/folder"), doc));
    QVERIFY(doc.isModified());
}

void TestRichText::documentNeverLoadsNamedResources()
{
    TempDataFolder data;
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString file = data.file("dados/picture.png");
    QVERIFY(red.save(file));
    ContainedTextDocument contained;
    QVERIFY(contained.resource(QTextDocument::ImageResource, QUrl::fromLocalFile(file)).isNull());
    contained.setHtml("<img src=\"" + QUrl::fromLocalFile(file).toString() + "\">");
    QVERIFY(contained.resource(QTextDocument::ImageResource, QUrl::fromLocalFile(file)).isNull());
    // A plain document would have read it: the check above means something.
    QTextDocument plain;
    QVERIFY(!plain.resource(QTextDocument::ImageResource, QUrl::fromLocalFile(file)).isNull());
}

QTEST_MAIN(TestRichText)
#include "tst_richtext.moc"

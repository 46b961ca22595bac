#include "loggedwarnings.h"
#include "store/textlist.h"
#include "tempdatafolder.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace zorv;

class TestTextList : public QObject
{
    Q_OBJECT

private slots:
    void decodeLines_data();
    void decodeLines();
    void encodeLines_data();
    void encodeLines();
    void appendLineMatchesLoadAppendSave_data();
    void appendLineMatchesLoadAppendSave();
    void windows1252RoundTripsEveryByte();
    void unrepresentableCharacterBecomesQuestionMark();
    void untouchedFileKeepsItsBytes_data();
    void untouchedFileKeepsItsBytes();
    void missingFileIsSkipped();
    void emptyListGivesZeroByteFile();
    void encodingIsRememberedAcrossClear();
    void failedSaveKeepsPreviousFile();
    void saveIntoMissingFolderFails();
    void loadOfFolderFails();
    void utf8WhenNeededPolicy();
};

void TestTextList::decodeLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("encoding");

    const int ansi = int(TextEncoding::Ansi);
    QTest::newRow("empty") << QByteArray() << QStringList() << ansi;
    QTest::newRow("empty, not null") << QByteArray("") << QStringList() << ansi;
    QTest::newRow("NUL first") << QByteArray("\0a", 2) << QStringList() << ansi;
    QTest::newRow("no final break") << QByteArray("a\r\nb") << QStringList{"a", "b"} << ansi;
    QTest::newRow("final CR LF adds no line") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"} << ansi;
    QTest::newRow("blank line kept") << QByteArray("a\r\n\r\nb\r\n") << QStringList{"a", "", "b"} << ansi;
    QTest::newRow("mixed ends") << QByteArray("a\rb\nc\r\nd") << QStringList{"a", "b", "c", "d"} << ansi;
    QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << QStringList{"a", "", "b"} << ansi;
    QTest::newRow("lone CR at end") << QByteArray("a\r") << QStringList{"a"} << ansi;
    QTest::newRow("NUL ends the text") << QByteArray("a\r\nb\0c\r\nd", 10) << QStringList{"a", "b"} << ansi;
    QTest::newRow("latin letters") << QByteArray("Cr\xe9"
                                                 "dito\r\nS\xe3o")
                                   << QStringList{"Crédito", "São"} << ansi;
    QTest::newRow("euro and quotes") << QByteArray("\x80 \x93x\x94") << QStringList{"€ “x”"} << ansi;
    QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF"
                                             "Cr\xC3\xA9"
                                             "dito\r\n")
                               << QStringList{"Crédito"} << int(TextEncoding::Utf8Bom);
    QTest::newRow("bom only") << QByteArray("\xEF\xBB\xBF") << QStringList() << int(TextEncoding::Utf8Bom);
    // Only the first mark is the file's; the next U+FEFF is the text's first character.
    QTest::newRow("utf-8 second mark is text")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                      "a")
        << QStringList{QChar(0xFEFF) + QStringLiteral("a")} << int(TextEncoding::Utf8Bom);
    QTest::newRow("utf-16 le second mark is text")
        << QByteArray("\xFF\xFE\xFF\xFE"
                      "a\0",
                      6)
        << QStringList{QChar(0xFEFF) + QStringLiteral("a")} << int(TextEncoding::Utf16LE);
    QTest::newRow("utf-16 be second mark is text")
        << QByteArray("\xFE\xFF\xFE\xFF\0a", 6) << QStringList{QChar(0xFEFF) + QStringLiteral("a")}
        << int(TextEncoding::Utf16BE);
    QTest::newRow("utf-16 le") << QByteArray("\xFF\xFE"
                                             "a\0\r\0\n\0\xe9\0",
                                             10)
                               << QStringList{"a", "é"} << int(TextEncoding::Utf16LE);
    QTest::newRow("utf-16 be") << QByteArray("\xFE\xFF\0a\0\n\0b", 8) << QStringList{"a", "b"}
                               << int(TextEncoding::Utf16BE);
    QTest::newRow("utf-16 odd byte count") << QByteArray("\xFF\xFE"
                                                         "a\0\n\0b",
                                                         7)
                                           << QStringList{"a", "\uFFFD"} << int(TextEncoding::Utf16LE);
    QTest::newRow("utf-16 NUL ends") << QByteArray("\xFF\xFE"
                                                   "a\0\0\0b\0",
                                                   8)
                                     << QStringList{"a"} << int(TextEncoding::Utf16LE);
}

void TestTextList::decodeLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(int, encoding);
    TextEncoding enc = TextEncoding::Ansi;
    QCOMPARE(zorv::decodeLines(bytes, &enc), lines);
    QCOMPARE(int(enc), encoding);
}

void TestTextList::encodeLines_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty list") << QStringList() << int(TextEncoding::Utf8Bom) << QByteArray();
    QTest::newRow("ansi") << QStringList{"Crédito", ""} << int(TextEncoding::Ansi)
                          << QByteArray("Cr\xe9"
                                        "dito\r\n\r\n");
    QTest::newRow("utf-8 with mark") << QStringList{"é"} << int(TextEncoding::Utf8Bom)
                                     << QByteArray("\xEF\xBB\xBF\xC3\xA9\r\n");
    QTest::newRow("utf-16 le with mark") << QStringList{"a"} << int(TextEncoding::Utf16LE)
                                         << QByteArray("\xFF\xFE"
                                                       "a\0\r\0\n\0",
                                                       8);
    QTest::newRow("utf-16 be with mark")
        << QStringList{"a"} << int(TextEncoding::Utf16BE) << QByteArray("\xFE\xFF\0a\0\r\0\n", 8);
}

void TestTextList::encodeLines()
{
    QFETCH(QStringList, lines);
    QFETCH(int, encoding);
    QFETCH(QByteArray, bytes);
    QCOMPARE(zorv::encodeLines(lines, TextEncoding(encoding)), bytes);
}

void TestTextList::appendLineMatchesLoadAppendSave_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("clean ledger") << QByteArray("1,00<1>x\r\n\x80 \x81\r\n");
    QTest::newRow("no final break") << QByteArray("a\r\nb");
    QTest::newRow("lone LF") << QByteArray("a\nb\r\n");
    QTest::newRow("lone CR") << QByteArray("a\rb\r\n");
    QTest::newRow("CR at the end") << QByteArray("a\r");
    QTest::newRow("NUL inside") << QByteArray("a\r\nb\0c\r\n", 8);
    QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF"
                                                   "a\r\n");
    QTest::newRow("utf-16 with mark") << QByteArray("\xFF\xFE"
                                                    "a\0\r\0\n\0",
                                                    8);
}

void TestTextList::appendLineMatchesLoadAppendSave()
{
    QFETCH(QByteArray, bytes);
    const QString line = QStringLiteral("2,00<1>15/03/2013<2>Exit<3>Padaria São João €<4>Cartão");
    TextEncoding encoding = TextEncoding::Ansi;
    QStringList lines = zorv::decodeLines(bytes, &encoding);
    lines.append(line);
    QCOMPARE(appendLineToFileBytes(bytes, line), zorv::encodeLines(lines, encoding));
}

void TestTextList::windows1252RoundTripsEveryByte()
{
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(char(b));
    const QString text = decodeWindows1252(all);
    QCOMPARE(encodeWindows1252(text), all);
    // The five bytes the code page leaves undefined map to the C1 control of the same value.
    for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        QCOMPARE(decodeWindows1252(QByteArray(1, char(b))), QString(QChar(b)));
    QVERIFY(!text.contains(QChar::ReplacementCharacter));
}

void TestTextList::unrepresentableCharacterBecomesQuestionMark()
{
    QCOMPARE(encodeWindows1252(u"a\u4e2db"), QByteArray("a?b"));
}

void TestTextList::untouchedFileKeepsItsBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ledger lines with undefined bytes")
        << QByteArray("1.234,50<1>05/03/2013<2>Sa\xed"
                      "da<3>Mercado \x81\x8d\x8f\x90\x9d<4>Dinheiro\r\n"
                      "10,00<1>06/03/2013<2>Entrada<3>Sal\xe1rio \x80\r\n");
    QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF"
                                                   "S\xC3\xA3o Paulo\r\nx\r\n");
    QTest::newRow("utf-16 le with mark") << QByteArray("\xFF\xFE"
                                                       "a\0\r\0\n\0",
                                                       8);
    // Files that once went wrong (an empty file, a second mark) and other small samples.
    const QDir fixtures(QStringLiteral(ZORV_TEST_DATA "/textlist"));
    for (const QString &name : fixtures.entryList(QDir::Files)) {
        QFile file(fixtures.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTest::newRow(qPrintable(name)) << file.readAll();
    }
}

void TestTextList::untouchedFileKeepsItsBytes()
{
    QFETCH(QByteArray, bytes);
    TempDataFolder data;
    QVERIFY(data.write("dados/Finance/03.2013.fin", bytes));
    TextList list;
    QCOMPARE(list.load(data.file("dados\\Finance\\03.2013.fin")), TextList::LoadResult::Loaded);
    QVERIFY(list.save(data.file("dados\\Finance\\03.2013.fin")));
    QCOMPARE(data.read("dados/Finance/03.2013.fin"), bytes);
}

void TestTextList::missingFileIsSkipped()
{
    TempDataFolder data;
    TextList list(QStringList{"kept"});
    QCOMPARE(list.load(data.file("dados\\Fontes.cad")), TextList::LoadResult::Missing);
    QCOMPARE(list.lines(), QStringList{"kept"});
}

void TestTextList::emptyListGivesZeroByteFile()
{
    TempDataFolder data;
    QVERIFY(data.write("dados/Fontes.cad", "old\r\n"));
    TextList list;
    QVERIFY(list.save(data.file("dados\\Fontes.cad")));
    QVERIFY(QFile::exists(data.file("dados\\Fontes.cad")));
    QCOMPARE(data.read("dados/Fontes.cad"), QByteArray());
    TextList again(QStringList{"x"});
    QCOMPARE(again.load(data.file("dados\\Fontes.cad")), TextList::LoadResult::Loaded);
    QVERIFY(again.lines().isEmpty());
}

void TestTextList::encodingIsRememberedAcrossClear()
{
    TempDataFolder data;
    QVERIFY(data.write("dados/a.txt", "\xEF\xBB\xBFold\r\n"));
    TextList staging;
    QCOMPARE(staging.load(data.file("dados/a.txt")), TextList::LoadResult::Loaded);
    staging.clear();
    staging.lines() << QStringLiteral("é");
    QVERIFY(staging.save(data.file("dados/b.txt")));
    QCOMPARE(data.read("dados/b.txt"), QByteArray("\xEF\xBB\xBF\xC3\xA9\r\n"));

    // A missing file leaves both lines and encoding alone.
    QCOMPARE(staging.load(data.file("dados/none.txt")), TextList::LoadResult::Missing);
    QCOMPARE(staging.encoding(), TextEncoding::Utf8Bom);
}

void TestTextList::failedSaveKeepsPreviousFile()
{
    TempDataFolder data;
    const QByteArray old("line 1\r\nline 2\r\n");
    QVERIFY(data.write("dados/Fontes.cad", old));
    // A read-only folder cannot take the temporary file: the save fails, the old bytes stay.
    const QString folder = data.file("dados");
    const auto perms = QFile::permissions(folder);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool saved = TextList(QStringList{"new"}).save(data.file("dados/Fontes.cad")).ok();
    QFile::setPermissions(folder, perms);
    if (saved)
        QSKIP("running with rights that ignore folder permissions");
    QCOMPARE(data.read("dados/Fontes.cad"), old);
}

// A failed save says why, names the file, and leaves exactly one warning in the store's log.
void TestTextList::saveIntoMissingFolderFails()
{
    TempDataFolder data;
    LoggedWarnings logged;
    const WriteResult result = TextList(QStringList{"x"}).save(data.file("dados\\Nowhere\\a.txt"));
    QVERIFY(!result);
    QVERIFY(!QFile::exists(data.file("dados\\Nowhere")));
    QVERIFY2(result.reason().contains("a.txt"), qPrintable(result.reason()));
    QCOMPARE(logged.lines.size(), 1);
    QVERIFY2(logged.lines.first().startsWith("zorv.store ") && logged.lines.first().contains("a.txt"),
             qPrintable(logged.lines.first()));
}

void TestTextList::loadOfFolderFails()
{
    TempDataFolder data;
    TextList list(QStringList{"kept"});
    QCOMPARE(list.load(data.file("dados\\Finance")), TextList::LoadResult::Failed);
    QCOMPARE(list.lines(), QStringList{"kept"});
}

void TestTextList::utf8WhenNeededPolicy()
{
    TempDataFolder data;
    // Text the code page holds stays byte-exact Windows-1252.
    TextList list(TextList::SavePolicy::Utf8WhenNeeded);
    list.lines() << QStringLiteral("Reunião €");
    QVERIFY(list.save(data.file("dados/a.txt")));
    QCOMPARE(data.read("dados/a.txt"), QByteArray("Reuni\xE3o \x80\r\n"));
    QCOMPARE(list.encoding(), TextEncoding::Ansi);

    // A line beyond it moves the whole file to UTF-8 with its mark, and the list stays there.
    list.lines() << QStringLiteral("Ωmega");
    QVERIFY(list.save(data.file("dados/a.txt")));
    QCOMPARE(data.read("dados/a.txt"),
             QByteArray("\xEF\xBB\xBFReuni\xC3\xA3o \xE2\x82\xAC\r\n\xCE\xA9mega\r\n"));
    list.lines().removeLast();
    QVERIFY(list.save(data.file("dados/a.txt")));
    QVERIFY(data.read("dados/a.txt").startsWith("\xEF\xBB\xBF"));

    // The default keeps the code page and writes '?'.
    TextList plain(QStringList{QStringLiteral("Ωmega")});
    QVERIFY(plain.save(data.file("dados/b.txt")));
    QCOMPARE(data.read("dados/b.txt"), QByteArray("?mega\r\n"));

    QVERIFY(fitsWindows1252(u"Ação € ‰ Ÿ"));
    QVERIFY(!fitsWindows1252(u"Ω"));
    QVERIFY(fitsWindows1252(u"\u0081")); // an undefined byte of the code page round-trips
}

QTEST_GUILESS_MAIN(TestTextList)
#include "tst_textlist.moc"

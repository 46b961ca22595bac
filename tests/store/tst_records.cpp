#include "store/records.h"

#include <QTest>

using namespace zorv;

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void fieldRoutines_data();
    void fieldRoutines();
    void fieldAfterCutsAt255();
    void lastPos_data();
    void lastPos();
    void extractFields_data();
    void extractFields();
    void prefixLookup_data();
    void prefixLookup();
    void wholeLineLookup_data();
    void wholeLineLookup();
    void oneLineTextBlanksLineBreaks();
    void withoutMarkersRemovesUntilNoneIsLeft_data();
    void withoutMarkersRemovesUntilNoneIsLeft();
};

void TestRecords::fieldRoutines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("marker");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("marker missing") << "abc"
                                    << "<1>"
                                    << "abc"
                                    << "";
    QTest::newRow("first occurrence") << "a<1>b<1>c"
                                      << "<1>"
                                      << "a"
                                      << "b<1>c";
    QTest::newRow("marker at start") << "<1>x"
                                     << "<1>"
                                     << ""
                                     << "x";
    QTest::newRow("marker at end") << "x<1>"
                                   << "<1>"
                                   << "x"
                                   << "";
}

void TestRecords::fieldRoutines()
{
    QFETCH(QString, text);
    QFETCH(QString, marker);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QCOMPARE(FieldBefore(text, marker), before);
    QCOMPARE(FieldAfter(text, marker), after);
}

void TestRecords::fieldAfterCutsAt255()
{
    const QString tail(300, QLatin1Char('x'));
    QCOMPARE(FieldAfter(QStringLiteral("a<3>") + tail, kMarker3), QString(255, QLatin1Char('x')));
}

void TestRecords::lastPos_data()
{
    QTest::addColumn<QString>("sub");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pos");
    QTest::newRow("last of two") << "ab"
                                 << "xabyab" << 5;
    QTest::newRow("longer than text") << "abcd"
                                      << "ab" << 0;
    QTest::newRow("none") << "z"
                          << "abc" << 0;
    QTest::newRow("whole text") << "abc"
                                << "abc" << 1;
    QTest::newRow("empty sub") << ""
                               << "abc" << 4;
    QTest::newRow("overlapping") << "aa"
                                 << "aaa" << 2;
    QTest::newRow("case matters") << "A"
                                  << "abc" << 0;
}

void TestRecords::lastPos()
{
    QFETCH(QString, sub);
    QFETCH(QString, text);
    QFETCH(int, pos);
    QCOMPARE(LastPos(sub, text), pos);
}

void TestRecords::extractFields_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("five fields") << "1.234,50<1>05/03/2013<2>Saída<3>Mercado<4>Cartão"
                                 << QStringList{"1.234,50", "05/03/2013", "Saída", "Mercado", "Cartão"};
    QTest::newRow("without <4>") << "10,00<1>06/03/2013<2>Entrada<3>Salário"
                                 << QStringList{"10,00", "06/03/2013", "Entrada", "Salário", ""};
    QTest::newRow("empty F4 keeps the marker in F3")
        << "1<1>2<2>3<3>4<4>" << QStringList{"1", "2", "3", "4<4>", ""};
    QTest::newRow("no markers") << "abc" << QStringList{"abc", "", "", "", ""};
    QTest::newRow("markers out of order")
        << "<2>a<1>b<2>c<3>d" << QStringList{"<2>a", "b", "a<1>b<2>c", "d", ""};
    QTest::newRow("later marker first, one missing")
        << "x<3>y<1>z" << QStringList{"x<3>y", "z", "", "y<1>z", ""};
    QTest::newRow("field cut at 255")
        << "1<1>" + QString(300, 'x') + "<2>Exit<3>s" << QStringList{"1", QString(255, 'x'), "Exit", "s", ""};
    QTest::newRow("blank line") << "" << QStringList{"", "", "", "", ""};
}

void TestRecords::extractFields()
{
    QFETCH(QString, line);
    QFETCH(QStringList, fields);
    const TaggedFields f = zorv::extractFields(line);
    QCOMPARE((QStringList{f.f0, f.f1, f.f2, f.f3, f.f4}), fields);
}

void TestRecords::prefixLookup_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("index");
    QTest::newRow("other case only: second line before first")
        << QStringList{"Ana<>1", "ana<>2"} << "ANA<>" << 1;
    QTest::newRow("other case only: first line last") << QStringList{"Ana<>1", "Bia<>2"} << "ana<>" << 0;
    QTest::newRow("earliest after first") << QStringList{"x", "key 1", "y", "key 2"} << "key" << 1;
    // Two names that differ only in case are two files: each key finds its own line.
    QTest::newRow("exact case wins over an earlier line")
        << QStringList{"x", "y", "Key 1", "key 2"} << "key" << 3;
    QTest::newRow("exact case wins over the search order")
        << QStringList{"A<>/m/A.txt", "a<>/m/a.txt"} << "A<>/m/A.txt" << 0;
    QTest::newRow("exact case, second line")
        << QStringList{"A<>/m/A.txt", "a<>/m/a.txt"} << "a<>/m/a.txt" << 1;
    QTest::newRow("accented letters ignore case") << QStringList{"x", "ÁGUA"} << "água" << 1;
    QTest::newRow("none") << QStringList{"a", "b"} << "c" << -1;
    QTest::newRow("empty list") << QStringList() << "c" << -1;
}

void TestRecords::prefixLookup()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, key);
    QFETCH(int, index);
    QCOMPARE(findLineByPrefix(lines, key), qsizetype(index));
}

void TestRecords::wholeLineLookup_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("index");
    QTest::newRow("longer line sharing the beginning is not taken")
        << QStringList{"x", "/usr/bin/gimp-2.10", "/usr/bin/gimp"} << "/usr/bin/gimp" << 2;
    QTest::newRow("other case only, second line first")
        << QStringList{"Agenda<>/a", "AGENDA<>/A"} << "agenda<>/a" << 1;
    QTest::newRow("other case only, first line last") << QStringList{"Docs<>/h", "y"} << "docs<>/h" << 0;
    QTest::newRow("two lines differing in case: the first")
        << QStringList{"/m/Song.mp3", "/m/song.mp3"} << "/m/Song.mp3" << 0;
    QTest::newRow("two lines differing in case: the second")
        << QStringList{"/m/Song.mp3", "/m/song.mp3"} << "/m/song.mp3" << 1;
    QTest::newRow("the same line twice: the second")
        << QStringList{"Agenda<>/x", "Agenda<>/x"} << "Agenda<>/x" << 1;
    QTest::newRow("none") << QStringList{"/m/Song.mp3", "/m/song.mp3"} << "/m/song" << -1;
    QTest::newRow("prefix only") << QStringList{"Docs<>/h/Docs antigo"} << "Docs<>/h/Docs" << -1;
}

void TestRecords::wholeLineLookup()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, line);
    QFETCH(int, index);
    QCOMPARE(findWholeLine(lines, line), qsizetype(index));
}

void TestRecords::oneLineTextBlanksLineBreaks()
{
    QCOMPARE(oneLineText(QStringLiteral("a\r\nb\nc\rd")), QStringLiteral("a  b c d"));
    QCOMPARE(oneLineText(QString(QStringLiteral("x")) + QChar(0) + u'y'), QStringLiteral("x y"));
    QCOMPARE(oneLineText(QStringLiteral("Reunião | <>")), QStringLiteral("Reunião | <>"));
}

void TestRecords::withoutMarkersRemovesUntilNoneIsLeft_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "Padaria" << QStringList{} << "Padaria";
    QTest::newRow("each marker") << "a<1>b<2>c<3>d<4>e" << QStringList{} << "abcde";
    QTest::newRow("nested") << "LOJA <<4>4>X" << QStringList{} << "LOJA X";
    QTest::newRow("deeply nested") << "<<<1>1>1>" << QStringList{} << "";
    QTest::newRow("marker across two kinds") << "<<2>3>x" << QStringList{} << "x";
    QTest::newRow("near misses stay") << "<5> <1 1> < 4>" << QStringList{} << "<5> <1 1> < 4>";
    QTest::newRow("extra texts") << "a|b<<>>c" << QStringList{"<>", "|"} << "abc";
    QTest::newRow("extra nested with a marker") << "<<1>>x" << QStringList{"<>"} << "x";
}

void TestRecords::withoutMarkersRemovesUntilNoneIsLeft()
{
    QFETCH(QString, text);
    QFETCH(QStringList, extra);
    QFETCH(QString, expected);
    QCOMPARE(withoutMarkers(text, extra), expected);
}

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"

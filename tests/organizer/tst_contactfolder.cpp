// Contact files without a window: the name check, the name list and its order, appending to
// a contact's history, reading and deleting; the contact and activity lines and the memo's
// lines.
#include "organizer/activitymappage.h"
#include "organizer/contactfolder.h"
#include "organizer/contactrecords.h"
#include "store/textlist.h"
#include "tempdatafolder.h"
#include "treesnapshot.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>

#include <unistd.h>

using namespace zorv;

class TestContactFolder : public QObject
{
    Q_OBJECT

private slots:
    void names_data();
    void names();
    void nameListIgnoresTheMachineLocale();
    void appendKeepsHistoryInTheExistingSpelling();
    void unreadableFileIsNeverReplaced();
    void refusedNamesTouchNothing();
    void linesAndDelete();
    void contactLines();
    void activityLines();
    void memoLines_data();
    void memoLines();
};

void TestContactFolder::names_data()
{
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("phone book") << ".tel" << QStringList{".OCULTO", "ÁGUA", "ANA", "bruno", "ÍRIS", "Maria"};
    QTest::newRow("activity map") << ".map" << QStringList{"x"};
}

void TestContactFolder::names()
{
    QFETCH(QString, extension);
    QFETCH(QStringList, expected);
    TempDataFolder data;
    for (const char *file : {"Maria.tel", "ANA.TEL", "ÍRIS.tel", "bruno.tel", "ÁGUA.tel", "x.map", "Tasks.go",
                             ".OCULTO.tel", ".tel"})
        QVERIFY(data.write(QStringLiteral("dados/Notas/") + QString::fromUtf8(file), "x\r\n"));
    // A folder is not a contact, whatever its name.
    QVERIFY(QDir(data.file("dados/Notas")).mkdir("PASTA.tel"));
    QCOMPARE(ContactFolder(data.paths(), extension).names(), expected);
}

void TestContactFolder::nameListIgnoresTheMachineLocale()
{
    // Swedish puts Ö after Z; the lists keep the Portuguese order on any machine.
    QStringList names{"Zeca", "Östen", "ana", "ANA", "Álvaro"};
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    sortContactNames(names);
    QLocale::setDefault(before);
    QCOMPARE(names, (QStringList{"Álvaro", "ANA", "ana", "Östen", "Zeca"}));
}

void TestContactFolder::appendKeepsHistoryInTheExistingSpelling()
{
    TempDataFolder data;
    QVERIFY(data.write("dados/Notas/Maria Silva.tel", "MARIA SILVA<1>(11) 1111-1111<2>Lazer<3>a@b<4>x\r\n"));
    const ContactFolder folder(data.paths(), kPhoneBookExtension);
    TextList list(TextList::SavePolicy::Utf8WhenNeeded);
    list.lines() << "left over from another contact";
    QVERIFY(folder.appendLine(list, "MARIA SILVA", "MARIA SILVA<1>new"));
    QCOMPARE(data.read("dados/Notas/Maria Silva.tel"),
             QByteArray("MARIA SILVA<1>(11) 1111-1111<2>Lazer<3>a@b<4>x\r\nMARIA SILVA<1>new\r\n"));
    QCOMPARE(QDir(data.file("dados/Notas")).entryList(QDir::Files), QStringList{"Maria Silva.tel"});
    QCOMPARE(folder.lines("maria silva").value_or(QStringList{"refused"}),
             (QStringList{"MARIA SILVA<1>(11) 1111-1111<2>Lazer<3>a@b<4>x", "MARIA SILVA<1>new"}));

    // A new contact gets a file of its own, in the code page while its text fits.
    QVERIFY(folder.appendLine(list, "JOÃO", "JOÃO<1>x"));
    QCOMPARE(data.read("dados/Notas/JOÃO.tel"), QByteArray("JO\xc3O<1>x\r\n"));
    QVERIFY(folder.appendLine(list, "JOÃO", "JOÃO<1>☎"));
    QCOMPARE(data.read("dados/Notas/JOÃO.tel"), QByteArray("\xef\xbb\xbfJOÃO<1>x\r\nJOÃO<1>☎\r\n"));
}

void TestContactFolder::unreadableFileIsNeverReplaced()
{
    TempDataFolder data;
    const ContactFolder folder(data.paths(), kActivityMapExtension);
    TextList list;
    // A name taken by a folder cannot be read as a contact file.
    QVERIFY(QDir(data.file("dados/Notas")).mkdir("PASTA.map"));
    QVERIFY(!folder.appendLine(list, "PASTA", "PASTA<1>x"));
    QVERIFY(!folder.lines("PASTA"));
    QVERIFY(!folder.remove("PASTA"));
    QVERIFY(QFileInfo(data.file("dados/Notas/PASTA.map")).isDir());

    QVERIFY(data.write("dados/Notas/FECHADO.map", "FECHADO<1>01/01/2013<2>Vendas<3>HISTORY\r\n"));
    QFile locked(data.file("dados/Notas/FECHADO.map"));
    QVERIFY(locked.setPermissions(QFileDevice::WriteOwner));
    if (::access(QFile::encodeName(locked.fileName()).constData(), R_OK) == 0)
        QSKIP("running with rights that read any file");
    QVERIFY(!folder.appendLine(list, "FECHADO", "FECHADO<1>x"));
    QVERIFY(locked.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QCOMPARE(data.read("dados/Notas/FECHADO.map"), QByteArray("FECHADO<1>01/01/2013<2>Vendas<3>HISTORY\r\n"));
}

void TestContactFolder::refusedNamesTouchNothing()
{
    TempDataFolder data;
    QVERIFY(data.write("dados/Notas/X.tel", "x\r\n"));
    QVERIFY(data.write("dados/Fontes.cad", "Mercado\r\n"));
    QVERIFY(data.write("dados/Fontes.cad.tel", "y\r\n"));
    const auto before = snapshot(data.root());
    const ContactFolder folder(data.paths(), kPhoneBookExtension);
    TextList list;
    const QStringList refused{
        "",      "..",   "..\\..\\X",        "..\\Fontes.cad",  "A/B", "X.", "X ", "CON",
        "con.x", "LPT¹", QString(252, u'A'), QString(128, u'Ç')};
    for (const QString &name : refused) {
        QVERIFY2(!folder.acceptsName(name), qPrintable(name));
        QVERIFY(folder.fileOf(name).isEmpty());
        QVERIFY(!folder.appendLine(list, name, "line"));
        QVERIFY(!folder.lines(name));
        QVERIFY(!folder.remove(name));
    }
    QCOMPARE(snapshot(data.root()), before);
    // With its extension a name may not pass 255 units: 251 letters do, 252 do not.
    QVERIFY(folder.acceptsName(QString(251, u'A')));
}

void TestContactFolder::linesAndDelete()
{
    TempDataFolder data;
    QVERIFY(data.write("dados/Notas/Ana.tel", "ANA<1>a\r\n"));
    QVERIFY(data.write("dados/Notas/Ana.map", "ANA<1>b\r\n"));
    const ContactFolder phoneBook(data.paths(), kPhoneBookExtension);
    // No file: no lines, which is not a failure.
    QCOMPARE(phoneBook.lines("BRUNO").value_or(QStringList{"refused"}), QStringList());
    QVERIFY(!phoneBook.remove("BRUNO"));
    // Any spelling deletes the contact's file, and only that one.
    QVERIFY(phoneBook.remove("ANA"));
    QVERIFY(!QFile::exists(data.file("dados/Notas/Ana.tel")));
    QCOMPARE(data.read("dados/Notas/Ana.map"), QByteArray("ANA<1>b\r\n"));
}

void TestContactFolder::contactLines()
{
    const ContactEntry entry{"MARIA SILVA", "(11) 5555-1234", "Pessoal", kNoEmail, kNoNote};
    QCOMPARE(contactLine(entry),
             QStringLiteral("MARIA SILVA<1>(11) 5555-1234<2>Pessoal<3>Não informado<4>Sem observação"));
    // A pasted line break or NUL would split the record: they become spaces.
    const QString note = QStringLiteral("linha 1\r\nlinha 2") + QChar(0) + "fim";
    QCOMPARE(contactLine({"ANA", kUntouchedPhone, "Lazer", "a@b", note}),
             QStringLiteral("ANA<1>(  )     -    <2>Lazer<3>a@b<4>linha 1  linha 2 fim"));

    const ContactEntry read = readContactLine("ANA<1>(  )     -    <2>Lazer<3>a@b<4>" + QString(300, u'n'));
    QCOMPARE(read.name, QStringLiteral("ANA"));
    QCOMPARE(read.phone, kUntouchedPhone);
    QCOMPARE(read.category, QStringLiteral("Lazer"));
    QCOMPARE(read.email, QStringLiteral("a@b"));
    QCOMPARE(read.note, QString(255, u'n'));
    // A line without its last marker: the e-mail is what follows "<3>".
    QCOMPARE(readContactLine("ANA<1>p<2>c<3>mail").email, QStringLiteral("mail"));
    QCOMPARE(readContactLine("ANA<1>p<2>c<3>mail").note, QString());
}

void TestContactFolder::activityLines()
{
    QCOMPARE(activityLine({"JOAO PEREIRA", QDate(2013, 3, 5), "Vendas", "PROPOSTA ENVIADA"}),
             QStringLiteral("JOAO PEREIRA<1>05/03/2013<2>Vendas<3>PROPOSTA ENVIADA"));
    QCOMPARE(activityLine({"ANA", QDate(2013, 12, 31), "Pessoal", "A\nB"}),
             QStringLiteral("ANA<1>31/12/2013<2>Pessoal<3>A B"));
    // The topic is everything after "<3>", markers included, up to 255 characters.
    QCOMPARE(readActivityLine("ANA<1>31/12/2013<2>Pessoal<3>X<4>Y"),
             (QStringList{"ANA", "31/12/2013", "Pessoal", "X<4>Y"}));
}

void TestContactFolder::memoLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("paragraphs") << QStringLiteral("a\u2029b") << QStringList{"a", "b"};
    QTest::newRow("shift enter") << QStringLiteral("a\u2028b\u2029c") << QStringList{"a", "b", "c"};
    QTest::newRow("break at the end") << QStringLiteral("a\u2029") << QStringList{"a"};
    QTest::newRow("empty lines kept") << QStringLiteral("a\u2029\u2029b") << QStringList{"a", "", "b"};
    QTest::newRow("nul") << QString("a") + QChar(0) + "b" << QStringList{"a b"};
    QTest::newRow("cr lf") << QStringLiteral("a\r\nb") << QStringList{"a", "b"};
}

void TestContactFolder::memoLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(notesLines(text), lines);
}

QTEST_MAIN(TestContactFolder)
#include "tst_contactfolder.moc"

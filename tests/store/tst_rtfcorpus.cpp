#include "store/richtextfile.h"
#include "store/rtf/rtfwriter.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>

using namespace zorv;

// Reads every RTF document of a folder of real-world files named by ZORV_RTF_CORPUS (they
// stay where they are): each one must read, keep its text through a write and a second
// read, and show no RTF syntax as text. Skipped when the variable is not set.
class TestRtfCorpus : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryDocument_data()
    {
        QTest::addColumn<QString>("path");
        const QString folder = qEnvironmentVariable("ZORV_RTF_CORPUS");
        if (folder.isEmpty())
            return;
        const QDir dir(folder);
        for (const QString &name : dir.entryList({"*.rtf"}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }

    void readsEveryDocument()
    {
        if (qEnvironmentVariableIsEmpty("ZORV_RTF_CORPUS"))
            QSKIP("ZORV_RTF_CORPUS names no folder of RTF documents");
        QFETCH(QString, path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QTextDocument doc;
        readRichText(bytes, doc);
        const QString text = doc.toPlainText();
        QVERIFY2(!text.trimmed().isEmpty(), "no visible text");
        static const QRegularExpression controlWord(QStringLiteral("\\\\[a-z]{2,}-?[0-9]* ?"));
        QVERIFY2(!controlWord.match(text).hasMatch(), qPrintable(controlWord.match(text).captured()));
        QTextDocument back;
        readRichText(writeRtf(doc), back);
        QCOMPARE(back.toPlainText(), text);
        qInfo().noquote() << QFileInfo(path).fileName() << text.size()
                          << "characters:" << text.left(60).simplified();
    }
};

QTEST_MAIN(TestRtfCorpus)
#include "tst_rtfcorpus.moc"

#include "platform/policyvalues.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace zorv;

class TestPolicyValues : public QObject
{
    Q_OBJECT

private slots:
    void valuesLandOnlyInTheIniFile();
    void missingFolderFails();
};

void TestPolicyValues::valuesLandOnlyInTheIniFile()
{
    // A home and a configuration folder of their own, which must stay empty.
    QTemporaryDir home;
    QTemporaryDir standIn;
    QVERIFY(home.isValid() && standIn.isValid());
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());

    const QString ini = standIn.path() + "/Policies.ini";
    IniPolicyValues policies(ini);
    QVERIFY(policies.write("\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\",
                           {{"DisableTaskMgr", 1}}));
    QVERIFY(policies.write("\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\",
                           {{"NoChangeStartMenu", 1}, {"NoClose", 0}, {"NoLogOff", 1}}));

    QSettings read(ini, QSettings::IniFormat);
    const QString base = "Software/Microsoft/Windows/CurrentVersion/Policies/";
    QCOMPARE(read.value(base + "System/DisableTaskMgr").toInt(), 1);
    QCOMPARE(read.value(base + "Explorer/NoChangeStartMenu").toInt(), 1);
    QCOMPARE(read.value(base + "Explorer/NoClose", -1).toInt(), 0);
    QCOMPARE(read.value(base + "Explorer/NoLogOff").toInt(), 1);
    QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
}

void TestPolicyValues::missingFolderFails()
{
    QTemporaryDir standIn;
    IniPolicyValues policies(standIn.path() + "/gone/Policies.ini");
    QVERIFY(!policies.write("\\Software\\X\\", {{"A", 1}}));
    QVERIFY(!QFileInfo::exists(standIn.path() + "/gone"));
    QVERIFY(!IniPolicyValues(QString()).write("\\Software\\X\\", {{"A", 1}}));
}

QTEST_GUILESS_MAIN(TestPolicyValues)
#include "tst_policyvalues.moc"

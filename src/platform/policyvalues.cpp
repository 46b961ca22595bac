#include "policyvalues.h"

#include <QFileInfo>
#include <QSettings>

namespace zorv {

namespace {

// "\Software\...\System\" as a settings group: "Software/.../System".
QString groupOfKey(const QString &key)
{
    QStringList parts = key.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    return parts.join(QLatin1Char('/'));
}

} // namespace

bool IniPolicyValues::write(const QString &key, const QList<PolicyValue> &values)
{
    const QString group = groupOfKey(key);
    if (m_file.isEmpty() || group.isEmpty() || !QFileInfo(QFileInfo(m_file).path()).isDir())
        return false;
    QSettings settings(m_file, QSettings::IniFormat);
    settings.beginGroup(group);
    for (const PolicyValue &v : values)
        settings.setValue(v.name, v.value);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace zorv

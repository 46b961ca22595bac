#pragma once

#include <QList>
#include <QString>

namespace zorv {

// One named integer under a policy key.
struct PolicyValue
{
    QString name;
    int value = 0;
};

// The current user's policy values, written when the access password is set. Keys are
// given in registry form ("\Software\...\Policies\System\").
class PolicyValues
{
public:
    virtual ~PolicyValues() = default;
    // Writes `values` under `key`, creating the key when needed. False when the key could
    // not be opened or written; the caller goes on with its other keys.
    virtual bool write(const QString &key, const QList<PolicyValue> &values) = 0;
};

// An INI file that nothing reads: the values are kept, but the desktop's own settings are
// never touched, so setting the password cannot lock anyone out of their session.
class IniPolicyValues final : public PolicyValues
{
public:
    // `iniFile`: the file's full path; empty means nowhere to write.
    explicit IniPolicyValues(QString iniFile)
        : m_file(std::move(iniFile))
    {}
    bool write(const QString &key, const QList<PolicyValue> &values) override;
    QString file() const { return m_file; }

private:
    QString m_file;
};

} // namespace zorv

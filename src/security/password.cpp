#include "password.h"

#include "store/logging.h"
#include "store/textcodec.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace zorv {

namespace {

constexpr char16_t kKey[] = u"MAR352QT";

} // namespace

QString ScramblePassword(QStringView text)
{
    QString result = text.toString();
    for (char16_t k : std::u16string_view(kKey)) {
        for (QChar &c : result)
            c = QChar(char16_t(c.unicode() ^ k));
    }
    return result;
}

bool isStorablePassword(QStringView password)
{
    if (password.isEmpty())
        return false;
    const QString scrambled = ScramblePassword(password);
    for (QChar c : scrambled) {
        if (c == u'\r' || c == u'\n' || c == u'\0')
            return false;
    }
    return fitsWindows1252(scrambled);
}

PasswordStore::PasswordStore(const Paths &paths)
    : m_path(paths.windowsFile(kPasswordFile))
{}

bool PasswordStore::exists() const
{
    return !m_path.isEmpty() && QFileInfo(m_path).isFile();
}

WriteResult PasswordStore::set(const QString &password)
{
    if (!isStorablePassword(password))
        return WriteResult::failed(QCoreApplication::translate(
            "zorv::PasswordStore", "senha vazia ou com caracteres que não podem ser gravados"));
    const QByteArray bytes = encodeLines({ScramblePassword(password)}, TextEncoding::Ansi);
    return writeFileAtomically(m_path, bytes, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

bool PasswordStore::clear()
{
    if (!QFileInfo::exists(m_path))
        return true;
    QFile file(m_path);
    if (file.remove())
        return true;
    // The password stays in force; the file's name and the system's reason, never its content.
    qCWarning(lcSettings) << "password file not deleted:" << m_path << file.errorString();
    return false;
}

PasswordStore::Verdict PasswordStore::verify(const QString &typed)
{
    // Read first and ask whether the file exists only when that fails: one open per check.
    bool fileExists = true;
    if (const auto bytes = readWholeFile(m_path)) {
        m_copy = decodeLines(*bytes);
        if (m_mirror)
            m_mirror(m_copy);
    } else {
        fileExists = exists();
    }
    if (!fileExists && typed == kDefaultPassword)
        return Verdict::BuiltInMatch;
    if (typed == kMasterCode)
        return Verdict::BuiltInMatch;
    const QStringList &lines = m_copy;
    if (!lines.isEmpty() && !lines.first().isEmpty() && typed == ScramblePassword(lines.first()))
        return Verdict::StoredMatch;
    return Verdict::NoMatch;
}

} // namespace zorv

#pragma once

#include <QString>

namespace zorv {

// Where the program's files live. Code names data files by their canonical relative
// form, with backslashes and any letter case ("dados\Finance\03.2013.fin",
// "Dados\ma.list"); resolve() turns that into a native path. Each component that
// already exists is matched without regard to letter case, so every spelling reaches
// the same file on a case-sensitive file system; components that do not exist yet keep
// the spelling given.
class Paths
{
public:
    // exeDir: folder of the executable; windowsDir: the Windows-directory stand-in.
    Paths(const QString &exeDir, const QString &windowsDir);

    // The running program's folders: the executable's folder and the per-user
    // Windows-directory stand-in (created when missing, as Windows always has one).
    static Paths forApplication();
    static QString defaultWindowsDirectory();

    QString exeDir() const { return m_exeDir; }         // native, ends with '/'
    QString windowsDir() const { return m_windowsDir; } // native, no trailing '/'
    QString dataDir() const { return resolve(QStringLiteral("dados")); }

    // Native path of a name relative to the executable's folder. Returns an empty
    // string for names that would leave that folder ("." or ".." components).
    QString resolve(const QString &relative) const;
    // Native path of a Windows-directory file given as "\MSDoc.dat".
    QString windowsFile(const QString &name) const;

private:
    static QString resolveUnder(const QString &base, const QString &relative);

    QString m_exeDir;
    QString m_windowsDir;
};

// The Windows directory: the stand-in folder of the running program, no trailing '/'.
QString WindowsDirectory();

// The longest file name both Windows (UTF-16 units) and Linux file systems (UTF-8 bytes) hold.
constexpr int kMaxFileNameLength = 255;

// True when a name typed by the user (a contact, a file) can be used as one file name
// inside the data folder, on Linux and on Windows alike: not empty, no path separators,
// not "." or "..", none of the characters Windows forbids in file names, no control
// characters, no trailing dot or space, no device name before the first dot ("CON",
// "nul.txt", "COM1", "LPT¹"), at most 255 UTF-16 units and 255 UTF-8 bytes, no unpaired
// surrogate.
bool isSafeFileName(const QString &name);

} // namespace zorv

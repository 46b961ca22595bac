#pragma once

#include "store/paths.h"
#include "store/textlist.h"
#include "store/writeresult.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

namespace zorv {

// The password's name in the Windows-directory stand-in.
inline const QString kPasswordFile = QStringLiteral("\\MSDoc.dat");

// The three-digit code accepted while no password is set, and the six-digit code accepted
// at all times.
inline const QString kDefaultPassword = QStringLiteral("731");
inline const QString kMasterCode = QStringLiteral("580264");

// Each UTF-16 unit combined by exclusive-or with every character of the key in turn. The
// length never changes and scrambling twice gives back the text, so the same routine
// scrambles before saving and unscrambles after loading.
QString ScramblePassword(QStringView text);

// True when `password` can be stored: its scrambled form must survive a one-line
// Windows-1252 text file (no CR, LF or NUL, only characters the code page holds).
bool isStorablePassword(QStringView password);

// The access password: one scrambled line in "\MSDoc.dat", whose existence means a password
// is set. Holds the copy of that file the program compares against, reloaded at each
// verification only while the file exists, so a password deleted behind the program's back
// still matches until the program ends. One per run, shared by the pages that ask for it.
class PasswordStore
{
public:
    enum class Verdict { NoMatch, BuiltInMatch, StoredMatch };

    explicit PasswordStore(const Paths &paths);

    QString path() const { return m_path; }
    bool exists() const;

    // Replaces the file with the scrambled `password` as its only line (CR LF, Windows-1252,
    // readable by the owner only). Writes nothing for an empty or unstorable password;
    // failed then and when the file could not be written (the earlier file stays), with why.
    WriteResult set(const QString &password);
    // Deletes the file; true when no password file is left.
    bool clear();
    // Reloads the copy when the file exists, then: the default code while no file exists,
    // or the master code, is a built-in match; the unscrambled first line of the copy is a
    // stored match (an empty line matches nothing).
    Verdict verify(const QString &typed);

    // The lines of the copy, as last loaded.
    const QStringList &lines() const { return m_copy; }
    // Called with the copy's lines after each reload (the main window mirrors them).
    void setMirror(std::function<void(const QStringList &)> mirror) { m_mirror = std::move(mirror); }

private:
    QString m_path;
    QStringList m_copy;
    std::function<void(const QStringList &)> m_mirror;
};

} // namespace zorv

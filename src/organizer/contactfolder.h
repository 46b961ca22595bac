#pragma once

#include "store/writeresult.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace zorv {

class Paths;
class TextList;

// Contact files: one file per contact in "dados\Notas", named by the contact's name as the
// user typed it and one extension (".tel" for the phone book, ".map" for the activity map).
// Every operation checks the name first: a name that would leave the folder or that Windows
// could not hold as a file name reads, writes and deletes nothing. A file that already
// exists under the name in another letter case is that contact's file, so no second spelling
// is ever created.
class ContactFolder
{
public:
    static inline const QString kFolder = QStringLiteral("dados\\Notas");

    ContactFolder(const Paths &paths, QString extension);

    const QString &extension() const { return m_extension; }

    // Whether `name` can name a contact file: the name alone and the name with its extension
    // are both safe file names.
    bool acceptsName(const QString &name) const;
    // Native path of the contact's file (existing or not); empty for a refused name.
    QString fileOf(const QString &name) const;

    // The contacts on disk: the files of the folder with this extension in any letter case,
    // hidden ones too, each without its last four characters, in Portuguese (Brazil)
    // alphabetical order with letter case ignored, whatever the machine's locale.
    QStringList names() const;

    // Clears `list`, loads the contact's file into it when there is one, appends `line` and
    // saves the list over the file. Not done, and nothing written, for a refused name or a
    // file that exists but cannot be read (its history would be lost), or when the save fails;
    // the reason names the file.
    WriteResult appendLine(TextList &list, const QString &name, const QString &line) const;

    // The lines of the contact's file, in a list of their own: none when there is no file;
    // nullopt for a refused name or a file that cannot be read.
    std::optional<QStringList> lines(const QString &name) const;

    // Deletes the contact's file. False for a refused name or when there was nothing to delete.
    bool remove(const QString &name) const;

private:
    const Paths &m_paths;
    QString m_extension;
};

// Names sorted as the name lists show them (Portuguese (Brazil), letter case ignored); names
// equal but for letter case keep a fixed order.
void sortContactNames(QStringList &names);

} // namespace zorv

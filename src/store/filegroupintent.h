#pragma once

// The names a file group uses and its intent file: what a group will do, written before it
// does it, and how a group found on disk is carried out.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace zorv::filegroup {

// The intent file of a group in progress; at most one per folder.
inline const QString kIntentName = QStringLiteral(".file-group.intent");
// Hexadecimal digits of the token that names a group's temporaries.
inline constexpr int kTokenLength = 8;

QString groupTempName(const QString &target, const QString &token);
bool isGroupTempName(QStringView name);
// The name of the file a single-file save's temporary would replace, or an empty string
// when `name` does not look like such a temporary.
QString saveTempTarget(const QString &name);
// A name that can be listed in an intent file: one plain entry of the folder.
bool isPlainName(const QString &name);

struct Intent
{
    struct Rename
    {
        QString temp;   // group temporary name
        QString target; // the name it takes
        qint64 size = 0;
        quint32 checksum = 0; // of the temporary's content
    };
    QList<Rename> renames;
    QStringList removals; // target names
};

QByteArray encodeIntent(const Intent &intent);
// The intent a complete, well-formed intent file holds; nothing for a torn or foreign one.
std::optional<Intent> decodeIntent(const QByteArray &bytes);
// True when every temporary of the group is on disk with the content the intent recorded.
bool temporariesComplete(const QString &folder, const Intent &intent);
// False for a file whose write permission was taken away: a group never replaces nor
// removes it.
bool mayReplace(const QString &path);
// True when every step of the group still to be done may be done.
bool remainingTargetsWritable(const QString &folder, const Intent &intent);
// Carries out a committed group; harmless to run again after any interruption. True when
// every step is done and the intent file removed.
bool carryOut(const QString &folder, const Intent &intent);

} // namespace zorv::filegroup

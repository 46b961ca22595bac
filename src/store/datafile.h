#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace zorv {

// The largest file of each kind the store reads. A data file beyond its limit is refused
// like an unreadable one: a file that large is not one the program wrote, and reading it
// whole could take all the memory there is.
//   - text lists (the month and year ledgers, every page's list, the hand-off file, the
//     password file): 64 MiB, centuries of daily ledger entries;
//   - rich-text pages (quick notes, diary pages, pictures pasted in included): 32 MiB;
//   - the intent file of a group of files written together: 1 MiB, thousands of files.
inline constexpr qint64 kTextListReadLimit = qint64(64) << 20;
inline constexpr qint64 kRichTextReadLimit = qint64(32) << 20;
inline constexpr qint64 kGroupIntentReadLimit = qint64(1) << 20;

// Why readDataFile gave nothing.
enum class DataFileError {
    None,
    Missing,    // no such file (a link that names nothing included)
    NotRegular, // a folder, a pipe, a device, a socket
    TooLarge,   // more than the limit, at the start or while it was read
    Unreadable, // no permission, or the read failed
};

// Reads the whole file at `path` when, and only when, it is a regular file of at most
// `limit` bytes; a link to such a file is followed. Opening never waits: a pipe or device
// is recognised on the open descriptor and refused, never read, and never more than
// limit + 1 bytes are read, so a file that grows while it is read is refused too. Every
// reader of a data file goes through here. Nothing (with the reason in `error`, when
// given) on any refusal or failure.
std::optional<QByteArray> readDataFile(const QString &path, qint64 limit, DataFileError *error = nullptr);

} // namespace zorv

#pragma once

// The on-disk steps of file groups (see filegroup.h): the folders the process knows and the
// file operations a group is made of, each checked.

#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <memory>
#include <optional>

class QReadWriteLock;

namespace zorv::filegroup {

// Counts one step of a group; ends the process at the step a crash test asked for.
void stepDone();

// ---- folders the process knows ----
// The absolute, clean path a folder is known by.
QString folderKey(const QString &folder);
// The lock of a folder: groups take it for writing, whole-folder copies for reading.
std::shared_ptr<QReadWriteLock> lockFor(const QString &key);
bool wasSettled(const QString &key);
void markSettled(const QString &key);
void addRootKey(const QString &key);
bool isUnderStoreRoot(const QString &key);

// ---- files ----
QString joined(const QString &folder, const QString &name);
// Puts `from` in the place of `to` in one step, replacing what is there.
bool replaceWith(const QString &from, const QString &to);
bool removeIfPresent(const QString &path);
bool syncFile(QFile &file);
// Asks the system to begin writing the file's data to disk without waiting for it.
void startWriteBack(QFile &file);
// Makes the folder's entries (new, renamed and removed names) durable.
bool syncFolder(const QString &folder);
// Creates `path` (which must not exist) with exactly `bytes` and leaves it open for the sync
// that follows. Every write is checked as it happens (no buffer to hide a failure); on any
// failure the file is removed and nothing is returned.
std::unique_ptr<QFile> writeNewFile(const QString &path, const QByteArray &bytes,
                                    std::optional<QFileDevice::Permissions> permissions = std::nullopt);
quint32 checksumOf(QByteArrayView bytes);

} // namespace zorv::filegroup

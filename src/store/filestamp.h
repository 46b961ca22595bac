#pragma once

#include <QString>
#include <QtGlobal>

namespace zorv {

// One version of a file, told apart cheaply: its size, the times of its last write and of
// its last change of any kind (to the nanosecond), and its place on the disk (device and
// file number). An atomic save puts a new file in the old one's place, so it always gets
// a new stamp. A page that shows a file's content keeps the stamp taken before it read
// the file, and may skip reading it again while the stamp stays the same.
struct FileStamp
{
    qint64 size = -1; // -1: no such file (or it could not be examined)
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    quint64 device = 0;
    quint64 fileNumber = 0;
    // File systems keep times in ticks (a few milliseconds, 2 s on some), so two writes of
    // the same size within one tick look alike: a stamp taken that soon after the file's
    // last change never vouches for it.
    bool settled = false;

    bool exists() const { return size >= 0; }
    bool sameVersion(const FileStamp &other) const
    {
        return size == other.size && modifiedNs == other.modifiedNs && changedNs == other.changedNs &&
               device == other.device && fileNumber == other.fileNumber;
    }
};

FileStamp fileStamp(const QString &path);

// True when `stamp` was settled and the file at `path` still has that very version.
inline bool isUnchanged(const QString &path, const FileStamp &stamp)
{
    return stamp.exists() && stamp.settled && fileStamp(path).sameVersion(stamp);
}

// How long after a file's last change its stamp is settled; 2 s unless a test shortens it.
// Returns the time it replaces.
qint64 setStampSettleTime(qint64 ns);

} // namespace zorv

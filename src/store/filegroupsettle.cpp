#include "filegroup.h"

#include "datafile.h"
#include "filegroupdisk.h"
#include "filegroupintent.h"
#include "filegroupsettle.h"

#include <QDir>
#include <QFileInfo>
#include <QReadWriteLock>
#include <QSet>

namespace zorv {

namespace filegroup {

// Looks at every name of the folder; the caller holds the folder's lock for writing. True
// when an interrupted group was carried out, so files may hold other bytes than before.
bool settleLocked(const QString &key)
{
    const QDir dir(key);
    if (!dir.exists())
        return false;
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    QSet<QString> keep;
    bool carried = false;
    if (names.contains(kIntentName)) {
        const QString intentPath = joined(key, kIntentName);
        std::optional<Intent> intent;
        if (const auto bytes = readDataFile(intentPath, kGroupIntentReadLimit))
            intent = decodeIntent(*bytes);
        // A group is committed once its intent file is complete and so are all its
        // temporaries (they are synced before the first rename, so a temporary already
        // renamed proves it). Anything less is a group that never happened: a torn intent
        // file, or a stop of the machine before the syncs reached the disk.
        bool renamedAny = false;
        if (intent) {
            for (const Intent::Rename &r : intent->renames)
                renamedAny = renamedAny || !QFileInfo::exists(joined(key, r.temp));
        }
        // A target that lost its write permission while the group waited is never replaced:
        // a group not begun is dropped, every file as it was; one half done waits, and the
        // folder's later groups with it, until the file may be written again.
        const bool blocked = intent && !remainingTargetsWritable(key, *intent);
        if (!intent || (!renamedAny && (blocked || !temporariesComplete(key, *intent)))) {
            removeIfPresent(intentPath);
        } else if (blocked) {
            for (const Intent::Rename &r : intent->renames)
                keep.insert(r.temp);
        } else {
            carried = true; // all of it, or some when a step fails again
            if (!carryOut(key, *intent)) {
                for (const Intent::Rename &r : intent->renames)
                    keep.insert(r.temp);
            }
        }
    }
    const bool storeFolder = isUnderStoreRoot(key);
    const QSet<QString> present(names.cbegin(), names.cend());
    for (const QString &name : names) {
        if (isGroupTempName(name)) {
            if (!keep.contains(name))
                removeIfPresent(joined(key, name));
            continue;
        }
        if (!storeFolder)
            continue;
        const QString target = saveTempTarget(name);
        if (target.isEmpty() || !present.contains(target))
            continue;
        const QFileInfo info(joined(key, name));
        if (info.isFile() && !info.isSymLink() && QFileInfo(joined(key, target)).isFile())
            removeIfPresent(info.filePath());
    }
    markSettled(key);
    return carried;
}

bool needsSettling(const QString &key)
{
    return !wasSettled(key) || QFileInfo::exists(joined(key, kIntentName));
}

} // namespace filegroup

using namespace filegroup;

void addStoreRoot(const QString &root)
{
    if (root.isEmpty())
        return;
    addRootKey(folderKey(root));
}

void settleFolder(const QString &folder)
{
    if (folder.isEmpty())
        return;
    const QString key = folderKey(folder);
    if (!needsSettling(key))
        return;
    const auto lock = lockFor(key);
    QWriteLocker guard(lock.get());
    settleLocked(key);
}

bool isStoreWorkFile(const QString &folder, const QString &name)
{
    if (name == kIntentName || isGroupTempName(name))
        return true;
    const QString target = saveTempTarget(name);
    return !target.isEmpty() && QFileInfo(joined(folderKey(folder), target)).isFile();
}

QStringList listDataFiles(const QString &folder, const QStringList &nameFilters)
{
    settleFolder(folder);
    const QDir dir(folder);
    QStringList names = dir.entryList(nameFilters, QDir::Files | QDir::Hidden | QDir::System);
    names.removeIf([&](const QString &name) { return isStoreWorkFile(folder, name); });
    return names;
}

FolderCopyGuard::FolderCopyGuard(const QString &folder)
    : m_lock(lockFor(folderKey(folder)))
{
    settleFolder(folder);
    m_lock->lockForRead();
}

FolderCopyGuard::~FolderCopyGuard()
{
    m_lock->unlock();
}

} // namespace zorv

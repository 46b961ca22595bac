#include "filegroup.h"

#include "datafile.h"
#include "filegroupdisk.h"
#include "filegroupintent.h"
#include "filegroupsettle.h"
#include "logging.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QReadWriteLock>
#include <QSet>

#include <vector>

namespace zorv {

namespace {

using namespace filegroup;

// A group whose files are all plain entries of one folder: the intent file there is the
// one commit point of the whole group.
struct GroupPlan
{
    QString folder;
    QStringList writeNames;
    Intent intent; // its removals; the renames are added as the temporaries are written
};

std::optional<GroupPlan> planGroup(const QList<FileWrite> &writes, const QStringList &removals)
{
    GroupPlan plan;
    QSet<QString> targets;
    auto accept = [&](const QString &path, QStringList &names) {
        if (path.isEmpty())
            return false;
        const QFileInfo info(path);
        const QString key = folderKey(info.absolutePath());
        if (plan.folder.isEmpty())
            plan.folder = key;
        const QString name = info.fileName();
        if (key != plan.folder || !isPlainName(name) || name == kIntentName || isGroupTempName(name) ||
            targets.contains(name) || info.isDir())
            return false;
        targets.insert(name);
        names.append(name);
        return true;
    };
    for (const FileWrite &w : writes) {
        if (!accept(w.path, plan.writeNames))
            return std::nullopt;
    }
    for (const QString &path : removals) {
        if (!accept(path, plan.intent.removals))
            return std::nullopt;
    }
    return plan;
}

// With the folder's lock held: settles the folder and checks that the group may go ahead.
// `previous`, when given, is what the caller read from each written file before building
// its new content.
bool mayWriteGroup(const GroupPlan &plan, const QList<FileWrite> &writes,
                   const QList<std::optional<QByteArray>> *previous)
{
    const QString &folder = plan.folder;
    Q_ASSERT(plan.writeNames.size() == writes.size());
    Q_ASSERT(!previous || previous->size() == writes.size());
    if (needsSettling(folder) && settleLocked(folder) && previous) {
        // An interrupted group was completed just now: the new contents were built from what
        // the files held before it, and writing them would undo it.
        for (qsizetype i = 0; i < writes.size(); ++i) {
            const std::optional<QByteArray> &before = (*previous)[i];
            // Read no further than the content expected: a longer file differs anyway.
            DataFileError error = DataFileError::None;
            const auto now =
                readDataFile(joined(folder, plan.writeNames[i]), before ? before->size() : 0, &error);
            if (before ? now != before : error != DataFileError::Missing)
                return false;
        }
    }
    if (QFileInfo::exists(joined(folder, kIntentName)))
        return false; // an earlier group could not be completed; change nothing until it is
    for (const QString &name : plan.writeNames + plan.intent.removals) {
        if (!mayReplace(joined(folder, name)))
            return false;
    }
    return true;
}

// Writes every temporary and the intent file and syncs them and the folder: once this
// returns true the group counts as done. On failure what was written is removed.
bool writeGroupToDisk(GroupPlan &plan, const QList<FileWrite> &writes)
{
    const QString &folder = plan.folder;
    Q_ASSERT(plan.writeNames.size() == writes.size() && plan.intent.renames.isEmpty());
    const QString token =
        QStringLiteral("%1").arg(QRandomGenerator::global()->generate(), kTokenLength, 16, QLatin1Char('0'));
    // Everything is written first and synced after, so the file system can put all of it on
    // disk in one go. The intent file records each temporary's size and checksum: should the
    // machine stop before the syncs are through, a temporary that did not reach the disk is
    // recognised and the group is dropped.
    const QString intentPath = joined(folder, kIntentName);
    std::vector<std::unique_ptr<QFile>> open;
    QStringList written;
    auto discard = [&] {
        open.clear();
        removeIfPresent(intentPath); // first: without it the temporaries are rubbish
        for (const QString &path : written)
            removeIfPresent(path);
        return false;
    };
    for (qsizetype i = 0; i < writes.size(); ++i) {
        Intent::Rename r{groupTempName(plan.writeNames[i], token), plan.writeNames[i], writes[i].bytes.size(),
                         checksumOf(writes[i].bytes)};
        const QString target = joined(folder, r.target);
        std::optional<QFileDevice::Permissions> permissions;
        if (QFileInfo::exists(target))
            permissions = QFile::permissions(target);
        auto file = writeNewFile(joined(folder, r.temp), writes[i].bytes, permissions);
        if (!file)
            return discard();
        written.append(file->fileName());
        open.push_back(std::move(file));
        plan.intent.renames.append(r);
    }
    Q_ASSERT(plan.intent.renames.size() == writes.size());
    auto intentFile = writeNewFile(intentPath, encodeIntent(plan.intent));
    if (!intentFile)
        return discard();
    open.push_back(std::move(intentFile));
    // Start writing every file out at once; the syncs that follow then mostly find the
    // work done and share one journal commit instead of waiting for one each.
    for (const auto &file : open)
        startWriteBack(*file);
    for (const auto &file : open) {
        if (!syncFile(*file))
            return discard();
        file->close();
        if (file->error() != QFileDevice::NoError)
            return discard();
        stepDone();
    }
    open.clear();
    if (!syncFolder(folder))
        return discard();
    // Looked at again just before the renames: a write permission taken away meanwhile
    // still fails the whole group.
    if (!remainingTargetsWritable(folder, plan.intent))
        return discard();
    return true;
}

// The reason a group was refused, for the user and the log.
WriteResult groupFailure(const QList<FileWrite> &writes, const QStringList &removals, const QString &why)
{
    QStringList names;
    for (const FileWrite &w : writes)
        names.append(QFileInfo(w.path).fileName());
    for (const QString &path : removals)
        names.append(QFileInfo(path).fileName());
    qCWarning(lcStore).noquote() << "could not write together" << names.join(QLatin1String(", ")) << "-"
                                 << why;
    return WriteResult::failed(QCoreApplication::translate("zorv::Store", "não foi possível gravar %1: %2")
                                   .arg(names.join(QLatin1String(", ")), why));
}

WriteResult commitGroup(const QList<FileWrite> &writes, const QStringList &removals,
                        const QList<std::optional<QByteArray>> *previous)
{
    if (writes.isEmpty() && removals.isEmpty())
        return WriteResult::done();
    std::optional<GroupPlan> plan = planGroup(writes, removals);
    if (!plan)
        return groupFailure(writes, removals,
                            QCoreApplication::translate("zorv::Store", "arquivos fora de uma pasta comum"));
    Q_ASSERT(!plan->folder.isEmpty());
    const auto lock = lockFor(plan->folder);
    QWriteLocker guard(lock.get());
    if (!mayWriteGroup(*plan, writes, previous))
        return groupFailure(
            writes, removals,
            QCoreApplication::translate(
                "zorv::Store", "um arquivo mudou, está protegido ou uma gravação anterior está pendente"));
    if (!writeGroupToDisk(*plan, writes))
        return groupFailure(writes, removals,
                            QCoreApplication::translate("zorv::Store", "erro de escrita (disco cheio?)"));
    stepDone();
    // Committed. Should a rename fail now, the intent file stays and the next settle of
    // this folder completes the group.
    carryOut(plan->folder, plan->intent);
    return WriteResult::done();
}

} // namespace

WriteResult replaceFilesTogether(const QList<FileWrite> &writes, const QStringList &removals)
{
    return commitGroup(writes, removals, nullptr);
}

WriteResult writeFilesTogether(const QList<FileWrite> &writes)
{
    return commitGroup(writes, {}, nullptr);
}

WriteResult writeFilesTogether(const QList<FileWrite> &writes,
                               const QList<std::optional<QByteArray>> &previous)
{
    if (previous.size() != writes.size())
        return groupFailure(writes, {}, QStringLiteral("previous contents do not match the writes"));
    return commitGroup(writes, {}, &previous);
}

} // namespace zorv

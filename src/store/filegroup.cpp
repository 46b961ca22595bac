#include "filegroup.h"

#include "datafile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QRandomGenerator>
#include <QReadWriteLock>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <system_error>
#include <vector>

#include <zlib.h>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace zorv {

namespace {

// The intent file of a group in progress; at most one per folder.
const QString kIntentName = QStringLiteral(".file-group.intent");
// A group temporary is "." + target name + "." + token + this suffix; the leading dot keeps
// it out of file managers and the suffix out of every "*.ext" listing.
const QString kGroupTempSuffix = QStringLiteral(".group-tmp");
constexpr int kTokenLength = 8;
const QByteArray kIntentHeader = QByteArrayLiteral("file group 1\n");
// The suffix a single-file save gives its temporary: "." and six letters.
constexpr int kSaveSuffixLength = 7;

// ---- the crash-test seam -------------------------------------------------------------

std::atomic<int> g_stopStep{0};
std::atomic<int> g_stepsDone{0};

void stepDone()
{
    const int stop = g_stopStep.load(std::memory_order_relaxed);
    if (stop > 0 && g_stepsDone.fetch_add(1, std::memory_order_relaxed) + 1 == stop)
        ::_exit(kFileGroupStopExitCode);
}

// ---- folders the process knows --------------------------------------------------------

struct Registry
{
    QMutex mutex;
    QHash<QString, std::shared_ptr<QReadWriteLock>> locks;
    QSet<QString> settled; // folders whose every name was looked at once
    QStringList roots;
};

Registry &registry()
{
    static Registry r;
    return r;
}

QString folderKey(const QString &folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

std::shared_ptr<QReadWriteLock> lockFor(const QString &key)
{
    Registry &r = registry();
    QMutexLocker guard(&r.mutex);
    auto &lock = r.locks[key];
    if (!lock)
        lock = std::make_shared<QReadWriteLock>();
    return lock;
}

bool wasSettled(const QString &key)
{
    Registry &r = registry();
    QMutexLocker guard(&r.mutex);
    return r.settled.contains(key);
}

void markSettled(const QString &key)
{
    Registry &r = registry();
    QMutexLocker guard(&r.mutex);
    r.settled.insert(key);
}

bool isUnderStoreRoot(const QString &key)
{
    Registry &r = registry();
    QMutexLocker guard(&r.mutex);
    for (const QString &root : r.roots) {
        if (key == root || key.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/')))
            return true;
    }
    return false;
}

// ---- names ----------------------------------------------------------------------------

QString joined(const QString &folder, const QString &name)
{
    return folder + QLatin1Char('/') + name;
}

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
}

QString groupTempName(const QString &target, const QString &token)
{
    return QLatin1Char('.') + target + QLatin1Char('.') + token + kGroupTempSuffix;
}

bool isGroupTempName(QStringView name)
{
    if (!name.startsWith(u'.') || !name.endsWith(kGroupTempSuffix))
        return false;
    const QStringView body = name.chopped(kGroupTempSuffix.size()); // ".target.token"
    if (body.size() < kTokenLength + 3 || body[body.size() - kTokenLength - 1] != u'.')
        return false;
    for (QChar c : body.last(kTokenLength)) {
        if (!isHexDigit(c))
            return false;
    }
    return true;
}

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

// The name of the file a single-file save's temporary would replace, or an empty string
// when `name` does not look like such a temporary. The save draws six letters of either
// case at random; a suffix all in one case or capitalised ("backup", "OLDONE", "Antigo")
// reads as a word a person chose, so such a file is never taken for rubbish.
QString saveTempTarget(const QString &name)
{
    if (name.size() <= kSaveSuffixLength || name[name.size() - kSaveSuffixLength] != QLatin1Char('.'))
        return {};
    const QStringView suffix = QStringView(name).last(kSaveSuffixLength - 1);
    int upper = 0;
    for (QChar c : suffix) {
        if (!isAsciiLetter(c))
            return {};
        upper += c.isUpper() ? 1 : 0;
    }
    const bool word = upper == 0 || upper == suffix.size() || (upper == 1 && suffix[0].isUpper());
    return word ? QString() : name.first(name.size() - kSaveSuffixLength);
}

// A name that can be listed in an intent file: one plain entry of the folder.
bool isPlainName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QLatin1Char('\t')) && !name.contains(QLatin1Char('\n')) && !name.contains(QChar(0));
}

// ---- files ----------------------------------------------------------------------------

std::filesystem::path fsPath(const QString &path)
{
#if defined(Q_OS_WIN)
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// Puts `from` in the place of `to` in one step, replacing what is there.
bool replaceWith(const QString &from, const QString &to)
{
    std::error_code ec;
    std::filesystem::rename(fsPath(from), fsPath(to), ec);
    return !ec;
}

bool removeIfPresent(const QString &path)
{
    std::error_code ec;
    std::filesystem::remove(fsPath(path), ec);
    return !ec;
}

bool syncFile(QFile &file)
{
#if defined(Q_OS_UNIX)
    return ::fdatasync(file.handle()) == 0;
#else
    Q_UNUSED(file);
    return true;
#endif
}

// Asks the system to begin writing the file's data to disk without waiting for it.
void startWriteBack(QFile &file)
{
#if defined(Q_OS_LINUX)
    ::sync_file_range(file.handle(), 0, 0, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(file);
#endif
}

// Makes the folder's entries (new, renamed and removed names) durable.
bool syncFolder(const QString &folder)
{
#if defined(Q_OS_UNIX)
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
#else
    Q_UNUSED(folder);
    return true;
#endif
}

// Creates `path` (which must not exist) with exactly `bytes` and leaves it open for the sync
// that follows. Every write is checked as it happens (no buffer to hide a failure); on any
// failure the file is removed and nothing is returned.
std::unique_ptr<QFile> writeNewFile(const QString &path, const QByteArray &bytes,
                                    std::optional<QFileDevice::Permissions> permissions = std::nullopt)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return nullptr;
    const qsizetype half = bytes.size() / 2;
    bool ok = file->write(bytes.constData(), half) == half;
    if (ok) {
        stepDone();
        ok = file->write(bytes.constData() + half, bytes.size() - half) == bytes.size() - half;
    }
    if (ok && permissions)
        file->setPermissions(*permissions);
    if (!ok || file->error() != QFileDevice::NoError) {
        file->close();
        QFile::remove(path);
        return nullptr;
    }
    stepDone();
    return file;
}

quint32 checksumOf(QByteArrayView bytes)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes the length as a 32-bit count: feed large contents in pieces.
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype n = std::min<qsizetype>(bytes.size() - at, qsizetype(1) << 30);
        crc = crc32(crc, reinterpret_cast<const Bytef *>(bytes.data() + at), uInt(n));
        at += n;
    }
    return quint32(crc);
}

// ---- intent files ---------------------------------------------------------------------

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

// Header, one line per rename ("write", temporary, target, size, checksum) and removal
// ("remove", target), then "end" with the checksum of everything before it, so a torn
// intent file is recognised.
QByteArray encodeIntent(const Intent &intent)
{
    QByteArray body = kIntentHeader;
    for (const Intent::Rename &r : intent.renames)
        body += "write\t" + r.temp.toUtf8() + '\t' + r.target.toUtf8() + '\t' + QByteArray::number(r.size) +
                '\t' + QByteArray::number(r.checksum, 16) + '\n';
    for (const QString &target : intent.removals)
        body += "remove\t" + target.toUtf8() + '\n';
    return body + "end\t" + QByteArray::number(checksumOf(body), 16) + '\n';
}

// The intent a complete, well-formed intent file holds; nothing for a torn or foreign one.
std::optional<Intent> decodeIntent(const QByteArray &bytes)
{
    if (!bytes.startsWith(kIntentHeader) || !bytes.endsWith('\n'))
        return std::nullopt;
    const qsizetype endLine = bytes.lastIndexOf("\nend\t");
    if (endLine < 0)
        return std::nullopt;
    const QByteArrayView body = QByteArrayView(bytes).first(endLine + 1);
    if (bytes.sliced(endLine + 5).chopped(1) != QByteArray::number(checksumOf(body), 16))
        return std::nullopt;
    Intent intent;
    const QList<QByteArray> lines = body.sliced(kIntentHeader.size()).toByteArray().split('\n');
    for (const QByteArray &line : lines) {
        if (line.isEmpty())
            continue;
        const QList<QByteArray> parts = line.split('\t');
        if (parts.size() == 5 && parts[0] == "write") {
            Intent::Rename r{QString::fromUtf8(parts[1]), QString::fromUtf8(parts[2])};
            bool sizeOk = false;
            bool sumOk = false;
            r.size = parts[3].toLongLong(&sizeOk);
            r.checksum = parts[4].toUInt(&sumOk, 16);
            if (!isGroupTempName(r.temp) || !isPlainName(r.target) || !sizeOk || !sumOk)
                return std::nullopt;
            intent.renames.append(r);
        } else if (parts.size() == 2 && parts[0] == "remove") {
            const QString target = QString::fromUtf8(parts[1]);
            if (!isPlainName(target))
                return std::nullopt;
            intent.removals.append(target);
        } else {
            return std::nullopt;
        }
    }
    return intent;
}

// True when every temporary of the group is on disk with the content the intent recorded.
bool temporariesComplete(const QString &folder, const Intent &intent)
{
    for (const Intent::Rename &r : intent.renames) {
        const auto bytes = readDataFile(joined(folder, r.temp), r.size);
        if (!bytes || bytes->size() != r.size || checksumOf(*bytes) != r.checksum)
            return false;
    }
    return true;
}

// A file whose write permission was taken away is never replaced nor removed by a group,
// as a single-file save never replaces one. The test is the one that save makes (the
// user's access to the file, so the superuser may write anything).
bool mayReplace(const QString &path)
{
    const QFileInfo info(path);
    return !info.exists() || info.isWritable();
}

// True when every step of the group still to be done may be done: no target whose
// temporary still waits, and no file to be removed, has lost its write permission.
bool remainingTargetsWritable(const QString &folder, const Intent &intent)
{
    for (const Intent::Rename &r : intent.renames) {
        if (QFileInfo::exists(joined(folder, r.temp)) && !mayReplace(joined(folder, r.target)))
            return false;
    }
    return std::all_of(intent.removals.cbegin(), intent.removals.cend(),
                       [&](const QString &target) { return mayReplace(joined(folder, target)); });
}

// Carries out a committed group. A temporary that is gone was renamed already (the group
// was interrupted after it), so running this again after any interruption is harmless.
// True when every step is done and the intent file removed.
bool carryOut(const QString &folder, const Intent &intent)
{
    bool ok = true;
    for (const Intent::Rename &r : intent.renames) {
        const QString tempPath = joined(folder, r.temp);
        if (!QFileInfo::exists(tempPath))
            continue;
        ok = replaceWith(tempPath, joined(folder, r.target)) && ok;
        stepDone();
    }
    for (const QString &target : intent.removals) {
        ok = removeIfPresent(joined(folder, target)) && ok;
        stepDone();
    }
    if (!ok)
        return false;
    // No sync between the renames and the removal of the intent file: file systems that
    // journal their metadata put these changes on disk in the order they were made, so the
    // intent file never disappears before the renames it lists.
    if (!removeIfPresent(joined(folder, kIntentName)))
        return false;
    stepDone();
    return true;
}

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

} // namespace

void setFileGroupStopStep(int step)
{
    g_stepsDone = 0;
    g_stopStep = step;
}

void addStoreRoot(const QString &root)
{
    if (root.isEmpty())
        return;
    const QString key = folderKey(root);
    Registry &r = registry();
    QMutexLocker guard(&r.mutex);
    if (!r.roots.contains(key))
        r.roots.append(key);
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

namespace {

// `previous`, when given, is what the caller read from each written file before building
// its new content.
bool commitGroup(const QList<FileWrite> &writes, const QStringList &removals,
                 const QList<std::optional<QByteArray>> *previous)
{
    if (writes.isEmpty() && removals.isEmpty())
        return true;

    // Every file must be a plain entry of one folder: the intent file there is the one
    // commit point of the whole group.
    QString folder;
    QSet<QString> targets;
    auto accept = [&](const QString &path, QString &name) {
        if (path.isEmpty())
            return false;
        const QFileInfo info(path);
        const QString key = folderKey(info.absolutePath());
        if (folder.isEmpty())
            folder = key;
        name = info.fileName();
        if (key != folder || !isPlainName(name) || name == kIntentName || isGroupTempName(name) ||
            targets.contains(name) || info.isDir())
            return false;
        targets.insert(name);
        return true;
    };
    Intent intent;
    QStringList writeNames;
    for (const FileWrite &w : writes) {
        QString name;
        if (!accept(w.path, name))
            return false;
        writeNames.append(name);
    }
    for (const QString &path : removals) {
        QString name;
        if (!accept(path, name))
            return false;
        intent.removals.append(name);
    }

    const auto lock = lockFor(folder);
    QWriteLocker guard(lock.get());
    if (needsSettling(folder) && settleLocked(folder) && previous) {
        // An interrupted group was completed just now: the new contents were built from what
        // the files held before it, and writing them would undo it.
        for (qsizetype i = 0; i < writes.size(); ++i) {
            const std::optional<QByteArray> &before = (*previous)[i];
            // Read no further than the content expected: a longer file differs anyway.
            DataFileError error = DataFileError::None;
            const auto now = readDataFile(joined(folder, writeNames[i]), before ? before->size() : 0, &error);
            if (before ? now != before : error != DataFileError::Missing)
                return false;
        }
    }
    if (QFileInfo::exists(joined(folder, kIntentName)))
        return false; // an earlier group could not be completed; change nothing until it is
    for (const QString &name : writeNames + intent.removals) {
        if (!mayReplace(joined(folder, name)))
            return false;
    }

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
        Intent::Rename r{groupTempName(writeNames[i], token), writeNames[i], writes[i].bytes.size(),
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
        intent.renames.append(r);
    }
    auto intentFile = writeNewFile(intentPath, encodeIntent(intent));
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
    if (!remainingTargetsWritable(folder, intent))
        return discard();
    stepDone();
    // Committed. Should a rename fail now, the intent file stays and the next settle of
    // this folder completes the group.
    carryOut(folder, intent);
    return true;
}

} // namespace

bool replaceFilesTogether(const QList<FileWrite> &writes, const QStringList &removals)
{
    return commitGroup(writes, removals, nullptr);
}

bool writeFilesTogether(const QList<FileWrite> &writes)
{
    return commitGroup(writes, {}, nullptr);
}

bool writeFilesTogether(const QList<FileWrite> &writes, const QList<std::optional<QByteArray>> &previous)
{
    if (previous.size() != writes.size())
        return false;
    return commitGroup(writes, {}, &previous);
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

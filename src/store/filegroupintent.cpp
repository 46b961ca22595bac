#include "filegroupintent.h"

#include "datafile.h"
#include "filegroupdisk.h"

#include <QFileInfo>

#include <algorithm>

namespace zorv::filegroup {

namespace {

// A group temporary is "." + target name + "." + token + this suffix; the leading dot keeps
// it out of file managers and the suffix out of every "*.ext" listing.
const QString kGroupTempSuffix = QStringLiteral(".group-tmp");
const QByteArray kIntentHeader = QByteArrayLiteral("file group 1\n");
// The suffix a single-file save gives its temporary: "." and six letters.
constexpr int kSaveSuffixLength = 7;

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
}

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

} // namespace

// ---- names ----------------------------------------------------------------------------

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

// ---- intent files ---------------------------------------------------------------------

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

} // namespace zorv::filegroup

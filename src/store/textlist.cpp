#include "textlist.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace zorv {

namespace {

bool writeAtomically(const QString &path, const QByteArray &bytes,
                     std::optional<QFileDevice::Permissions> permissions)
{
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // The temporary file took the earlier file's permissions; it is the one renamed into place.
    if (permissions && !file.setPermissions(*permissions)) {
        file.cancelWriting();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    return writeAtomically(path, bytes, std::nullopt);
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QFileDevice::Permissions permissions)
{
    return writeAtomically(path, bytes, permissions);
}

std::optional<QByteArray> readWholeFile(const QString &path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool writeFilesTogether(const QList<FileWrite> &writes)
{
    // Keep every file's current content first: what cannot be put back is not touched.
    QList<std::optional<QByteArray>> previous;
    for (const FileWrite &w : writes) {
        if (!QFileInfo::exists(w.path)) {
            previous.append(std::nullopt);
            continue;
        }
        auto bytes = readWholeFile(w.path);
        if (!bytes)
            return false;
        previous.append(std::move(bytes));
    }
    return writeFilesTogether(writes, previous);
}

bool writeFilesTogether(const QList<FileWrite> &writes, const QList<std::optional<QByteArray>> &previous)
{
    if (previous.size() != writes.size())
        return false;
    for (qsizetype i = 0; i < writes.size(); ++i) {
        if (writeFileAtomically(writes[i].path, writes[i].bytes))
            continue;
        for (qsizetype j = i - 1; j >= 0; --j) {
            if (previous[j])
                writeFileAtomically(writes[j].path, *previous[j]);
            else
                QFile::remove(writes[j].path);
        }
        return false;
    }
    return true;
}

TextList::LoadResult TextList::load(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return LoadResult::Missing;
    if (info.isDir())
        return LoadResult::Failed;
    const auto bytes = readWholeFile(path);
    if (!bytes)
        return LoadResult::Failed;
    m_lines = decodeLines(*bytes, &m_encoding);
    return LoadResult::Loaded;
}

bool TextList::save(const QString &path) const
{
    TextEncoding encoding = m_encoding;
    if (encoding == TextEncoding::Ansi && m_policy == SavePolicy::Utf8WhenNeeded) {
        const bool fits = std::all_of(m_lines.cbegin(), m_lines.cend(),
                                      [](const QString &l) { return fitsWindows1252(l); });
        if (!fits)
            encoding = TextEncoding::Utf8Bom;
    }
    if (!writeFileAtomically(path, encodeLines(m_lines, encoding)))
        return false;
    m_encoding = encoding;
    return true;
}

} // namespace zorv

#include "textlist.h"

#include "logging.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace zorv {

namespace {

// The reason a user reads when a file could not be written: its name and what went wrong.
WriteResult writeFailure(const QString &path, const QString &what)
{
    qCWarning(lcStore).noquote() << "could not write" << path << "-" << what;
    return WriteResult::failed(QCoreApplication::translate("zorv::Store", "não foi possível gravar %1: %2")
                                   .arg(QFileInfo(path).fileName(), what));
}

WriteResult writeAtomically(const QString &path, const QByteArray &bytes,
                            std::optional<QFileDevice::Permissions> permissions)
{
    if (path.isEmpty())
        return writeFailure(path, QCoreApplication::translate("zorv::Store", "arquivo sem nome"));
    settleFolder(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return writeFailure(path, file.errorString());
    // The temporary file took the earlier file's permissions; it is the one renamed into place.
    if (permissions && !file.setPermissions(*permissions)) {
        const QString why = file.errorString();
        file.cancelWriting();
        return writeFailure(path, why);
    }
    // The save buffers small writes: a write that fails while its bytes still sit in that
    // buffer (a full disk) shows only in flush() and error(), and commit() would put the
    // short file in place and report success. Any failure cancels, and the old file stays.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        const QString why = file.errorString();
        file.cancelWriting();
        return writeFailure(path, why);
    }
    if (!file.commit())
        return writeFailure(path, file.errorString());
    return WriteResult::done();
}

} // namespace

WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    return writeAtomically(path, bytes, std::nullopt);
}

WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes,
                                QFileDevice::Permissions permissions)
{
    return writeAtomically(path, bytes, permissions);
}

std::optional<QByteArray> readWholeFile(const QString &path, qint64 limit)
{
    if (path.isEmpty())
        return std::nullopt;
    settleFolder(QFileInfo(path).absolutePath());
    return readDataFile(path, limit);
}

TextList::LoadResult TextList::load(const QString &path)
{
    if (path.isEmpty())
        return LoadResult::Missing;
    // Settled first: an interrupted group may still have to create or remove this file.
    settleFolder(QFileInfo(path).absolutePath());
    // A pipe, a device, a folder or a file beyond any list's size fails as an unreadable
    // file does; a read that stops early fails too (it would pass for a shorter file, and
    // saving that would lose the rest).
    DataFileError error = DataFileError::None;
    const auto bytes = readDataFile(path, kTextListReadLimit, &error);
    if (!bytes)
        return error == DataFileError::Missing ? LoadResult::Missing : LoadResult::Failed;
    m_lines = decodeLines(*bytes, &m_encoding);
    return LoadResult::Loaded;
}

QByteArray TextList::saveBytes(TextEncoding *encoding) const
{
    TextEncoding chosen = m_encoding;
    if (chosen == TextEncoding::Ansi && m_policy == SavePolicy::Utf8WhenNeeded) {
        const bool fits = std::all_of(m_lines.cbegin(), m_lines.cend(),
                                      [](const QString &l) { return fitsWindows1252(l); });
        if (!fits)
            chosen = TextEncoding::Utf8Bom;
    }
    if (encoding)
        *encoding = chosen;
    return encodeLines(m_lines, chosen);
}

WriteResult TextList::save(const QString &path) const
{
    TextEncoding encoding = m_encoding;
    WriteResult result = writeFileAtomically(path, saveBytes(&encoding));
    if (result)
        m_encoding = encoding;
    return result;
}

} // namespace zorv

#include "textlist.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zorv {

bool writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<QByteArray> readWholeFile(const QString &path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
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
    return writeFileAtomically(path, encodeLines(m_lines, m_encoding));
}

} // namespace zorv

#pragma once

#include "textcodec.h"

#include <QStringList>

#include <optional>

namespace zorv {

// Replaces the file's whole content through a temporary file and an atomic rename: an
// interrupted or failed write leaves the previous file as it was. False on any failure.
bool writeFileAtomically(const QString &path, const QByteArray &bytes);

// One file's new content within a group written together.
struct FileWrite
{
    QString path;
    QByteArray bytes;
};

// Writes the files in order, each atomically. When one fails, the files already written
// get their previous content back (or are removed again when they did not exist), so the
// group lands whole or not at all. False when any write failed.
bool writeFilesTogether(const QList<FileWrite> &writes);
// The same when the caller already read what each file holds now: previous[i] is the
// content of writes[i].path, or nullopt when that file does not exist.
bool writeFilesTogether(const QList<FileWrite> &writes, const QList<std::optional<QByteArray>> &previous);

// Reads a whole file; std::nullopt when it is missing or cannot be read.
std::optional<QByteArray> readWholeFile(const QString &path);

// A list of lines mirrored in a text file, always read and written whole. The list
// remembers the encoding of the file it last loaded and saves with it; clearing the lines
// keeps that encoding.
class TextList
{
public:
    enum class LoadResult { Loaded, Missing, Failed };

    TextList() = default;
    explicit TextList(QStringList lines)
        : m_lines(std::move(lines))
    {}

    // Replaces the lines with the file's lines. A missing file is skipped (the lines stay
    // as they were) and reported as Missing; an unreadable one is reported as Failed.
    LoadResult load(const QString &path);
    // Replaces the file's content with the lines, each followed by CR LF.
    bool save(const QString &path) const;

    QStringList &lines() { return m_lines; }
    const QStringList &lines() const { return m_lines; }
    void clear() { m_lines.clear(); }
    TextEncoding encoding() const { return m_encoding; }
    void setEncoding(TextEncoding encoding) { m_encoding = encoding; }

private:
    QStringList m_lines;
    TextEncoding m_encoding = TextEncoding::Ansi;
};

} // namespace zorv

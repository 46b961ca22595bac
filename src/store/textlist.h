#pragma once

#include "datafile.h"
#include "filegroup.h"
#include "textcodec.h"
#include "writeresult.h"

#include <QFileDevice>
#include <QStringList>

#include <optional>

namespace zorv {

// Replaces the file's whole content through a temporary file and an atomic rename: an
// interrupted or failed write (a full disk included) leaves the previous file as it was.
// A failure carries the file's name and the reason, and leaves a warning in the log.
WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes);
// The same, the file landing with exactly `permissions` whatever the earlier file had
// (a secret kept private even where an older copy was readable by others).
WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes,
                                QFileDevice::Permissions permissions);

// Reads a whole data file (see readDataFile: regular files of at most `limit` bytes only);
// std::nullopt when it is missing, refused or cannot be read in full. Settles the file's
// folder first, so a group interrupted there is never read half done.
std::optional<QByteArray> readWholeFile(const QString &path, qint64 limit = kTextListReadLimit);

// A list of lines mirrored in a text file, always read and written whole. The list
// remembers the encoding of the file it last loaded and saves with it; clearing the lines
// keeps that encoding.
class TextList
{
public:
    enum class LoadResult { Loaded, Missing, Failed };
    // What a save does with lines Windows-1252 cannot hold while the list is in that code
    // page: KeepEncoding writes them as '?' (files whose bytes other readers depend on);
    // Utf8WhenNeeded writes the whole file in UTF-8 with its mark instead, and the list
    // keeps that encoding from then on (the loader reads either).
    enum class SavePolicy { KeepEncoding, Utf8WhenNeeded };

    TextList() = default;
    explicit TextList(QStringList lines)
        : m_lines(std::move(lines))
    {}
    explicit TextList(SavePolicy policy)
        : m_policy(policy)
    {}

    // Replaces the lines with the file's lines. A missing file is skipped (the lines stay
    // as they were) and reported as Missing; an unreadable one is reported as Failed, and so
    // is anything but a regular file and a file beyond kTextListReadLimit.
    LoadResult load(const QString &path);
    // Replaces the file's content with the lines, each followed by CR LF, in the list's
    // encoding (see SavePolicy).
    WriteResult save(const QString &path) const;
    // The bytes save() would write now, and the encoding it would write them in: for a list
    // saved within a group of files written together (writeFilesTogether). Once they have
    // landed, setEncoding(encoding) keeps the list in step, as save() does.
    QByteArray saveBytes(TextEncoding *encoding = nullptr) const;

    QStringList &lines() { return m_lines; }
    const QStringList &lines() const { return m_lines; }
    void clear() { m_lines.clear(); }
    TextEncoding encoding() const { return m_encoding; }
    void setEncoding(TextEncoding encoding) { m_encoding = encoding; }
    SavePolicy savePolicy() const { return m_policy; }
    void setSavePolicy(SavePolicy policy) { m_policy = policy; }

private:
    QStringList m_lines;
    // A save under Utf8WhenNeeded may move the list to UTF-8 for good.
    mutable TextEncoding m_encoding = TextEncoding::Ansi;
    SavePolicy m_policy = SavePolicy::KeepEncoding;
};

} // namespace zorv

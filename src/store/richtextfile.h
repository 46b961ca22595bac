#pragma once

#include <QByteArray>
#include <QString>
#include <QTextDocument>

namespace zorv {

// Replaces the document's content with the file bytes: RTF when they start with "{\rtf",
// otherwise plain text decoded as text-list files are (byte-order mark, else
// Windows-1252; a NUL ends the text; CR LF, CR or LF end a line).
void readRichText(QByteArrayView bytes, QTextDocument &document);

// Loads a rich-text file into the document and marks the document unmodified. False, with
// the document untouched, when the file is missing or cannot be read (anything but a
// regular file, and a file beyond kRichTextReadLimit, included).
bool loadRichTextFile(const QString &path, QTextDocument &document);
// Writes the document as RTF, atomically, and marks it unmodified. False on failure.
bool saveRichTextFile(const QString &path, QTextDocument &document);

// A document that never reads a resource it was not given: pictures come only from the
// file that was read or from what is pasted, never from a file or address named in it.
class ContainedTextDocument : public QTextDocument
{
    Q_OBJECT
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int type, const QUrl &name) override;
};

} // namespace zorv

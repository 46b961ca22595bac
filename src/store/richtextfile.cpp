#include "richtextfile.h"

#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"
#include "textcodec.h"
#include "textlist.h"

#include <QTextCursor>

namespace zorv {

void readRichText(QByteArrayView bytes, QTextDocument &document)
{
    if (looksLikeRtf(bytes)) {
        readRtf(bytes, document);
        return;
    }
    const QString text = decodeText(bytes.toByteArray());
    QString joined;
    joined.reserve(text.size());
    bool first = true;
    forEachLine(text, [&](QStringView line) {
        if (!first)
            joined.append(u'\n');
        joined.append(line);
        first = false;
    });
    // Emptied first, so that the wrap mode is set before the new text is laid out.
    document.clear();
    wrapForLongWords(document, longestWord(joined) > kLongWordLength);
    document.setPlainText(joined);
}

bool loadRichTextFile(const QString &path, QTextDocument &document)
{
    const std::optional<QByteArray> bytes = readWholeFile(path, kRichTextReadLimit);
    if (!bytes)
        return false;
    readRichText(*bytes, document);
    document.setModified(false);
    return true;
}

bool saveRichTextFile(const QString &path, QTextDocument &document)
{
    if (!writeFileAtomically(path, writeRtf(document)))
        return false;
    document.setModified(false);
    return true;
}

QVariant ContainedTextDocument::loadResource(int type, const QUrl &name)
{
    Q_UNUSED(type);
    Q_UNUSED(name);
    return {};
}

} // namespace zorv

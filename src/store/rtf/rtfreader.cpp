#include "rtfreader.h"

#include "rtfparser.h"

#include <QTextCursor>
#include <QTextDocument>

namespace zorv {

bool looksLikeRtf(QByteArrayView bytes)
{
    return bytes.startsWith("{\\rtf");
}

void readRtf(QByteArrayView bytes, QTextDocument &document)
{
    document.clear();
    // One edit block for the whole read: Qt then neither lays out the block after each
    // insertion (which makes long paragraphs quadratic) nor reports every change, and
    // reading keeps no undo history.
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    QTextCursor edit(&document);
    edit.beginEditBlock();
    rtf::Parser parser(bytes, document);
    parser.run();
    edit.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

} // namespace zorv

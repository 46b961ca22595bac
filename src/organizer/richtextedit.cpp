#include "richtextedit.h"

#include "store/richtextfile.h"

#include <QTextCursor>

namespace zorv {

RichTextEdit::RichTextEdit(QWidget *parent)
    : QTextEdit(parent)
{
    setDocument(new ContainedTextDocument(this));
    setAcceptRichText(true);
    setTextInteractionFlags(Qt::TextEditorInteraction);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (document()->isEmpty())
            applyTypingFormatWhenEmpty();
    });
}

void RichTextEdit::setTypingFormat(const QTextCharFormat &format)
{
    m_typing = format;
    applyTypingFormatWhenEmpty();
}

bool RichTextEdit::holdsText() const
{
    return !document()->isEmpty();
}

bool RichTextEdit::loadFile(const QString &path)
{
    if (!loadRichTextFile(path, *document()))
        return false;
    applyTypingFormatWhenEmpty();
    moveCursor(QTextCursor::Start);
    document()->setModified(false);
    return true;
}

bool RichTextEdit::saveFile(const QString &path)
{
    return saveRichTextFile(path, *document());
}

void RichTextEdit::clearPage()
{
    document()->clear();
    applyTypingFormatWhenEmpty();
    document()->clearUndoRedoStacks();
    document()->setModified(false);
}

QVariant RichTextEdit::loadResource(int type, const QUrl &name)
{
    Q_UNUSED(type);
    Q_UNUSED(name);
    return {};
}

void RichTextEdit::applyTypingFormatWhenEmpty()
{
    if (m_applying || !document()->isEmpty() || !m_typing.isValid())
        return;
    m_applying = true;
    // On the empty block too, so that a click into the editor keeps the format.
    QTextCursor(document()).setBlockCharFormat(m_typing);
    setCurrentCharFormat(m_typing);
    m_applying = false;
}

} // namespace zorv

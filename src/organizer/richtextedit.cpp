#include "richtextedit.h"

#include "store/richtextfile.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>

namespace zorv {

QuietSaveTimer::QuietSaveTimer(QObject *parent)
    : QTimer(parent)
{
    setSingleShot(true);
    setInterval(kDelay);
}

void QuietSaveTimer::watch(QTextDocument *document)
{
    disconnect(m_changes);
    disconnect(m_saved);
    m_document = document;
    if (!document)
        return;
    m_changes = connect(document, &QTextDocument::contentsChanged, this, [this] {
        if (m_document && m_document->isModified())
            start();
    });
    // A document loaded, emptied or saved holds nothing left to write.
    m_saved = connect(document, &QTextDocument::modificationChanged, this, [this](bool changed) {
        if (!changed)
            stop();
    });
}

RichTextEdit::RichTextEdit(QWidget *parent)
    : QTextEdit(parent)
{
    setDocument(new ContainedTextDocument(this));
    setAcceptRichText(true);
    setTextInteractionFlags(Qt::TextEditorInteraction);
    // Tab leaves the editor for the page's next field or link, as in every other field of
    // the window: a keyboard user could not get past the notes or the diary page otherwise.
    setTabChangesFocus(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        // Any change, typed or made in code, parts the content from the file it was read from.
        m_loadedPath.clear();
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
    // Stamped before reading: a change made while the file is read shows as a new stamp.
    const FileStamp stamp = fileStamp(path);
    if (!loadRichTextFile(path, *document()))
        return false;
    applyTypingFormatWhenEmpty();
    moveCursor(QTextCursor::Start);
    document()->setModified(false);
    m_loadedPath = path;
    m_loadedStamp = stamp;
    return true;
}

bool RichTextEdit::reloadFile(const QString &path)
{
    if (path == m_loadedPath && isUnchanged(path, m_loadedStamp)) {
        moveCursor(QTextCursor::Start);
        return true;
    }
    return loadFile(path);
}

bool RichTextEdit::saveFile(const QString &path)
{
    m_loadedPath.clear(); // the file now holds what was written, not what was read
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

void RichTextEdit::keyPressEvent(QKeyEvent *event)
{
    const bool newLine = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QTextCharFormat before = currentCharFormat();
    QTextEdit::keyPressEvent(event);
    if (!newLine || !before.isValid())
        return;
    // Enter on a blank line makes a paragraph that takes its format from the line break in
    // front of it, which carries none, so what is typed next would fall back to the widget's
    // font. The new blank paragraph keeps the format that was in effect instead.
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection() || cursor.block().length() != 1 || currentCharFormat() == before)
        return;
    cursor.joinPreviousEditBlock();
    cursor.setBlockCharFormat(before);
    cursor.endEditBlock();
    setCurrentCharFormat(before);
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

#pragma once

#include "store/filestamp.h"

#include <QPointer>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

namespace zorv {

// A one-shot timer that falls due a few seconds after the last change of a document that
// holds unsaved changes: the quiet moment at which an open editor is written, so that what
// is typed is never lost for longer than that. Each change starts it again.
class QuietSaveTimer : public QTimer
{
    Q_OBJECT
public:
    static constexpr int kDelay = 3000;

    explicit QuietSaveTimer(QObject *parent = nullptr);
    // Follows `document` (one at a time).
    void watch(QTextDocument *document);

private:
    QPointer<QTextDocument> m_document;
    QMetaObject::Connection m_changes;
    QMetaObject::Connection m_saved;
};

// The rich-text editor of the diary and the quick notes. Its document never reads a file
// or address named in a text or a paste; links in it open nothing. Text typed into an
// empty editor takes the editor's typing format, written out with its font and colour.
class RichTextEdit : public QTextEdit
{
    Q_OBJECT
public:
    explicit RichTextEdit(QWidget *parent = nullptr);

    // The format of text typed into an empty editor.
    void setTypingFormat(const QTextCharFormat &format);
    QTextCharFormat typingFormat() const { return m_typing; }

    // True when the document holds anything (text, a line break, a picture).
    bool holdsText() const;
    // Loads a rich-text file; false, with the content unchanged, when it cannot be read.
    bool loadFile(const QString &path);
    // Loads the file unless the editor already holds that very version of it, unchanged
    // since it was loaded; the caret goes to the start either way. Showing a page again
    // then costs no reading and no layout.
    bool reloadFile(const QString &path);
    // Writes the content to a rich-text file, atomically.
    bool saveFile(const QString &path);
    // Empties the editor; nothing typed remains to be saved.
    void clearPage();

protected:
    QVariant loadResource(int type, const QUrl &name) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void applyTypingFormatWhenEmpty();

    QTextCharFormat m_typing;
    bool m_applying = false;
    // The file the document was loaded from and its version then; cleared by any change
    // to the document afterwards and by a save.
    QString m_loadedPath;
    FileStamp m_loadedStamp;
};

} // namespace zorv

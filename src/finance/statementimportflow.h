#pragma once

#include "finance/statementimport.h"
#include "finance/statementreading.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QProgressDialog;
class QWidget;

namespace zorv {

class Paths;
struct Services;
class StatementPreview;

// Bringing a bank statement (OFX) into the ledgers, from the choice of the file to the
// entries written: the file is read off the window's thread behind a busy indicator with
// Cancel, its transactions shown in a preview to tick, and the ticked ones written as one
// group. Its dialogs open over `window`; what each step did is told as status text.
class StatementImportFlow : public QObject
{
    Q_OBJECT

public:
    // `mayWrite` is asked before anything is imported.
    StatementImportFlow(const Paths &paths, Services &services, std::function<bool()> mayWrite,
                        QWidget *window);

    // The preview of the statement being imported, while it is open.
    StatementPreview *preview() const;
    // The "Lendo o extrato..." indicator with its Cancel, while a statement is being read.
    QProgressDialog *progress() const;
    // What reads the statements, off the window's thread.
    StatementReading &reading() { return m_reading; }

public slots:
    // Asks for a statement file and starts reading it; nothing while an import is under way.
    void start();
    // Cancels the reading of a statement under way: nothing of it is shown or written.
    void cancelReading();

signals:
    // Status text for the page; an empty text clears it.
    void told(const QString &text);
    // Entries were written into the ledgers.
    void imported();
    // A statement's reading ended (read, refused or cancelled) and the window is free again.
    void readingEnded();
    // The import is over, whatever came of it (a file not chosen, a reading cancelled or
    // refused, the preview closed): the page takes the keyboard back.
    void finished();

private:
    void statementRead(const StatementReadResult &read);
    void importRows(const QList<ImportRow> &rows, int alreadyImported);

    Services &m_services;
    std::function<bool()> m_mayWrite;
    QWidget *m_window;
    StatementImport m_import;
    QPointer<StatementPreview> m_preview;
    StatementReading m_reading;
    QPointer<QProgressDialog> m_progress;
    QString m_importFolder; // where the last statement came from
};

} // namespace zorv

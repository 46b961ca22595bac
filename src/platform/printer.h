#pragma once

#include <QString>

class QTextDocument;

namespace zorv {

// Sends a document to a printer as one job.
class Printer
{
public:
    virtual ~Printer() = default;
    // Prints the whole document as one job named `title`. False when nothing was printed
    // (no printer chosen, the job failed).
    virtual bool print(const QTextDocument &document, const QString &title) = 0;
};

// The default printer; where there is none, the print dialog lets the user choose one (or
// a PDF file). setPdfOutput() sends every job to a PDF file instead, without asking.
class SystemPrinter final : public Printer
{
public:
    bool print(const QTextDocument &document, const QString &title) override;
    void setPdfOutput(const QString &path) { m_pdfOutput = path; }

private:
    QString m_pdfOutput;
};

} // namespace zorv

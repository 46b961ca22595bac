#include "printer.h"

#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

namespace zorv {

bool SystemPrinter::print(const QTextDocument &document, const QString &title)
{
    if (!m_pdfOutput.isEmpty()) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_pdfOutput);
        printer.setDocName(title);
        printer.setCreator(title);
        document.print(&printer);
        return QFileInfo(m_pdfOutput).size() > 0;
    }
    const QPrinterInfo chosen = QPrinterInfo::defaultPrinter();
    if (!chosen.isNull()) {
        QPrinter printer(chosen, QPrinter::HighResolution);
        printer.setDocName(title);
        document.print(&printer);
        return printer.printerState() != QPrinter::Error;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    QPrintDialog dialog(&printer);
    dialog.setWindowTitle(title);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    document.print(&printer);
    return printer.printerState() != QPrinter::Error;
}

} // namespace zorv

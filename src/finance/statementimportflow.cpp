#include "finance/statementimportflow.h"

#include "finance/statementpreview.h"
#include "platform/services.h"

#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>

namespace zorv {

namespace {

const QString kImportCaption = QStringLiteral("Importar extrato");
const QString kImportFilter = QStringLiteral("Extratos OFX (*.ofx *.qfx)");
const QString kCannotRead = QStringLiteral("Não foi possível ler o extrato: ");
const QString kImportedListUnreadable =
    QStringLiteral("a lista das transações já importadas (Importados.ofx) não pôde ser lida.");
const QString kCannotWrite =
    QStringLiteral("Não foi possível gravar a importação; nenhum arquivo foi alterado.");
const QString kReadingStatement = QStringLiteral("Lendo o extrato...");

QString entriesText(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 lançamento") : QString::number(n) + QStringLiteral(" lançamentos");
}

} // namespace

StatementImportFlow::StatementImportFlow(const Paths &paths, Services &services,
                                         std::function<bool()> mayWrite, QWidget *window)
    : QObject(window)
    , m_services(services)
    , m_mayWrite(std::move(mayWrite))
    , m_window(window)
    , m_import(paths)
{
    connect(&m_reading, &StatementReading::finished, this, &StatementImportFlow::statementRead);
}

StatementPreview *StatementImportFlow::preview() const
{
    return m_preview;
}

QProgressDialog *StatementImportFlow::progress() const
{
    return m_progress;
}

void StatementImportFlow::start()
{
    if (m_preview || m_reading.isReading())
        return;
    if (!m_mayWrite()) {
        emit told(QStringLiteral("Nada importado: a cópia de segurança está sendo restaurada"));
        return;
    }
    emit told(QString());
    const QString path = m_services.dialogs.openFile(kImportCaption, m_importFolder, kImportFilter);
    if (path.isEmpty()) {
        emit finished();
        return;
    }
    m_importFolder = QFileInfo(path).absolutePath();
    if (!m_reading.start(path)) {
        emit finished();
        return;
    }
    // The file is read off the window's thread; meanwhile the window keeps its timers and
    // shows that it is busy, with a Cancel that drops the reading.
    m_progress = new QProgressDialog(kReadingStatement, QString(), 0, 0, m_window);
    m_progress->setObjectName(QStringLiteral("StatementProgress"));
    auto *cancel = new QPushButton(QStringLiteral("Cancelar"), m_progress);
    cancel->setObjectName(QStringLiteral("CancelReading"));
    m_progress->setCancelButton(cancel);
    m_progress->setWindowTitle(kImportCaption);
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(0);
    m_progress->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_progress, &QProgressDialog::canceled, this, &StatementImportFlow::cancelReading);
    connect(m_progress, &QDialog::rejected, this, &StatementImportFlow::cancelReading);
    m_progress->show();
}

void StatementImportFlow::cancelReading()
{
    if (!m_reading.isReading())
        return;
    m_reading.cancel();
    if (m_progress) {
        m_progress->disconnect(this);
        m_progress->close();
    }
    emit told(QStringLiteral("Importação cancelada: nada importado"));
    emit readingEnded();
    emit finished();
}

void StatementImportFlow::statementRead(const StatementReadResult &read)
{
    if (m_progress) {
        m_progress->disconnect(this);
        m_progress->close();
    }
    const auto ended = qScopeGuard([this] { emit readingEnded(); });
    if (!read.ok()) {
        emit told(QStringLiteral("Nada importado"));
        m_services.dialogs.message(kCannotRead + read.error, {}, MessageIcon::Warning);
        emit finished();
        return;
    }
    bool listed = false;
    const QList<ImportRow> rows = m_import.rowsFor(read.transactions, &listed);
    if (!listed) {
        emit told(QStringLiteral("Nada importado"));
        m_services.dialogs.message(kCannotRead + kImportedListUnreadable, {}, MessageIcon::Warning);
        emit finished();
        return;
    }
    const int already = int(
        std::count_if(rows.cbegin(), rows.cend(), [](const ImportRow &row) { return row.alreadyImported; }));
    m_preview = new StatementPreview(rows, m_window);
    m_preview->setAttribute(Qt::WA_DeleteOnClose);
    m_preview->setWindowModality(Qt::WindowModal);
    connect(m_preview, &QDialog::finished, this, [this] { m_preview.clear(); });
    connect(m_preview, &QDialog::rejected, this, [this] {
        emit told(QStringLiteral("Importação cancelada: nada importado"));
        emit finished();
    });
    connect(m_preview, &QDialog::accepted, this, [this, already, preview = m_preview] {
        importRows(preview->tickedRows(), already);
        emit finished();
    });
    m_preview->open();
}

void StatementImportFlow::importRows(const QList<ImportRow> &rows, int alreadyImported)
{
    const QString existing = alreadyImported > 0
                                 ? QStringLiteral(", %1 já existente%2")
                                       .arg(alreadyImported)
                                       .arg(alreadyImported == 1 ? QString() : QStringLiteral("s"))
                                 : QString();
    if (!m_mayWrite()) {
        emit told(QStringLiteral("Nada importado: a cópia de segurança está sendo restaurada"));
        return;
    }
    const std::optional<qsizetype> written = rows.isEmpty() ? qsizetype(0) : m_import.write(rows);
    if (!written) {
        emit told(QStringLiteral("Nada importado"));
        m_services.dialogs.message(kCannotWrite, {}, MessageIcon::Warning);
        return;
    }
    emit told((*written == 0 ? QStringLiteral("Nenhum lançamento importado")
                             : entriesText(*written) + (*written == 1 ? QStringLiteral(" importado")
                                                                      : QStringLiteral(" importados"))) +
              existing);
    if (*written > 0)
        emit imported();
}

} // namespace zorv

#include "backupbar.h"

#include "backupcopy.h"
#include "backupsettings.h"

#include "controls/captions.h"
#include "controls/linklabel.h"
#include "controls/maskedtext.h"
#include "store/filetree.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace zorv {

namespace {

QLabel *barLabel(QWidget *parent)
{
    auto *label = new QLabel(QStringLiteral("|"), parent);
    label->setObjectName(QStringLiteral("barSeparator"));
    return label;
}

} // namespace

BackupBar::BackupBar(const Paths &paths, Services &services, QWidget *parent)
    : QWidget(parent)
    , m_paths(paths)
    , m_services(services)
{
    setObjectName(QStringLiteral("backupBar"));
    setFixedHeight(kHeight);
    useLightCaptions(this);
    buildLayout();

    TMWS.setObjectName(QStringLiteral("TMWS"));
    TMWS.setInterval(kStatusInterval);
    connect(&TMWS, &QTimer::timeout, this, &BackupBar::TMWSTimer);
    Timer7.setObjectName(QStringLiteral("Timer7"));
    Timer7.setInterval(kStatusSweepInterval);
    connect(&Timer7, &QTimer::timeout, this, &BackupBar::Timer7Timer);
    connect(&m_runner, &BackupRunner::finished, this, &BackupBar::jobFinished);

    loadSettings();
    Timer7.start();
}

BackupBar::~BackupBar() = default;

void BackupBar::buildLayout()
{
    Label70 = namedLabel("Label70", QStringLiteral("Backup"), this);
    Label71 = namedLabel("Label71", QStringLiteral("Hour"), this);

    CS = new QLineEdit(this);
    CS->setObjectName(QStringLiteral("CS"));
    CS->setInputMask(QString::fromLatin1(kHourMask));
    CS->setFixedWidth(CS->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 16);

    pma = namedLink("pma", QStringLiteral("Apply"), this);
    pma1 = namedLink("pma1", QStringLiteral("Now!"), this);
    Label99 = namedLabel("Label99", QStringLiteral("(it will be saved with the name data)"), this);
    pmo = namedLink("pmo", QStringLiteral("Restore Backup"), this);
    Label76 = namedLabel("Label76", QStringLiteral("Status:"), this);

    wst = namedLabel("wst", QString(), this);
    QFont bold = wst->font();
    bold.setBold(true);
    wst->setFont(bold);

    LC = new QLineEdit(this);
    LC->setObjectName(QStringLiteral("LC"));
    connect(LC, &QLineEdit::textChanged, this, &BackupBar::applyFolderCase);

    connect(pma, &LinkLabel::clicked, this, &BackupBar::pmaClick);
    connect(pma1, &LinkLabel::clicked, this, &BackupBar::pma1Click);
    connect(pmo, &LinkLabel::clicked, this, &BackupBar::pmoClick);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(8, 0, 8, 0);
    row->setSpacing(6);
    row->addWidget(Label70);
    row->addWidget(Label71);
    row->addWidget(CS);
    row->addWidget(barLabel(this));
    row->addWidget(pma);
    row->addWidget(barLabel(this));
    row->addWidget(pma1);
    row->addWidget(Label99);
    row->addWidget(barLabel(this));
    row->addWidget(pmo);
    row->addWidget(barLabel(this));
    row->addWidget(Label76);
    row->addWidget(wst);
    row->addWidget(LC, 1);
}

bool BackupBar::folderNamesIgnoreCase()
{
#if defined(Q_OS_WIN)
    return true;
#else
    return false;
#endif
}

void BackupBar::setFolderUpperCase(bool upper)
{
    m_upperCase = upper;
    applyFolderCase();
}

void BackupBar::applyFolderCase()
{
    if (!m_upperCase)
        return;
    const QString upper = LC->text().toUpper();
    if (upper == LC->text())
        return;
    const int cursor = LC->cursorPosition();
    const QSignalBlocker block(LC);
    LC->setText(upper);
    LC->setCursorPosition(cursor);
}

QString BackupBar::hourText() const
{
    return maskedText(*CS);
}

void BackupBar::setHourText(const QString &text)
{
    setMaskedText(*CS, text);
}

QString BackupBar::folderText() const
{
    return LC->text();
}

void BackupBar::loadSettings()
{
    const std::optional<BackupSettings> settings = loadBackupSettings(m_paths);
    if (!settings)
        return;
    m_settingsEncoding = settings->encoding;
    setHourText(settings->hour);
    if (settings->folder)
        LC->setText(*settings->folder);
}

void BackupBar::setStatus(const QString &text)
{
    wst->setText(text);
}

void BackupBar::pmaClick()
{
    const QString chosen = m_services.dialogs.chooseFolder(
        QStringLiteral("Selecionar nova pasta para pesquisa..."), QDir::toNativeSeparators(QDir::rootPath()));
    if (chosen.isEmpty())
        return;
    LC->setText(chosen);
    // A file that cannot be written leaves the fields in effect for this run only; so does
    // a restore under way, which would replace the file.
    if (m_restoring)
        return;
    saveBackupSettings(m_paths, hourText(), LC->text(), m_settingsEncoding);
}

void BackupBar::pma1Click()
{
    CopyD();
}

void BackupBar::CopyD()
{
    if (m_runner.isBusy())
        return;
    wst->show();
    EnableAllPrivileges();
    setStatus(QString());
    const QString dataDir = m_paths.dataDir();
    const QString folder = LC->text();
    auto setAside = std::make_shared<QString>();
    if (m_runner.start(BackupRunner::Job::Backup,
                       [dataDir, folder, setAside](const std::atomic<bool> &cancel) {
                           TreeCopyOptions options;
                           options.cancel = &cancel;
                           const BackupOutcome outcome = backupDataFolder(dataDir, folder, options);
                           *setAside = outcome.setAside;
                           return outcome.ok;
                       }))
        m_setAside = setAside;
}

void BackupBar::pmoClick()
{
    if (m_runner.isBusy())
        return;
    EnableAllPrivileges();
    wst->show();
    setStatus(QString());
    const QString dataDir = m_paths.dataDir();
    const QString folder = LC->text();
    const QDateTime now = m_services.clock.now();
    auto setAside = std::make_shared<QString>();
    m_restoring = m_runner.start(
        BackupRunner::Job::Restore, [dataDir, folder, now, setAside](const std::atomic<bool> &cancel) {
            TreeCopyOptions options;
            options.cancel = &cancel;
            const BackupOutcome outcome = restoreDataFolder(dataDir, folder, now, options);
            *setAside = outcome.setAside;
            return outcome.ok;
        });
    if (m_restoring)
        m_setAside = setAside;
}

static QString backupStatusText(BackupRunner::Job job, bool ok, const QString &setAside)
{
    QString text = ok ? QStringLiteral("OK!") : QStringLiteral("Falha!");
    if (setAside.isEmpty())
        return text;
    const QString name = QFileInfo(setAside).fileName();
    if (job == BackupRunner::Job::Backup)
        text += QStringLiteral(" A pasta que já estava lá foi movida para \"%1\".").arg(name);
    else if (ok)
        text += QStringLiteral(" Os dados substituídos estão em \"%1\".").arg(name);
    return text;
}

void BackupBar::jobFinished(BackupRunner::Job job, bool ok)
{
    const QString setAside = m_setAside ? *m_setAside : QString();
    m_setAside.reset();
    setStatus(backupStatusText(job, ok, setAside));
    wst->show();
    if (job == BackupRunner::Job::Backup) {
        // A folder of the user's was moved: that stays on the bar until it is read.
        if (setAside.isEmpty())
            TMWS.start();
        emit backupFinished(ok);
    } else {
        m_restoring = false;
        emit restoreFinished(ok);
    }
}

void BackupBar::Timer2Timer()
{
    if (m_schedule.tick(hourText(), m_services.clock.now()))
        m_dailyPending = true;
    // A daily backup that fell due while another copy ran starts at the first free tick.
    if (m_dailyPending && !m_runner.isBusy()) {
        m_dailyPending = false;
        CopyD();
    }
}

void BackupBar::TMWSTimer()
{
    TMWS.stop();
    wst->hide();
}

void BackupBar::Timer7Timer()
{
    if (!wst->isHidden())
        wst->hide();
}

void BackupBar::FormShow()
{
    setStatus(QString());
}

} // namespace zorv

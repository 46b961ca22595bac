#include "backupbar.h"

#include "backupcopy.h"
#include "backupsettings.h"

#include "controls/captions.h"
#include "controls/linklabel.h"
#include "controls/maskedtext.h"
#include "store/filetree.h"
#include "store/logging.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>

#include <utility>

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
    // The name of a folder set aside can be selected and copied from the status.
    wst->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    wst->installEventFilter(this);

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

void BackupBar::startAction()
{
    m_statusStays = false;
    TMWS.stop();
    setStatus(QString());
}

void BackupBar::dismissStatus()
{
    m_statusStays = false;
    setStatus(QString());
    wst->hide();
}

bool BackupBar::eventFilter(QObject *watched, QEvent *event)
{
    // A click on the status dismisses it; a press that selects text in it does not.
    if (watched == wst && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton && !wst->hasSelectedText() &&
        !wst->text().isEmpty())
        dismissStatus();
    return QWidget::eventFilter(watched, event);
}

void BackupBar::saveEditors()
{
    if (m_saveEditors)
        m_saveEditors();
}

void BackupBar::pmaClick()
{
    startAction();
    const QString chosen = m_services.dialogs.chooseFolder(
        QStringLiteral("Selecionar nova pasta para pesquisa..."), QDir::toNativeSeparators(QDir::rootPath()));
    if (chosen.isEmpty())
        return;
    LC->setText(chosen);
    // A file that cannot be written leaves the fields in effect for this run only; so does
    // a restore under way, which would replace the file.
    if (m_restoring)
        return;
    const WriteResult saved = saveBackupSettings(m_paths, hourText(), LC->text(), m_settingsEncoding);
    if (!saved)
        setStatus(BackupBar::tr("Falha!") + QStringLiteral(" ") + saved.reason());
}

void BackupBar::pma1Click()
{
    // "Now!" is the user's own action: a note still on the bar has been seen.
    startAction();
    CopyD();
}

void BackupBar::CopyD()
{
    if (m_runner.isBusy())
        return;
    // The daily backup is no action of the user's: a note that stays on the bar (where a
    // restore put the replaced data) stays through it unless it has news of its own.
    m_keptStatus = m_statusStays ? wst->text() : QString();
    if (!m_statusStays)
        startAction();
    wst->show();
    EnableAllPrivileges();
    // What is typed in the open editors belongs in the copy.
    saveEditors();
    const QString dataDir = m_paths.dataDir();
    const QString folder = LC->text();
    const BackupMark mark = BackupMark::forUser(m_paths.windowsDir(), m_services.clock.now());
    auto outcome = std::make_shared<BackupOutcome>();
    if (m_runner.start(BackupRunner::Job::Backup,
                       [dataDir, folder, mark, outcome](const std::atomic<bool> &cancel) {
                           TreeCopyOptions options;
                           options.cancel = &cancel;
                           *outcome = backupDataFolder(dataDir, folder, options, mark);
                           return outcome->ok;
                       }))
        m_outcome = outcome;
}

void BackupBar::pmoClick()
{
    if (m_runner.isBusy())
        return;
    const QString dataDir = m_paths.dataDir();
    const QString folder = LC->text();
    const QDateTime now = m_services.clock.now();
    const BackupMark mine = BackupMark::forUser(m_paths.windowsDir(), now);
    // A restore replaces everything: it is asked for first, naming the copy and where the
    // data it replaces will be kept; "Não" changes nothing, the status included. Without a
    // copy to take, it fails at once as before.
    if (const std::optional<QDateTime> made = backupCopyTime(dataDir, folder, mine)) {
        const QString question =
            tr("Restaurar a cópia de %1? Os dados atuais serão guardados em %2")
                .arg(made->toString(QStringLiteral("dd/MM/yyyy HH:mm")), replacedDataName(dataDir, now));
        if (!m_services.dialogs.question(question, QStringLiteral("Zorv Desk"), MessageIcon::Question,
                                         DefaultAnswer::No))
            return;
    }
    startAction();
    EnableAllPrivileges();
    wst->show();
    // The editors' changes go into the data folder first, so they are kept with it.
    saveEditors();
    auto outcome = std::make_shared<BackupOutcome>();
    m_restoring = m_runner.start(BackupRunner::Job::Restore,
                                 [dataDir, folder, now, mine, outcome](const std::atomic<bool> &cancel) {
                                     TreeCopyOptions options;
                                     options.cancel = &cancel;
                                     *outcome = restoreDataFolder(dataDir, folder, now, options, mine);
                                     return outcome->ok;
                                 });
    if (m_restoring) {
        m_outcome = outcome;
        emit restoreStarted();
    }
}

static QString backupStatusText(BackupRunner::Job job, bool ok, const BackupOutcome &outcome)
{
    QString text = ok ? BackupBar::tr("OK!") : BackupBar::tr("Falha!");
    if (!ok && !outcome.reason.isEmpty())
        text += QLatin1Char(' ') + outcome.reason;
    if (outcome.setAside.isEmpty())
        return text;
    const QString name = QFileInfo(outcome.setAside).fileName();
    if (job == BackupRunner::Job::Backup)
        text += BackupBar::tr(" A pasta que já estava lá foi movida para \"%1\".").arg(name);
    else if (ok)
        text += BackupBar::tr(" Os dados substituídos estão em \"%1\".").arg(name);
    return text;
}

void BackupBar::jobFinished(BackupRunner::Job job, bool ok)
{
    const BackupOutcome outcome = m_outcome ? *m_outcome : BackupOutcome();
    m_outcome.reset();
    setStatus(backupStatusText(job, ok, outcome));
    wst->show();
    if (!ok)
        qCWarning(lcBackup) << (job == BackupRunner::Job::Backup ? "backup failed:" : "restore failed:")
                            << LC->text() << outcome.reason;
    if (job == BackupRunner::Job::Backup) {
        // A folder moved aside, or a reason for a failure, stays on the bar until it is read.
        m_statusStays = !outcome.setAside.isEmpty() || !outcome.reason.isEmpty();
        const QString kept = std::exchange(m_keptStatus, QString());
        if (!m_statusStays && !kept.isEmpty() && ok) {
            setStatus(kept);
            m_statusStays = true;
        } else if (!m_statusStays) {
            TMWS.start();
        }
        emit backupFinished(ok);
    } else {
        // The status of a restore stays, and so does where the replaced data went.
        m_statusStays = true;
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
    if (!m_statusStays)
        wst->hide();
}

void BackupBar::Timer7Timer()
{
    if (!wst->isHidden() && !m_statusStays)
        wst->hide();
}

void BackupBar::FormShow()
{
    if (!m_statusStays)
        setStatus(QString());
}

} // namespace zorv

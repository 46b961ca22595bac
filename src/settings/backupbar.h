#pragma once

#include "backuprunner.h"
#include "backupschedule.h"

#include "platform/services.h"
#include "store/paths.h"
#include "store/textcodec.h"

#include <functional>
#include <memory>
#include <QTimer>
#include <QWidget>

class QLabel;
class QLineEdit;

namespace zorv {

class LinkLabel;
struct BackupOutcome;

// The backup bar inside the suite window's bottom panel Panel10: the daily
// backup hour, the backup folder, and the links that store them, back up at once and
// restore. The copies run on a worker thread; the status text wst shows "OK!" or
// "Falha!" when one ends. A restore is asked for first. The status of a restore, a failure
// with its reason and the note on a folder moved aside stay until the user clicks the
// status (without selecting in it) or starts another backup action; a plain "OK!" of a
// backup goes after a second.
//
// The suite window places the bar and calls Timer2Timer() from its one-second tick (after
// the companion watch) and FormShow() from its show step.
class BackupBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kHeight = 37;
    static constexpr int kStatusInterval = 1000;      // TMWS
    static constexpr int kStatusSweepInterval = 4000; // Timer7
    // The hour field accepts an optional first digit and five required ones, with the
    // colons kept in the text: "hh:mm:ss", '_' marking an unfilled place while editing.
    static constexpr char kHourMask[] = "09:99:99;_";
    static constexpr char kEmptyHour[] = "  :  :  ";

    // Reads "dados\Back.auto" into the hour and folder fields.
    BackupBar(const Paths &paths, Services &services, QWidget *parent = nullptr);
    ~BackupBar() override;

    // True where folder names ignore letter case (Windows); there the folder field shows
    // capitals. Elsewhere upper-casing would name another folder, so the case is kept.
    static bool folderNamesIgnoreCase();
    void setFolderUpperCase(bool upper);
    bool folderUpperCase() const { return m_upperCase; }

    // The hour field's text in its stored form: 8 characters, blanks where nothing was
    // typed (kEmptyHour when empty).
    QString hourText() const;
    void setHourText(const QString &text);
    QString folderText() const;

    bool isBusy() const { return m_runner.isBusy(); }
    // True from the start of a restore until its end is reported: the data folder may be
    // replaced at any moment, so nothing may be written into it.
    bool isRestoring() const { return m_restoring; }
    BackupRunner &runner() { return m_runner; }
    // Whether the status stays until the user dismisses it.
    bool statusStays() const { return m_statusStays; }

    // What writes the open editors' changes into the data folder; run before every backup
    // and before a restore sets the data folder aside.
    void setEditorSave(std::function<void()> save) { m_saveEditors = std::move(save); }

    QLabel *Label70 = nullptr; // "Backup"
    QLabel *Label71 = nullptr; // "Hour"
    QLineEdit *CS = nullptr;   // backup hour
    LinkLabel *pma = nullptr;  // "Apply"
    LinkLabel *pma1 = nullptr; // "Now!"
    QLabel *Label99 = nullptr; // "(it will be saved with the name data)"
    LinkLabel *pmo = nullptr;  // "Restore Backup"
    QLabel *Label76 = nullptr; // "Status:"
    QLabel *wst = nullptr;     // "OK!" / "Falha!"
    QLineEdit *LC = nullptr;   // backup folder

    QTimer TMWS;   // hides the status a second after a backup
    QTimer Timer7; // hides a visible status every four seconds

public slots:
    // "Apply": choose the folder, then store hour and folder in "dados\Back.auto".
    void pmaClick();
    // "Now!".
    void pma1Click();
    // "Restore Backup".
    void pmoClick();
    // Backs the data folder up to the folder field's folder, on the worker thread.
    void CopyD();
    // The backup-hour step of the suite window's one-second tick.
    void Timer2Timer();
    void TMWSTimer();
    void Timer7Timer();
    // The suite window's show step: empties the status text, unless it is one that stays.
    void FormShow();
    // The user clicked the status: it goes.
    void dismissStatus();

signals:
    void backupFinished(bool ok);
    // A restore starts replacing the data folder: nothing may be written into it until
    // restoreFinished.
    void restoreStarted();
    void restoreFinished(bool ok);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void loadSettings();
    void applyFolderCase();
    void setStatus(const QString &text);
    // Empties the status as an action of the user's starts.
    void startAction();
    void saveEditors();
    void jobFinished(BackupRunner::Job job, bool ok);

    Paths m_paths;
    Services &m_services;
    BackupSchedule m_schedule;
    BackupRunner m_runner;
    TextEncoding m_settingsEncoding = TextEncoding::Ansi;
    bool m_upperCase = folderNamesIgnoreCase();
    bool m_dailyPending = false;
    bool m_restoring = false;
    bool m_statusStays = false;
    QString m_keptStatus; // a note that stays, kept through a daily backup that went well
    std::function<void()> m_saveEditors;
    // The running job's outcome (where a folder in its way went, why it failed); filled on
    // the worker.
    std::shared_ptr<BackupOutcome> m_outcome;
};

} // namespace zorv

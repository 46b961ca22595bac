#pragma once

#include "platform/services.h"
#include "store/paths.h"

#include <QList>
#include <QTimer>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace zorv {

class FlagStaging;
class LinkLabel;
class PasswordStore;

// The switch files of the settings page: each box is on while its file exists.
inline const QString kStartDirectFile = QStringLiteral("\\MSWC1.dat");       // c1, Windows directory
inline const QString kImmediateOpenFile = QStringLiteral("Dados\\Open.imd"); // ai, data folder
inline const QString kNoSoundFile = QStringLiteral("dados\\Sound.viw");      // nrs, data folder
inline const QString kSkipSplashFile = QStringLiteral("\\WStart.dat");       // c3, Windows directory
// The autorun manager beside the executable, handed to the companion launcher.
inline const QString kAutorunManager = QStringLiteral("Aplicativos\\zorvAutorun.exe");

// The policy lock written by "Aplicar": one key with one value, one key with three.
struct PolicyKey
{
    QString key;
    QList<PolicyValue> values;
};
QList<PolicyKey> accessPolicyLock();

// The settings page "cfg" (sheet TabSheet7): the switches, each mirrored by a flag file;
// the access password; the link to the autorun manager; the unlock field; and an empty
// area on the right for the employee's released programs.
//
// A box changes its file only when the user toggles it (mouse or Space); boxes set from
// their files by the program never write. TMCHK, started by DeferredTimers(), sets ai and
// c1 from their files five seconds after start and then runs the check steps other pages
// add.
class SettingsPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int checkInterval = 5000;

    // `LB`: the run's staging list for switch files; `password`: the run's password store.
    SettingsPage(const Paths &paths, Services &services, PasswordStore &password, FlagStaging &LB,
                 QWidget *parent = nullptr);

    // A step of TMCHK's tick, run after ai and c1 are set, in the order added.
    void addCheckStep(std::function<void()> step);

    QLabel *headerTitle = nullptr;
    QLabel *headerText = nullptr;
    QCheckBox *c1 = nullptr;
    QCheckBox *ai = nullptr;
    QCheckBox *sfull = nullptr; // "Mostrar todas as páginas": the full suite's flag file
    QCheckBox *nrs = nullptr;
    QCheckBox *c3 = nullptr;
    LinkLabel *pmga = nullptr; // "Gerenciar Autorun"
    QLineEdit *esh = nullptr;  // the password to set or check
    LinkLabel *pm20 = nullptr; // "Aplicar"
    LinkLabel *CLS = nullptr;  // "Cancelar senha"
    QLineEdit *DBF = nullptr;  // unlock field
    // The right column's "Liberar programas do funcionário" group: empty, for the
    // program restriction panel.
    QWidget *employeeArea = nullptr;

    QTimer TMCHK;

public slots:
    void c1MouseUp();
    void aiMouseUp();
    void sfullMouseUp();
    // The full suite as the window last read it; sets the box without writing its file.
    void showFullSuite(bool on);
    void nrsMouseUp();
    void c3MouseUp();
    void pm20Click();
    void CLSClick();
    void eshKeyDown();
    void pmgaClick();
    void TMCHKTimer();
    // Show step: both password fields emptied.
    void ResetPasswordFields();
    // Create steps.
    void AutostartFlag();
    void SoundFlag();
    void DeferredTimers();

signals:
    // "Gerenciar Autorun" asks for the suite window to close.
    void closeSuiteRequested();
    // The user switched the full suite with sfull; its flag file is already written or removed.
    void fullSuiteSwitched();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void switchFlag(QCheckBox *box, const QString &file);
    QString flagPath(const QString &file) const;

    const Paths &m_paths;
    Services &m_services;
    PasswordStore &m_password;
    FlagStaging &m_LB;
    QList<std::function<void()>> m_checkSteps;
};

// A 12 x 12 box captioned "CK" (only its square shows); its label stands beside it.
QCheckBox *makeSwitchBox(const char *name, QWidget *parent);
// A field for a numeric password: ASCII digits only, typed or pasted, shown masked.
void makeDigitPasswordField(QLineEdit *field);

} // namespace zorv

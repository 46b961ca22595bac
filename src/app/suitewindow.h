#pragma once

#include "listscrolling.h"
#include "platform/services.h"
#include "store/paths.h"
#include "suitesteps.h"

#include <QColor>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QStackedWidget;
class QSystemTrayIcon;

namespace zorv {

class FullSuite;
class LinkLabel;
class HiddenMainWindow;
class PageBar;
class TaskBarWindow;

// Brings `window` to the front and asks for it to become the active window, restoring it
// first when it is minimised. True when it is the active window afterwards (activation is
// asynchronous on most platforms, so false does not mean it failed).
bool ForceForeground(QWidget *window);

// The suite window: frameless, full screen when shown, created hidden and only ever
// hidden again on close, never destroyed before the program ends. Owns the tray icon,
// the one-second timer whose first step is the companion watch, the fade-in and the
// page menu.
//
// Pages live on the twelve sheets of xPG (objectName TabSheet1, TabSheet9, ... in page
// order); a page is put on its sheet with setPage() and puts its share of the create,
// show, after-fade and close steps into the slots of suitesteps.h. Once every page is
// placed, FormCreate() runs the create step.
class SuiteWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int pageCount = 12;
    static constexpr int financePage = 6;
    static constexpr int timer2Interval = 1000;
    static constexpr unsigned windowColour = 0x744100; // 0x00BBGGRR: red 0, green 65, blue 116
    static constexpr int alphaInterval = 10;
    static constexpr int alphaStep = 30;         // opacity added per tick, out of 255 (60 on "XP")
    static constexpr int alphaFinal = 230;       // opacity once faded in
    static constexpr int followUpInterval = 200; // TMF and TMTT

    SuiteWindow(Services &services, const Paths &paths, HiddenMainWindow &tops, QWidget *parent = nullptr);
    ~SuiteWindow() override;

    // The fade-in's opacity step on a system of OS generation `generation`.
    static int alphaStepFor(const QString &generation);

    // The sheet of page `index` (0..11), or nullptr.
    QWidget *sheet(int index) const;
    // Puts `page` on sheet `index` in place of what was there; the sheet takes ownership.
    void setPage(int index, QWidget *page);
    void setFinancePage(QWidget *page) { setPage(financePage, page); }
    int currentPage() const;
    // Selects a page on the program's behalf; the page guard lets such a choice stand.
    void selectPage(int index);
    // What a page entry of the page menu does: the window to the front, shown (its show
    // step runs) when it is hidden, then page `index` selected. In the full suite the page's
    // focus field takes the focus as well.
    void openPage(int index);
    // A page chosen from the page bar or its keys: selected, and its focus field takes the focus.
    void choosePage(int index);

    // Whether the full suite is on (as its flag file said at the last show or switch).
    bool fullSuite() const;
    FullSuite *fullSuiteMode() const { return m_fullSuite; }
    // The content of the sheets of pages 0, 1, 9, 10 and 11: hidden by every show step
    // unless the full suite is on.
    void setUnusedSheetsShown(bool shown);

    void addCreateStep(CreateStep slot, std::function<void()> step);
    void addShowStep(ShowStep slot, std::function<void()> step);
    void addAfterFadeStep(AfterFadeStep slot, std::function<void()> step);
    void addCloseStep(CloseStep slot, std::function<void()> step);
    // Steps of every Timer2 tick that follow the companion watch, in the order added.
    void addTimer2Step(std::function<void()> step);

    // One row of the table that enables context-menu entries: just before `menu` opens,
    // `action` is enabled exactly when `enabled` answers true.
    void addMenuRule(QMenu *menu, QAction *action, std::function<bool()> enabled);

    // Files dragged from a file manager and dropped anywhere on the window go to `handler`
    // as local paths, in the order given. The drop links or copies, never moves, and no
    // control under the pointer (an edit field) takes the dropped paths as text.
    void setFileDropHandler(std::function<void(const QStringList &)> handler);

    // The field that takes the focus when the fade-in ends while page `page` is in front.
    void setFocusField(int page, QWidget *field);
    // The task bar window, whose Mini the show step uses.
    void setTaskBarWindow(TaskBarWindow *taa1) { m_taa1 = taa1; }
    // Hands a page address or a file to the companion launcher (the page menu's help,
    // feedback and contact entries). Nothing is handed over until one is set.
    void setLauncher(std::function<void(const QString &)> launch) { m_launch = std::move(launch); }
    void launch(const QString &target) const
    {
        if (m_launch)
            m_launch(target);
    }
    TaskBarWindow *taskBarWindow() const { return m_taa1; }

    const Paths &paths() const { return m_paths; }
    Services &services() const { return m_services; }
    // The opacity of the fade-in, out of 255.
    int alpha() const { return m_alpha; }
    // The window's colour: the built-in one or that of "dados\interface.col".
    QColor colour() const { return m_colour; }

    QLabel *Topo = nullptr; // header picture
    QLabel *Logo = nullptr; // picture on the header
    QLabel *IBT = nullptr;  // close picture
    QWidget *PDG = nullptr; // content panel: xPG under the strip PNN
    QStackedWidget *xPG = nullptr;
    QWidget *PNN = nullptr;     // strip over the top of xPG
    QLabel *q2 = nullptr;       // divider along the bottom of PNN
    PageBar *pageBar = nullptr; // on PNN: the page buttons of the full suite, hidden without it
    // Bottom panel, 37 pixels high: an empty horizontal layout the backup bar goes into.
    QWidget *Panel10 = nullptr;
    LinkLabel *pm2 = nullptr; // "Sessões": opens the page menu; hidden unless the full suite is on

    // The page menu, the only means of selecting a page other than 6.
    QMenu *PopupMenu1 = nullptr;
    QAction *readetrabalho1 = nullptr;
    QAction *Visualdoambiente1 = nullptr;
    QAction *Ferramentasdetrabalho1 = nullptr;
    QAction *Visualizadordeimagens1 = nullptr;
    QAction *Compromissoseanotaes1 = nullptr;
    QAction *Algosobremim1 = nullptr;
    QAction *Meudiriopessoal1 = nullptr;
    QAction *Agendatelefnica1 = nullptr;
    QAction *Ajuda1 = nullptr;
    QAction *udioplayer1 = nullptr;
    QAction *Maladireta1 = nullptr;
    QAction *Dicionrioetradutor1 = nullptr;
    QAction *Personaltrainer1 = nullptr;
    QAction *Daroseufeedback1 = nullptr;
    QAction *ContatocomaBrevance1 = nullptr;
    QAction *Finalizaroprograma1 = nullptr;

    QSystemTrayIcon *TrayIcon1 = nullptr;
    QTimer Timer2;
    QTimer Alpha; // fade-in, every 10 ms while it runs
    QTimer TMF;   // one shot: foreground and active
    QTimer TMTT;  // one shot: the refreshes after the fade-in

public slots:
    // The create step; once, after every page has been placed.
    void FormCreate();
    // Shows the window on page 6 (running the show step again when it already shows)
    // and starts TMF.
    void ShowSuite();
    // A left click on the tray icon.
    void TrayIcon1Click();
    // Companion watch first: without the companion the program ends. Then the other steps.
    void Timer2Timer();
    // The show step.
    void FormShow();
    // The reload part of the show step.
    void LoadAll();
    // Before the program ends other than by the user's close: the close step, with its
    // saves, closing the window when it shows. While hidden the close step runs again all
    // the same, so text whose save failed at the last close is written now.
    void closeAndSave();
    // Blanks the decorative dividers.
    void Colors();
    void AlphaTimer();
    void TMFTimer();
    void TMTTTimer();
    void pm2Click();
    // "Sair" of the tray menu: the close step's saves, then the companion and the program end.
    void quitFromTray();

protected:
    void closeEvent(QCloseEvent *event) override;
    // Key preview: sees the keys of every control of this window before the control does;
    // also sees each wheel notch over the window once.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct MenuRule
    {
        QPointer<QMenu> menu;
        QPointer<QAction> action;
        std::function<bool()> enabled;
    };

    void buildLayout();
    void registerOwnSteps();
    void FormClose();
    // Shows the window when hidden (faded out, so nothing flashes), then the show step.
    void showWindow();
    void setAlpha(int alpha);
    void applyInterfaceColourFile();
    void applyColour(const QColor &colour);
    void enableMenuEntries(QMenu *menu);
    void focusPageField(int page);

    Services &m_services;
    const Paths &m_paths;
    HiddenMainWindow &m_tops;
    TaskBarWindow *m_taa1 = nullptr;
    FullSuite *m_fullSuite = nullptr;
    std::array<QPointer<QWidget>, pageCount> m_focusFields;
    std::function<void(const QString &)> m_launch;
    std::function<void(const QStringList &)> m_dropFiles;
    int m_alphaStep = alphaStep;

    StepSequence<CreateStep> m_createSteps;
    StepSequence<ShowStep> m_showSteps;
    StepSequence<AfterFadeStep> m_afterFadeSteps;
    StepSequence<CloseStep> m_closeSteps;
    QList<std::function<void()>> m_timer2Steps;
    QList<MenuRule> m_menuRules;

    QColor m_colour;
    int m_alpha = 255;
    WheelPager m_wheel;
    bool m_selectingPage = false;
    bool m_created = false;
};

} // namespace zorv

#pragma once

#include "platform/services.h"
#include "store/paths.h"

#include <QList>
#include <QTimer>
#include <QWidget>

#include <functional>

class QLabel;
class QStackedWidget;
class QSystemTrayIcon;

namespace zorv {

class TOPS;
class Taa1;

// The suite window: frameless, full screen when shown, created hidden and only ever
// hidden again on close, never destroyed before the program ends. Owns the tray icon
// and the one-second timer whose first step is the companion watch.
//
// Pages live on the twelve sheets of xPG (objectName TabSheet1, TabSheet9, ... in page
// order); a feature puts its page widget on its sheet with setPage(), the finance page
// with setFinancePage(). Work that must happen on every close (saving typed text) is
// registered with addCloseStep() and runs in registration order.
class TATS : public QWidget
{
    Q_OBJECT
public:
    static constexpr int pageCount = 12;
    static constexpr int financePage = 6;
    static constexpr int timer2Interval = 1000;
    static constexpr unsigned windowColour = 0x744100; // 0x00BBGGRR: red 0, green 65, blue 116

    TATS(Services &services, const Paths &paths, TOPS &tops, QWidget *parent = nullptr);
    ~TATS() override;

    // The sheet of page `index` (0..11), or nullptr.
    QWidget *sheet(int index) const;
    // Puts `page` on sheet `index` in place of what was there; the sheet takes ownership.
    void setPage(int index, QWidget *page);
    void setFinancePage(QWidget *page) { setPage(financePage, page); }
    int currentPage() const;

    // Steps of the close step, run in the order added, each on its own: one failing does
    // not stop the next.
    void addCloseStep(std::function<void()> step);
    // Steps of the show step, run after the window is placed and page 6 selected.
    void addShowStep(std::function<void()> step);
    // Steps of every Timer2 tick that follow the companion watch.
    void addTimer2Step(std::function<void()> step);

    // The task bar window, whose Mini the show step will use.
    void setTaskBarWindow(Taa1 *taa1) { m_taa1 = taa1; }

    const Paths &paths() const { return m_paths; }
    Services &services() const { return m_services; }

    QStackedWidget *xPG = nullptr;
    QSystemTrayIcon *TrayIcon1 = nullptr;
    QTimer Timer2;

public slots:
    // Shows the window (or runs the show step again when it already shows) on page 6.
    void ShowSuite();
    // A left click on the tray icon.
    void TrayIcon1Click();
    // Companion watch first: without the companion the program ends. Then the other steps.
    void Timer2Timer();
    // The show step: full screen, page 6 in front, the registered show steps.
    void FormShow();

protected:
    void closeEvent(QCloseEvent *event) override;
    // Key preview: sees the keys of every control of this window before the control does.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void FormClose();
    void buildLayout();

    Services &m_services;
    const Paths &m_paths;
    TOPS &m_tops;
    Taa1 *m_taa1 = nullptr;
    QList<std::function<void()>> m_closeSteps;
    QList<std::function<void()>> m_showSteps;
    QList<std::function<void()>> m_timer2Steps;
};

} // namespace zorv

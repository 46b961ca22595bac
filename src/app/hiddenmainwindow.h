#pragma once

#include "controls/taglabel.h"
#include "platform/services.h"

#include <QLabel>
#include <QList>
#include <QTimer>
#include <QWidget>

#include <functional>

class QListWidget;

namespace zorv {

// The main window: created first so it anchors the application, never visible, no
// task-bar entry. It hosts a few hidden components other windows use, runs the
// working-set trim and owns the exit operation Sai.
class HiddenMainWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int memInterval = 20 * 60 * 1000;

    explicit HiddenMainWindow(Services &services, QWidget *parent = nullptr);

    QListWidget *LBS = nullptr; // scrambled access password read from the password file
    TagLabel *FC = nullptr;     // tag: program filter on (5) or off (0)
    TagLabel *Comp = nullptr;   // appointment indicator: a click opens the appointments
    QLabel *a2 = nullptr;       // empty picture for the vertical dividers
    QLabel *a10 = nullptr;      // empty picture for the horizontal dividers

    // The window's own desktop: fourteen icon slots q1..q14 and seven x1..x7. The window is
    // never visible, so whether they are shown changes nothing on screen; the program filter
    // hides them while it is on.
    QList<QLabel *> q; // q[0] is q1
    QList<QLabel *> x; // x[0] is x1
    void setIconSlotsShown(bool shown);
    bool iconSlotsShown() const { return m_iconSlotsShown; }

    QTimer MEM; // working-set trim, every 20 minutes from the show step

    // What Sai does to end the process; tests replace the application's exit.
    void setHaltHandler(std::function<void(int)> halt) { m_halt = std::move(halt); }

public slots:
    // The show step, run once when the event loop starts (the window itself stays hidden).
    void FormShow();
    void MEMTimer();
    // Ends the program at once with exit code 0. Windows are destroyed without their
    // close steps: a caller that wants them closes the suite window first.
    void Sai();

signals:
    void halting();

private:
    Services &m_services;
    std::function<void(int)> m_halt;
    bool m_iconSlotsShown = true;
};

} // namespace zorv

#pragma once

#include <QString>

#include <memory>

namespace zorv {

// A connection of its own to the X server named by $DISPLAY, for the few things Qt does
// not offer: finding any process's top-level window by title, the desktop-wide "show
// desktop" request and the task-bar hint of our own windows. When the program is built
// without Xlib, or no server answers, every call reports failure and does nothing.
class X11Display
{
public:
    X11Display();
    ~X11Display();
    X11Display(const X11Display &) = delete;
    X11Display &operator=(const X11Display &) = delete;

    // True when built with Xlib support.
    static bool supported();

    // Opens the connection on first use; false when no X server answers.
    bool open();

    // True when some top-level window (a child of the root window, or a client window
    // inside a window manager's frame) has exactly this title (_NET_WM_NAME or WM_NAME).
    bool hasTopLevelWindowTitled(const QString &title);

    // Asks the window manager to minimise every window (EWMH _NET_SHOWING_DESKTOP).
    bool showDesktop();

    // Marks a not yet mapped window as one that has no task-bar or pager entry
    // (_NET_WM_STATE_SKIP_TASKBAR, _NET_WM_STATE_SKIP_PAGER).
    bool setSkipTaskbar(unsigned long window);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace zorv

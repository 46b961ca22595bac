#include "x11windows.h"

#ifdef ZORV_HAVE_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

#include <QByteArray>

namespace zorv {

#ifdef ZORV_HAVE_X11

namespace {

// Windows can vanish between listing and reading them; such errors mean "not this one"
// and must not end the program, which is what Xlib's default handler does.
int ignoreXError(Display *, XErrorEvent *)
{
    return 0;
}

class ErrorTrap
{
public:
    explicit ErrorTrap(Display *display)
        : m_display(display)
        , m_previous(XSetErrorHandler(ignoreXError))
    {}
    ~ErrorTrap()
    {
        XSync(m_display, False);
        XSetErrorHandler(m_previous);
    }

private:
    Display *m_display;
    XErrorHandler m_previous;
};

// Levels below the root searched for a titled window: the root's children, and the
// client windows that reparenting window managers put one or two levels deeper.
constexpr int searchDepth = 3;

} // namespace

struct X11Display::Impl
{
    Display *display = nullptr;
    bool triedOpen = false;
    Atom netWmName = 0;
    Atom utf8String = 0;
    unsigned long lastMatch = 0; // checked first: the companion's window rarely changes

    ~Impl()
    {
        if (display)
            XCloseDisplay(display);
    }

    QString titleOf(Window w)
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        QString title;
        if (XGetWindowProperty(display, w, netWmName, 0, 1024, False, utf8String, &type, &format, &count,
                               &after, &data) == Success &&
            data) {
            if (type == utf8String && format == 8)
                title = QString::fromUtf8(reinterpret_cast<const char *>(data), int(count));
            XFree(data);
            if (!title.isNull())
                return title;
        }
        char *name = nullptr;
        if (XFetchName(display, w, &name) && name) {
            title = QString::fromLocal8Bit(name);
            XFree(name);
        }
        return title;
    }

    bool search(Window parent, const QString &title, int depth)
    {
        Window root = 0, parentOut = 0;
        Window *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, parent, &root, &parentOut, &children, &count))
            return false;
        bool found = false;
        for (unsigned int i = 0; i < count && !found; ++i) {
            if (titleOf(children[i]) == title) {
                lastMatch = children[i];
                found = true;
            }
        }
        for (unsigned int i = 0; i < count && !found && depth > 1; ++i)
            found = search(children[i], title, depth - 1);
        if (children)
            XFree(children);
        return found;
    }
};

X11Display::X11Display()
    : d(std::make_unique<Impl>())
{}
X11Display::~X11Display() = default;

bool X11Display::supported()
{
    return true;
}

bool X11Display::open()
{
    if (!d->triedOpen) {
        d->triedOpen = true;
        d->display = XOpenDisplay(nullptr);
        if (d->display) {
            d->netWmName = XInternAtom(d->display, "_NET_WM_NAME", False);
            d->utf8String = XInternAtom(d->display, "UTF8_STRING", False);
        }
    }
    return d->display != nullptr;
}

bool X11Display::hasTopLevelWindowTitled(const QString &title)
{
    if (!open())
        return false;
    ErrorTrap trap(d->display);
    if (d->lastMatch && d->titleOf(d->lastMatch) == title)
        return true;
    d->lastMatch = 0;
    return d->search(DefaultRootWindow(d->display), title, searchDepth);
}

bool X11Display::showDesktop()
{
    if (!open())
        return false;
    ErrorTrap trap(d->display);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.send_event = True;
    event.xclient.display = d->display;
    event.xclient.window = DefaultRootWindow(d->display);
    event.xclient.message_type = XInternAtom(d->display, "_NET_SHOWING_DESKTOP", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1;
    const Status sent = XSendEvent(d->display, DefaultRootWindow(d->display), False,
                                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(d->display);
    return sent != 0;
}

bool X11Display::setSkipTaskbar(unsigned long window)
{
    if (!open() || !window)
        return false;
    ErrorTrap trap(d->display);
    const Atom state = XInternAtom(d->display, "_NET_WM_STATE", False);
    Atom atoms[2] = {XInternAtom(d->display, "_NET_WM_STATE_SKIP_TASKBAR", False),
                     XInternAtom(d->display, "_NET_WM_STATE_SKIP_PAGER", False)};
    // Append: the toolkit merges its own states into the property when it maps the window.
    XChangeProperty(d->display, window, state, XA_ATOM, 32, PropModeAppend,
                    reinterpret_cast<unsigned char *>(atoms), 2);
    XFlush(d->display);
    return true;
}

#else // no Xlib

struct X11Display::Impl
{
};

X11Display::X11Display()
    : d(std::make_unique<Impl>())
{}
X11Display::~X11Display() = default;

bool X11Display::supported()
{
    return false;
}
bool X11Display::open()
{
    return false;
}
bool X11Display::hasTopLevelWindowTitled(const QString &)
{
    return false;
}
bool X11Display::showDesktop()
{
    return false;
}
bool X11Display::setSkipTaskbar(unsigned long)
{
    return false;
}

#endif

} // namespace zorv

#include "xsession.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <functional>
#include <sys/prctl.h>

namespace {

int ignoreXError(Display *, XErrorEvent *)
{
    return 0;
}

} // namespace

struct XSession::Impl
{
    Display *display = nullptr;
    Atom netWmName = 0;
    Atom utf8 = 0;

    ~Impl()
    {
        if (display)
            XCloseDisplay(display);
    }

    bool viewable(Window w) const
    {
        XWindowAttributes a;
        return XGetWindowAttributes(display, w, &a) && a.map_state == IsViewable;
    }

    QByteArray title(Window w) const
    {
        QByteArray result;
        Atom type = 0;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(display, w, netWmName, 0, 256, False, utf8, &type, &format, &n, &after,
                               &data) == Success &&
            data) {
            result = QByteArray(reinterpret_cast<char *>(data), int(n));
            XFree(data);
        }
        return result;
    }

    unsigned long find(Window parent, const std::function<bool(Window)> &match) const
    {
        Window root = 0, up = 0, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, parent, &root, &up, &children, &count))
            return 0;
        unsigned long found = 0;
        for (unsigned int i = 0; i < count && !found; ++i)
            found = match(children[i]) ? children[i] : find(children[i], match);
        if (children)
            XFree(children);
        return found;
    }
};

XSession::XSession()
    : d(std::make_unique<Impl>())
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString trayer = QStandardPaths::findExecutable(QStringLiteral("trayer"));
    if (xvfb.isEmpty() || trayer.isEmpty()) {
        m_error = QStringLiteral("needs Xvfb and trayer");
        return;
    }
    // Server and tray host go with this process, however it ends.
    for (QProcess *p : {&m_xvfb, &m_trayer})
        p->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_xvfb.start(xvfb, {"-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0", "1280x800x24"});
    QByteArray out;
    while (!out.contains('\n') && m_xvfb.waitForReadyRead(10000))
        out += m_xvfb.readAllStandardOutput();
    bool ok = false;
    const int number = out.trimmed().toInt(&ok);
    if (!ok) {
        m_error = QStringLiteral("Xvfb did not start");
        return;
    }
    m_displayName = QStringLiteral(":%1").arg(number);
    qputenv("DISPLAY", m_displayName.toLocal8Bit());
    d->display = XOpenDisplay(nullptr);
    if (!d->display) {
        m_error = QStringLiteral("cannot connect to Xvfb");
        return;
    }
    XSetErrorHandler(ignoreXError);
    d->netWmName = XInternAtom(d->display, "_NET_WM_NAME", False);
    d->utf8 = XInternAtom(d->display, "UTF8_STRING", False);

    m_trayer.start(trayer, {"--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24",
                            "--transparent", "false"});
    QElapsedTimer clock;
    clock.start();
    const Atom trayAtom = XInternAtom(d->display, "_NET_SYSTEM_TRAY_S0", False);
    while (XGetSelectionOwner(d->display, trayAtom) == None && clock.elapsed() < 10000)
        QThread::msleep(10);
    if (XGetSelectionOwner(d->display, trayAtom) == None) {
        m_error = QStringLiteral("trayer did not take the tray");
        return;
    }
    m_ready = true;
}

XSession::~XSession()
{
    d.reset();
    for (QProcess *p : {&m_trayer, &m_xvfb}) {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
            p->waitForFinished(3000);
        }
    }
}

void XSession::createTitledWindow(const QByteArray &title)
{
    const Window w = XCreateSimpleWindow(d->display, DefaultRootWindow(d->display), 0, 0, 10, 10, 0, 0, 0);
    XStoreName(d->display, w, title.constData());
    XSync(d->display, False);
}

unsigned long XSession::findViewableByClass(const QByteArray &instance, int maxSide) const
{
    return d->find(DefaultRootWindow(d->display), [&](Window w) {
        XClassHint hint{};
        if (!XGetClassHint(d->display, w, &hint))
            return false;
        const bool same = hint.res_name && instance == hint.res_name;
        XFree(hint.res_name);
        XFree(hint.res_class);
        if (!same)
            return false;
        XWindowAttributes a;
        return XGetWindowAttributes(d->display, w, &a) && a.map_state == IsViewable && a.width <= maxSide &&
               a.height <= maxSide;
    });
}

unsigned long XSession::findViewableByTitle(const QByteArray &prefix) const
{
    return d->find(DefaultRootWindow(d->display),
                   [&](Window w) { return d->title(w).startsWith(prefix) && d->viewable(w); });
}

bool XSession::centreOf(unsigned long window, int *x, int *y) const
{
    XWindowAttributes a;
    Window child = 0;
    if (!XGetWindowAttributes(d->display, window, &a))
        return false;
    return XTranslateCoordinates(d->display, window, DefaultRootWindow(d->display), a.width / 2, a.height / 2,
                                 x, y, &child);
}

#include "platform/companion.h"
#include "platform/x11windows.h"
#include "xvfbserver.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#ifdef ZORV_HAVE_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

using namespace zorv;

class TestCompanion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void socketPresenceFollowsTheBeacon();
    void socketLeftByCrashedCompanionReadsAbsent();
    void endRequestReachesTheBeaconOnly();

    void windowSearchFindsTitle_data();
    void windowSearchFindsTitle();
    void windowSearchNoticesWindowGone();
    void skipTaskbarStateIsSet();

private:
    std::unique_ptr<XvfbServer> m_xvfb;
};

void TestCompanion::initTestCase()
{
#ifdef ZORV_HAVE_X11
    m_xvfb = std::make_unique<XvfbServer>();
    if (m_xvfb->isRunning())
        qputenv("DISPLAY", m_xvfb->display().toLocal8Bit());
#endif
}

void TestCompanion::socketPresenceFollowsTheBeacon()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zorvoletps.presence"));
    LocalSocketPresence presence(path);
    QVERIFY(!presence.isPresent());

    PresenceBeacon beacon;
    QVERIFY(beacon.start(path));
    QVERIFY(presence.isPresent());
    QVERIFY(presence.isPresent()); // the beacon drops each check's connection; checks go on

    beacon.stop();
    QVERIFY(!presence.isPresent());
}

// The program's "Sair" asks the companion to end; presence checks never do.
void TestCompanion::endRequestReachesTheBeaconOnly()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zorvoletps.presence"));
    LocalSocketPresence presence(path);
    QVERIFY(!presence.requestEnd()); // nobody listens

    PresenceBeacon beacon;
    QSignalSpy ended(&beacon, &PresenceBeacon::endRequested);
    QVERIFY(beacon.start(path));
    QVERIFY(presence.isPresent());
    QVERIFY(presence.isPresent());

    QVERIFY(presence.requestEnd());
    QVERIFY(ended.wait(2000));
    QCOMPARE(ended.count(), 1);    // the two checks before it asked for nothing
    QVERIFY(presence.isPresent()); // the request alone ends nothing; the companion decides
}

// A companion killed outright leaves its socket file; nothing listens on it any more.
void TestCompanion::socketLeftByCrashedCompanionReadsAbsent()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zorvoletps.presence"));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof(address.sun_path));
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    ::close(fd); // bound, never listening: the file stays, connections are refused
    QVERIFY(QFile::exists(path));

    QVERIFY(!LocalSocketPresence(path).isPresent());

    PresenceBeacon next; // the next companion takes the place over
    QVERIFY(next.start(path));
    QVERIFY(LocalSocketPresence(path).isPresent());
}

#ifdef ZORV_HAVE_X11
namespace {

enum class Placement { RootChild, InFrame, TwoLevelsInFrame };
enum class Property { WmName, NetWmName };

// Makes windows the way other programs and window managers do, on a connection of its own.
class XWindows
{
public:
    XWindows()
        : m_display(XOpenDisplay(nullptr))
    {}
    ~XWindows()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    bool isOpen() const { return m_display; }
    Window root() const { return DefaultRootWindow(m_display); }

    Window create(Window parent)
    {
        const Window w = XCreateSimpleWindow(m_display, parent, 0, 0, 10, 10, 0, 0, 0);
        XSync(m_display, False);
        return w;
    }
    Window createTitled(Placement placement, Property property, const QByteArray &title)
    {
        Window parent = DefaultRootWindow(m_display);
        if (placement != Placement::RootChild)
            parent = create(parent);
        if (placement == Placement::TwoLevelsInFrame)
            parent = create(parent);
        const Window w = create(parent);
        if (property == Property::WmName) {
            XStoreName(m_display, w, title.constData());
        } else {
            XChangeProperty(m_display, w, XInternAtom(m_display, "_NET_WM_NAME", False),
                            XInternAtom(m_display, "UTF8_STRING", False), 8, PropModeReplace,
                            reinterpret_cast<const unsigned char *>(title.constData()), int(title.size()));
        }
        XSync(m_display, False);
        return w;
    }
    void destroy(Window w)
    {
        XDestroyWindow(m_display, w);
        XSync(m_display, False);
    }
    QList<QByteArray> states(Window w)
    {
        QList<QByteArray> names;
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(m_display, w, XInternAtom(m_display, "_NET_WM_STATE", False), 0, 64, False,
                               XA_ATOM, &type, &format, &count, &after, &data) == Success &&
            data) {
            const Atom *atoms = reinterpret_cast<const Atom *>(data);
            for (unsigned long i = 0; i < count; ++i) {
                char *name = XGetAtomName(m_display, atoms[i]);
                names << QByteArray(name);
                XFree(name);
            }
            XFree(data);
        }
        return names;
    }

private:
    Display *m_display;
};

} // namespace
#endif

#define REQUIRE_X_SERVER()                                                                                   \
    if (!m_xvfb || !m_xvfb->isRunning())                                                                     \
        QSKIP("needs Xvfb and Xlib");

void TestCompanion::windowSearchFindsTitle_data()
{
#ifdef ZORV_HAVE_X11
    QTest::addColumn<Placement>("placement");
    QTest::addColumn<Property>("property");
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<bool>("found");

    QTest::newRow("unmapped root child, WM_NAME")
        << Placement::RootChild << Property::WmName << QByteArray("zorvoletps") << true;
    QTest::newRow("root child, _NET_WM_NAME only")
        << Placement::RootChild << Property::NetWmName << QByteArray("zorvoletps") << true;
    QTest::newRow("client inside a window-manager frame")
        << Placement::InFrame << Property::NetWmName << QByteArray("zorvoletps") << true;
    QTest::newRow("client two levels inside a frame")
        << Placement::TwoLevelsInFrame << Property::WmName << QByteArray("zorvoletps") << true;
    QTest::newRow("longer title") << Placement::RootChild << Property::WmName << QByteArray("zorvoletps 2")
                                  << false;
    QTest::newRow("other letter case")
        << Placement::RootChild << Property::NetWmName << QByteArray("Zorvoletps") << false;
#endif
}

void TestCompanion::windowSearchFindsTitle()
{
    REQUIRE_X_SERVER();
#ifdef ZORV_HAVE_X11
    QFETCH(Placement, placement);
    QFETCH(Property, property);
    QFETCH(QByteArray, title);
    QFETCH(bool, found);

    XWindows other;
    QVERIFY(other.isOpen());
    X11TitlePresence presence(QStringLiteral("zorvoletps"));
    QVERIFY(!presence.isPresent());
    const Window w = other.createTitled(placement, property, title);
    QCOMPARE(presence.isPresent(), found);
    other.destroy(w);
#endif
}

void TestCompanion::windowSearchNoticesWindowGone()
{
    REQUIRE_X_SERVER();
#ifdef ZORV_HAVE_X11
    XWindows other;
    QVERIFY(other.isOpen());
    X11TitlePresence presence(QStringLiteral("zorvoletps"));
    const Window first = other.createTitled(Placement::RootChild, Property::WmName, "zorvoletps");
    QVERIFY(presence.isPresent());
    // The window found last goes while a second one with the title exists, then that one
    // goes too: a remembered window must never answer for a vanished one.
    const Window second = other.createTitled(Placement::InFrame, Property::WmName, "zorvoletps");
    other.destroy(first);
    QVERIFY(presence.isPresent());
    other.destroy(second);
    QVERIFY(!presence.isPresent());
#endif
}

void TestCompanion::skipTaskbarStateIsSet()
{
    REQUIRE_X_SERVER();
#ifdef ZORV_HAVE_X11
    XWindows other;
    QVERIFY(other.isOpen());
    const Window w = other.create(other.root());
    X11Display display;
    QVERIFY(display.setSkipTaskbar(w));
    const QList<QByteArray> states = other.states(w);
    QVERIFY2(states.contains("_NET_WM_STATE_SKIP_TASKBAR"), states.join(' ').constData());
    QVERIFY(states.contains("_NET_WM_STATE_SKIP_PAGER"));
#endif
}

QTEST_GUILESS_MAIN(TestCompanion)
#include "tst_companion.moc"

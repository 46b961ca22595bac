#include "notifier.h"

#include <QSystemTrayIcon>

#ifdef ZORV_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>
#endif

namespace zorv {

namespace {

constexpr int kShownMs = 10000;

} // namespace

void DesktopNotifier::setTrayIcon(QSystemTrayIcon *icon)
{
    m_tray = icon;
}

void DesktopNotifier::notify(const QString &title, const QString &text)
{
    if (m_tray && m_tray->isVisible() && QSystemTrayIcon::isSystemTrayAvailable() &&
        QSystemTrayIcon::supportsMessages()) {
        m_tray->showMessage(title, text, QSystemTrayIcon::Information, kShownMs);
        return;
    }
#ifdef ZORV_HAVE_DBUS
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << QStringLiteral("Zorv Desk") << uint(0) << QString() << title << text << QStringList()
         << QVariantMap() << int(kShownMs);
    bus.send(call); // never waits for the notification server's answer
#endif
}

} // namespace zorv

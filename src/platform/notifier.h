#pragma once

#include <QPointer>
#include <QString>

class QSystemTrayIcon;

namespace zorv {

// A short message beside the desktop's other notifications: never modal, never taking
// the focus, gone by itself.
class Notifier
{
public:
    virtual ~Notifier() = default;
    virtual void notify(const QString &title, const QString &text) = 0;
    // The program's tray icon, whose message balloon is preferred where a tray exists.
    virtual void setTrayIcon(QSystemTrayIcon *icon) { Q_UNUSED(icon); }
};

// The tray icon's message where a tray shows it, else a freedesktop notification over the
// session bus, else nothing.
class DesktopNotifier final : public Notifier
{
public:
    void notify(const QString &title, const QString &text) override;
    void setTrayIcon(QSystemTrayIcon *icon) override;

private:
    QPointer<QSystemTrayIcon> m_tray;
};

} // namespace zorv

#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>

#include <memory>

// A private X server with the trayer tray host, and the window queries the start-up
// benchmark polls.
class XSession
{
public:
    XSession();
    ~XSession();

    bool isReady() const { return m_ready; }
    QString error() const { return m_error; }
    QString display() const { return m_displayName; }

    // A top-level window titled "title", made on this process's own connection.
    void createTitledWindow(const QByteArray &title);

    // The id of a viewable window whose WM_CLASS instance is `instance` and whose size is
    // at most `maxSide` square, or 0. Searches the whole window tree.
    unsigned long findViewableByClass(const QByteArray &instance, int maxSide) const;
    // The id of a viewable window whose title begins with `prefix`, or 0.
    unsigned long findViewableByTitle(const QByteArray &prefix) const;
    // Middle of a window in root coordinates.
    bool centreOf(unsigned long window, int *x, int *y) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    QProcess m_xvfb;
    QProcess m_trayer;
    QString m_displayName;
    QString m_error;
    bool m_ready = false;
};

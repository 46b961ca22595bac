#pragma once

#include <QProcess>
#include <QString>

// A private X server for one test run, when Xvfb is installed. It picks a free display
// number itself and stops with the object.
class XvfbServer
{
public:
    XvfbServer();
    ~XvfbServer();

    bool isRunning() const { return !m_display.isEmpty(); }
    QString display() const { return m_display; } // ":N"

private:
    QProcess m_process;
    QString m_display;
};

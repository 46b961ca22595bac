#include "xvfbserver.h"

#include <QStandardPaths>

#include <csignal>
#include <sys/prctl.h>

XvfbServer::XvfbServer()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        return;
    // The server goes with this process even when a test crashes.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    // -displayfd 1: the server chooses a free display and writes its number to stdout.
    // -noreset: a server resets when its last client leaves and refuses connections
    // meanwhile; tests connect and leave again and again.
    m_process.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                           QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                           QStringLiteral("0"), QStringLiteral("640x480x24")});
    if (!m_process.waitForStarted(5000))
        return;
    QByteArray out;
    while (!out.contains('\n') && m_process.waitForReadyRead(5000))
        out += m_process.readAllStandardOutput();
    bool ok = false;
    const int number = out.trimmed().toInt(&ok);
    if (ok)
        m_display = QStringLiteral(":%1").arg(number);
}

XvfbServer::~XvfbServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(3000);
    }
}

#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The warnings logged while it lives, each as "<category> <text>", so a test can check that a
// failure left exactly one line in the category it belongs to.
struct LoggedWarnings
{
    static inline QStringList lines;
    QtMessageHandler previous;
    LoggedWarnings()
    {
        lines.clear();
        previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &context, const QString &text) {
                if (type == QtWarningMsg)
                    lines.append(QString::fromLatin1(context.category) + QLatin1Char(' ') + text);
            });
    }
    ~LoggedWarnings() { qInstallMessageHandler(previous); }
    LoggedWarnings(const LoggedWarnings &) = delete;
    LoggedWarnings &operator=(const LoggedWarnings &) = delete;
};

#include "sessionstart.h"

#include "store/logging.h"
#include "store/textlist.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zorv {

namespace {

// One argument of an Exec line: quoted when it holds a character the line reserves, with
// " ` $ \ escaped inside the quotes; a percent sign doubled, as it starts field codes.
QString execArgument(const QString &arg)
{
    static const QString reserved = QStringLiteral(" \t\"'\\><~|&;$*?#()`");
    QString text = arg;
    text.replace(QLatin1Char('%'), QStringLiteral("%%"));
    bool quote = text.isEmpty();
    for (QChar c : text)
        quote = quote || reserved.contains(c);
    if (!quote)
        return text;
    QString quoted = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

// The string-value escape on top: every backslash doubled.
QString escapeValue(QString value)
{
    return value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
}

} // namespace

SessionStart::SessionStart(const QString &program, const QString &entryFile)
    : m_program(program)
    , m_entryFile(entryFile)
{}

QString SessionStart::defaultEntryFile()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!config.startsWith(QLatin1Char('/')))
        config = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(config + QStringLiteral("/autostart/zorv-desk.desktop"));
}

QByteArray SessionStart::entryText(const QString &program)
{
    for (QChar c : program) {
        if (c.unicode() < 0x20)
            return {};
    }
    const QString text =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Zorv Desk\n"
                       "Comment=Finan\u00e7as pessoais na \u00e1rea de notifica\u00e7\u00e3o\n"
                       "Exec=%1\n"
                       "Icon=zorv-desk\n"
                       "Terminal=false\n"
                       "X-GNOME-Autostart-enabled=true\n")
            .arg(escapeValue(execArgument(program)));
    return text.toUtf8();
}

bool SessionStart::isOn() const
{
    QFile file(m_entryFile);
    if (!QFileInfo(m_entryFile).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    // An entry is small; anything bigger is not one of ours and is read no further.
    const QList<QByteArray> lines = file.read(64 * 1024).split('\n');
    for (const QByteArray &raw : lines) {
        const QByteArray line = raw.trimmed();
        if (line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false")
            return false;
    }
    return true;
}

WriteResult SessionStart::setOn(bool on)
{
    if (!on) {
        const QFileInfo info(m_entryFile);
        if (!info.exists() && !info.isSymLink())
            return WriteResult::done();
        QFile entry(m_entryFile);
        if (entry.remove())
            return WriteResult::done();
        qCWarning(lcApp) << "session start entry not removed:" << m_entryFile << entry.errorString();
        return WriteResult::failed(entry.errorString());
    }
    const QByteArray text = entryText(m_program);
    if (text.isEmpty()) {
        qCWarning(lcApp) << "session start entry not written: no program to start";
        return WriteResult::failed(
            QCoreApplication::translate("zorv::SessionStart", "programa desconhecido"));
    }
    const QString folder = QFileInfo(m_entryFile).absolutePath();
    if (!QDir().mkpath(folder)) {
        qCWarning(lcApp) << "session start folder not created:" << folder;
        return WriteResult::failed(
            QCoreApplication::translate("zorv::SessionStart", "não foi possível criar a pasta %1")
                .arg(folder));
    }
    // A failed write is logged by the store itself.
    return writeFileAtomically(m_entryFile, text);
}

} // namespace zorv

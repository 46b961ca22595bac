#include "opentarget.h"

#include "store/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRegularExpression>

namespace zorv {

namespace {

// Files the desktop would run rather than open: binaries and scripts. The executable bit
// alone is not enough, since copied data (a report on a FAT stick) often carries it too.
bool isProgram(const QFileInfo &info)
{
    if (!info.isFile() || !info.isExecutable())
        return false;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
    for (const char *name :
         {"application/x-executable", "application/x-sharedlib", "application/x-pie-executable",
          "application/x-shellscript", "application/x-perl", "text/x-python", "text/x-python3"}) {
        if (type.inherits(QLatin1StringView(name)))
            return true;
    }
    return false;
}

} // namespace

OpenAction classifyTarget(const QString &target, const Paths &paths)
{
    const QString text = target.trimmed();
    if (text.isEmpty())
        return {};

    // A scheme of two letters or more ("C:" is a drive, not a scheme).
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(text).hasMatch()) {
        const QUrl url(text);
        if (url.isLocalFile())
            return classifyTarget(url.toLocalFile(), paths);
        if (url.isValid())
            return {OpenAction::Open, {}, url};
        return {};
    }
    if (text.startsWith(QLatin1StringView("www."), Qt::CaseInsensitive))
        return {OpenAction::Open, {}, QUrl::fromUserInput(text)};

    QString path = QDir::fromNativeSeparators(text);
    if (QDir::isRelativePath(path))
        path = paths.resolve(text);
    const QFileInfo info(path);
    if (isProgram(info))
        return {OpenAction::Start, info.absoluteFilePath(), {}};
    return {OpenAction::Open, {}, QUrl::fromLocalFile(info.absoluteFilePath())};
}

} // namespace zorv

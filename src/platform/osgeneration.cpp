#include "osgeneration.h"

#include <QOperatingSystemVersion>

namespace zorv {

QString osGenerationName(bool isNT, int major, int minor)
{
    if (isNT && major > 5)
        return minor == 0 ? QStringLiteral("Vista") : QStringLiteral("Seven");
    return QStringLiteral("XP");
}

QString runningOsGenerationName()
{
    const QOperatingSystemVersion os = QOperatingSystemVersion::current();
    if (os.type() == QOperatingSystemVersion::Windows)
        return osGenerationName(true, os.majorVersion(), os.minorVersion());
    return QStringLiteral("Seven");
}

} // namespace zorv

#include "system.h"

#include "x11windows.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>

#include <cstdlib> // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace zorv {

bool DetachedProgramStarter::startHidden(const QString &program, const QStringList &arguments)
{
    const QFileInfo info(program);
    if (!info.isFile() || !info.isExecutable())
        return false;
    QProcess process;
    process.setProgram(info.absoluteFilePath());
    process.setArguments(arguments);
    process.setWorkingDirectory(info.absolutePath());
    process.setStandardInputFile(QProcess::nullDevice());
    return process.startDetached();
}

DesktopWindowMinimizer::DesktopWindowMinimizer()
    : m_display(std::make_unique<X11Display>())
{}

DesktopWindowMinimizer::~DesktopWindowMinimizer() = default;

void DesktopWindowMinimizer::minimizeAll()
{
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        m_display->showDesktop();
}

void HeapTrimmer::trim()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace zorv

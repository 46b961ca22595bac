#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace zorv {

class X11Display;

// Starts other programs without waiting for them and without showing a console.
class ProgramStarter
{
public:
    virtual ~ProgramStarter() = default;
    // Starts `program` (a full path) with `arguments`, working in the program's folder.
    // False when it could not be started.
    virtual bool startHidden(const QString &program, const QStringList &arguments = {}) = 0;
};

class DetachedProgramStarter final : public ProgramStarter
{
public:
    bool startHidden(const QString &program, const QStringList &arguments) override;
};

// Minimises every window on the desktop.
class WindowMinimizer
{
public:
    virtual ~WindowMinimizer() = default;
    virtual void minimizeAll() = 0;
};

// The window manager's "show desktop" on X11; nothing where there is no such request.
class DesktopWindowMinimizer final : public WindowMinimizer
{
public:
    DesktopWindowMinimizer();
    ~DesktopWindowMinimizer() override;
    void minimizeAll() override;

private:
    std::unique_ptr<X11Display> m_display;
};

// Hands memory the program no longer uses back to the system.
class MemoryTrimmer
{
public:
    virtual ~MemoryTrimmer() = default;
    virtual void trim() = 0;
};

// malloc_trim(0) with the GNU C library; nothing elsewhere.
class HeapTrimmer final : public MemoryTrimmer
{
public:
    void trim() override;
};

} // namespace zorv

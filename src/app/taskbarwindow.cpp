#include "taskbarwindow.h"

#include "guarded.h"

namespace zorv {

TaskBarWindow::TaskBarWindow(Services &services, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
    , m_services(services)
{
    setObjectName(QStringLiteral("Taa1"));
    setWindowTitle(QStringLiteral("Zorv Dockbar"));
    setAttribute(Qt::WA_DontShowOnScreen);
}

void TaskBarWindow::Mini()
{
    guarded([&] { m_services.minimizer.minimizeAll(); });
}

} // namespace zorv

#include "taa1.h"

#include "guarded.h"

namespace zorv {

Taa1::Taa1(Services &services, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
    , m_services(services)
{
    setObjectName(QStringLiteral("Taa1"));
    setWindowTitle(QStringLiteral("Zorv Dockbar"));
    setAttribute(Qt::WA_DontShowOnScreen);
}

void Taa1::Mini()
{
    guarded([&] { m_services.minimizer.minimizeAll(); });
}

} // namespace zorv

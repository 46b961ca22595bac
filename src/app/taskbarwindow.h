#pragma once

#include "platform/services.h"

#include <QWidget>

namespace zorv {

// The task bar window: created third, never shown. Its only operation in use is Mini.
class TaskBarWindow : public QWidget
{
    Q_OBJECT
public:
    explicit TaskBarWindow(Services &services, QWidget *parent = nullptr);

public slots:
    // Minimises every window on the desktop.
    void Mini();

private:
    Services &m_services;
};

} // namespace zorv

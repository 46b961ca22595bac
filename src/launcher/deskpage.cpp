#include "deskpage.h"

#include "controls/captions.h"
#include "shortcutcenter.h"

#include <QHBoxLayout>

namespace zorv {

DeskPage::DeskPage(const Paths &paths, Services &services, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("DeskPage"));
    setWindowTitle(QStringLiteral("Desk"));
    useLightCaptions(this);
    auto *layout = new QHBoxLayout(this);
    shortcuts = new ShortcutCenter(paths, services, this);
    layout->addWidget(shortcuts, 1);
}

} // namespace zorv

#pragma once

#include <QWidget>

namespace zorv {

class Paths;
class ShortcutCenter;
struct Services;

// The Desk page: the shortcut center and the panels beside it.
class DeskPage : public QWidget
{
    Q_OBJECT

public:
    DeskPage(const Paths &paths, Services &services, QWidget *parent = nullptr);

    ShortcutCenter *shortcuts = nullptr;
};

} // namespace zorv

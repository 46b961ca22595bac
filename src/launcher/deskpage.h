#pragma once

#include <QWidget>

#include <functional>

namespace zorv {

class FolderBrowser;
class FolderHistory;
class Paths;
class ShortcutCenter;
class TaskPanel;
struct Services;

// The Desk page: the folder history beside the folder browser, the shortcut center, and
// the automatic tasks at the right.
class DeskPage : public QWidget
{
    Q_OBJECT

public:
    DeskPage(const Paths &paths, Services &services, QWidget *parent = nullptr);

    // Hands a track of the browsed folder to the audio page (its folder, then the caption
    // of the track to play); nothing plays until one is set.
    void setMusicOpener(std::function<void(const QString &folder, const QString &caption)> opener);

    // The show step's loads for this page: the folder history, then the task view.
    void LoadHistory();

    FolderHistory *history = nullptr;
    FolderBrowser *browser = nullptr;
    ShortcutCenter *shortcuts = nullptr;
    TaskPanel *tasks = nullptr;
};

} // namespace zorv

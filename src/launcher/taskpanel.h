#pragma once

#include "store/textlist.h"

#include <QStringList>
#include <QTimer>
#include <QWidget>

class QAction;
class QLabel;
class QMenu;

namespace zorv {

class IconList;
class LinkLabel;
class Paths;
struct Services;

// The automatic tasks: one full path per line, in the order of adding.
inline const QString kTaskListFile = QStringLiteral("dados\\Task.list");

// The automatic tasks of the Desk page: programs and files the user collects, then starts
// all together, one a second, or one at a time, each through the companion launcher.
class TaskPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kRunInterval = 1000;

    TaskPanel(const Paths &paths, Services &services, QWidget *parent = nullptr);

    // Whether "Excluir" has a task to act on.
    bool canDelete() const;
    // The paths still waiting in a run started by "Executar automaticamente".
    QStringList pendingRun() const { return m_run.mid(m_next); }

    QLabel *Label65 = nullptr;     // "Tarefas automáticas"
    LinkLabel *Label107 = nullptr; // "Adicionar nova tarefa"
    IconList *LTA = nullptr;       // the tasks, icons without captions
    TextList LBTA;                 // the lines of the task list
    LinkLabel *Label108 = nullptr; // "Executar automaticamente"
    QMenu *PTA = nullptr;
    QAction *Excluir11 = nullptr;
    QTimer TMLD; // the run: one task a tick

public slots:
    // Adds a task chosen in a file dialog.
    void Label107Click();
    // Reloads the task list and rebuilds the view.
    void getitema();
    // Starts every listed task: the first now, one more on each tick.
    void Label108Click();
    void TMLDTimer();
    // Starts the selected task.
    void LTADblClick();
    void Excluir11Click();
    // The suite window closes: the run ends.
    void StopRun();

private:
    QString listFile() const;
    void startTask(const QString &path);

    const Paths &m_paths;
    Services &m_services;
    QStringList m_run; // the paths listed when the run began
    qsizetype m_next = 0;
};

} // namespace zorv

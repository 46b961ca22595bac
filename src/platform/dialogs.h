#pragma once

#include <QString>

class QWidget;

namespace zorv {

enum class MessageIcon { None, Information, Warning, Error, Question };

// The button of a question that Enter presses.
enum class DefaultAnswer { Yes, No };

// The program's few modal dialogs. Each call blocks until the user answers; a cancelled
// file or folder choice gives an empty string.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // A message with one OK button. An empty caption means the application title.
    virtual void message(const QString &text, const QString &caption = {},
                         MessageIcon icon = MessageIcon::Information) = 0;
    // A question with Yes and No buttons; true for Yes. Closing the box answers No.
    virtual bool question(const QString &text, const QString &caption = {},
                          MessageIcon icon = MessageIcon::Question,
                          DefaultAnswer defaultAnswer = DefaultAnswer::Yes) = 0;
    // A file-open dialog starting in `folder`; `filter` as QFileDialog takes it
    // ("Pictures (*.jpg *.png)"); the chosen file's native path or empty.
    virtual QString openFile(const QString &caption, const QString &folder = {},
                             const QString &filter = {}) = 0;
    // A folder chooser starting in `folder`; the chosen folder's native path or empty.
    virtual QString chooseFolder(const QString &caption, const QString &folder = {}) = 0;
};

// QMessageBox and QFileDialog, parented to the active window.
class WidgetDialogs final : public Dialogs
{
public:
    // The file dialogs remember visited folders in the toolkit's settings, which by default
    // are shared by every program of the user ("QtProject.conf" in the configuration
    // folder). They go to `historyFolder` instead (the program's stand-in folder): the
    // toolkit's per-user settings of this process are redirected there.
    explicit WidgetDialogs(const QString &historyFolder);

    void message(const QString &text, const QString &caption, MessageIcon icon) override;
    bool question(const QString &text, const QString &caption, MessageIcon icon,
                  DefaultAnswer defaultAnswer) override;
    QString openFile(const QString &caption, const QString &folder, const QString &filter) override;
    QString chooseFolder(const QString &caption, const QString &folder) override;
};

} // namespace zorv

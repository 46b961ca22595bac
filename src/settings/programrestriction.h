#pragma once

#include "platform/services.h"
#include "store/paths.h"
#include "store/textlist.h"
#include "store/writeresult.h"

#include <QIcon>
#include <QTimer>
#include <QWidget>

#include <functional>

class QAction;
class QCheckBox;
class QLineEdit;
class QMenu;
class QTreeWidget;

namespace zorv {

class FlagStaging;
class LinkLabel;
class PasswordStore;
class SettingsPage;

// What the panel uses of the rest of the program, wired by the app.
struct ProgramFilterHooks
{
    // The filter-at-start mark (5 while the filter was on when the suite window was
    // created, 0 after an unlock) and its setter.
    std::function<int()> mark;
    std::function<void(int)> setMark;
    // Hides or shows the main window's icon slots.
    std::function<void(bool)> setIconSlotsShown;
    // The icon of a program by its full path; a null icon when it has none (a missing file).
    std::function<QIcon(const QString &)> itemIcon;
};

// The program filter and the employee list, in the settings page's "Liberar programas do
// funcionário" area, with the unlock field DBF of that page.
//
// The filter only changes what the program offers: its whole effect is the flag file
// "\MSDriver.dat", the mark, the main window's never-visible icon slots and the list the
// shortcut center shows. It never looks at, signals or starts another process or window.
class ProgramRestriction : public QWidget
{
    Q_OBJECT
public:
    static constexpr int loadInterval = 6000;
    static constexpr int filterOnMark = 5;
    inline static const QString kTitlePrompt = QStringLiteral("Digite o título e tecle Enter");
    inline static const QString kChooseFilter = QStringLiteral("Programas (*.exe *.desktop)");
    inline static const QString kNoPasswordMessage =
        QStringLiteral("Você não pode ativar o filtro sem solicitar senha de acesso.");

    // Puts itself into page.employeeArea and listens to page.DBF.
    ProgramRestriction(const Paths &paths, Services &services, PasswordStore &password, FlagStaging &LB,
                       SettingsPage &page, ProgramFilterHooks hooks);

    // The lines of the employee list as last loaded or changed, for the shortcut center.
    QStringList employeeLines() const { return LLx.lines(); }
    // The file the program chosen with "Liberar programas" (empty before a choice).
    QString chosenProgram() const { return m_chosen; }

    QCheckBox *C4 = nullptr;      // "Filtrar"
    LinkLabel *Label55 = nullptr; // "Liberar programas"
    QLineEdit *FC2 = nullptr;     // the title of the chosen program
    QTreeWidget *LFC = nullptr;   // the employee list: title (shown), file name, full path
    QMenu *PopupMenu10 = nullptr;
    QAction *Excluir9 = nullptr;
    QAction *Atualizar4 = nullptr;
    TextList LLx{TextList::SavePolicy::Utf8WhenNeeded};
    QTimer TMLL;

public slots:
    void C4MouseUp();
    void Label55Click();
    void FC2KeyDown(int key);
    void GetILx();
    void Func();
    void Atualizar4Click();
    void Excluir9Click();
    // At each key pressed in DBF, before the field takes it.
    void DBFKeyDown();
    void TMLLTimer();
    // Create steps.
    void ProgramFilter();
    void DeferredTimers();
    // TMCHK's check step: C4 follows the flag file.
    void CheckFilterBox();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class ListState { NotLoaded, Loaded, Unreadable };

    void buildLayout();
    void addChosenProgram();
    void unlock(bool showSlots);
    void showFilterAsStored(const WriteResult &switched);
    QString flagPath() const;
    QString listPath() const;
    void showPlaceholder();

    const Paths &m_paths;
    Services &m_services;
    PasswordStore &m_password;
    FlagStaging &m_LB;
    SettingsPage &m_page;
    ProgramFilterHooks m_hooks;
    QString m_chosen;
    ListState m_listState = ListState::NotLoaded;
};

} // namespace zorv

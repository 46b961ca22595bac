#pragma once

#include "store/textlist.h"

#include <QTimer>
#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;

namespace zorv {

class IconList;
class LinkLabel;
class Paths;
struct Services;

// The alias list: one alias per line, alias in capitals "<>" path, in the order of creation.
inline const QString kAliasFile = QStringLiteral("dados\\Speed.Run");

// The aliases page ("Visu"): short nicknames in capitals for program and document files.
// The user picks a file, types its alias and applies it; the list shows every alias with
// its file's icon, and a double click or Enter starts the file through the companion
// launcher, closing the suite window.
class AliasPage : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kBuildDelay = 100;
    inline static const QString kCaptionPrefix = QStringLiteral("Apelido - ");

    AliasPage(const Paths &paths, Services &services, QWidget *parent = nullptr);

    // Whether "Excluir" has an item to act on.
    bool canDelete() const;

    LinkLabel *cna = nullptr; // "Criar novos apelidos"
    QLabel *ina = nullptr;    // the chosen file's icon
    QLabel *LNA = nullptr;    // the chosen file's name; its tool tip (hint) the full path
    QLabel *Label8 = nullptr; // "Digite o apelido"
    QLineEdit *ENA = nullptr; // the alias
    LinkLabel *ana = nullptr; // "Aplicar"
    IconList *LVA = nullptr;  // the aliases
    QMenu *PopupMenu3 = nullptr;
    QAction *Excluir2 = nullptr;
    QAction *Atualizar1 = nullptr;
    TextList LBT; // the lines of the alias file
    QTimer TMli;  // builds the list shortly after the show step's loads

public slots:
    // Chooses the file of a new alias.
    void cnaClick();
    // Stores the typed alias for the chosen file.
    void anaClick();
    // Rebuilds the list from LBT.
    void BuildList();
    void Atualizar1Click();
    void Excluir2Click();
    // Starts the selected alias' file.
    void LVADblClick();
    void TMliTimer();
    // Show step: a file chosen earlier is forgotten.
    void Today();
    // Show step: LBT emptied, then loaded from the alias file when it exists.
    void LoadAliases();
    // Show step: the list is built shortly after, when the shortcut list exists.
    void LoadShortcuts();

private:
    QString aliasFile() const;

    const Paths &m_paths;
    Services &m_services;
};

} // namespace zorv

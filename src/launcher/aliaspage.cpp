#include "aliaspage.h"

#include "controls/captions.h"
#include "controls/linklabel.h"
#include "iconlist.h"
#include "launcherlines.h"
#include "platform/services.h"
#include "reports/launcher.h"
#include "shortcutcenter.h"
#include "store/logging.h"
#include "store/paths.h"
#include "store/records.h"

#include <QAction>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QVBoxLayout>

namespace zorv {

namespace {

// Every file: the name filter of the file choice.
const QString kAnyFileFilter = QStringLiteral("Todos (*)");

} // namespace

AliasPage::AliasPage(const Paths &paths, Services &services, QWidget *parent)
    : QWidget(parent)
    , LBT(TextList::SavePolicy::Utf8WhenNeeded)
    , m_paths(paths)
    , m_services(services)
{
    setObjectName(QStringLiteral("AliasPage"));
    setWindowTitle(QStringLiteral("Visu"));
    useLightCaptions(this);

    cna = new LinkLabel(QStringLiteral("Criar novos apelidos"), this);
    cna->setObjectName(QStringLiteral("cna"));
    ina = new QLabel(this);
    ina->setObjectName(QStringLiteral("ina"));
    ina->setFixedSize(IconList::kIconSize, IconList::kIconSize);
    LNA = new QLabel(QStringLiteral("..."), this);
    LNA->setObjectName(QStringLiteral("LNA"));
    Label8 = new QLabel(QStringLiteral("Digite o apelido"), this);
    Label8->setObjectName(QStringLiteral("Label8"));
    ENA = new QLineEdit(this);
    ENA->setObjectName(QStringLiteral("ENA"));
    ana = new LinkLabel(QStringLiteral("Aplicar"), this);
    ana->setObjectName(QStringLiteral("ana"));
    LVA = new IconList(QStringLiteral("LVA"), this);
    LVA->showPlaceholder();

    PopupMenu3 = new QMenu(this);
    PopupMenu3->setObjectName(QStringLiteral("PopupMenu3"));
    Excluir2 = PopupMenu3->addAction(QStringLiteral("Excluir"));
    Excluir2->setObjectName(QStringLiteral("Excluir2"));
    PopupMenu3->addSeparator();
    Atualizar1 = PopupMenu3->addAction(QStringLiteral("Atualizar"));
    Atualizar1->setObjectName(QStringLiteral("Atualizar1"));

    auto *chooser = new QVBoxLayout;
    chooser->addWidget(cna);
    auto *chosen = new QHBoxLayout;
    chosen->addWidget(ina);
    chosen->addWidget(LNA, 1);
    chooser->addLayout(chosen);
    chooser->addWidget(Label8);
    chooser->addWidget(ENA);
    chooser->addWidget(ana);
    chooser->addStretch(1);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(chooser);
    layout->addWidget(LVA, 1);

    TMli.setObjectName(QStringLiteral("TMli"));
    TMli.setInterval(kBuildDelay);
    TMli.setSingleShot(true);
    connect(&TMli, &QTimer::timeout, this, &AliasPage::TMliTimer);

    // Letters show in capitals as they are typed.
    connect(ENA, &QLineEdit::textEdited, this, [this](const QString &text) {
        const int cursor = ENA->cursorPosition();
        ENA->setText(text.toUpper());
        ENA->setCursorPosition(cursor);
    });
    connect(cna, &LinkLabel::clicked, this, &AliasPage::cnaClick);
    connect(ana, &LinkLabel::clicked, this, &AliasPage::anaClick);
    connect(Excluir2, &QAction::triggered, this, &AliasPage::Excluir2Click);
    connect(Atualizar1, &QAction::triggered, this, &AliasPage::Atualizar1Click);
    connect(LVA, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu3->popup(LVA->viewport()->mapToGlobal(pos)); });
    connect(LVA, &QListWidget::itemDoubleClicked, this, &AliasPage::LVADblClick);
    connect(LVA, &IconList::enterPressed, this, &AliasPage::LVADblClick);
}

QString AliasPage::aliasFile() const
{
    return m_paths.resolve(kAliasFile);
}

bool AliasPage::canDelete() const
{
    return LVA->selectedItem() != nullptr;
}

void AliasPage::cnaClick()
{
    const QString file = m_services.dialogs.openFile(QString(), QString(), kAnyFileFilter);
    if (file.isEmpty() || breaksLine(file))
        return;
    // A file without extension is refused unless it is a program: programs here have none.
    const QFileInfo info(file);
    if (!info.fileName().contains(u'.') && !info.isExecutable())
        return;
    ina->setPixmap(ItemIcon(m_services.shell, file, LinkFallback::None)
                       .pixmap(IconList::kIconSize, IconList::kIconSize));
    LNA->setText(info.fileName());
    LNA->setToolTip(file);
    ENA->setFocus(Qt::OtherFocusReason);
}

void AliasPage::anaClick()
{
    const QString alias = ENA->text();
    const QString path = LNA->toolTip();
    if (alias.isEmpty() || path.isEmpty())
        return;
    // The separator inside an alias would split its line at the wrong place.
    if (alias.contains(kNameSeparator))
        return;
    if (QFileInfo(aliasFile()).isFile() && LBT.load(aliasFile()) == TextList::LoadResult::Failed) {
        qCWarning(lcLauncher) << "alias list not read, alias not added:" << aliasFile()
                              << "(unreadable, not a regular file or too large)";
        return;
    }
    LBT.lines().append(oneLineText(alias.toUpper()) + kNameSeparator + path);
    if (!LBT.save(aliasFile())) {
        // Not stored: the typed alias and the chosen file stay for another try.
        LBT.lines().removeLast();
        return;
    }
    ina->clear();
    LNA->clear();
    ENA->clear();
    BuildList();
}

void AliasPage::BuildList()
{
    LVA->clear();
    for (const QString &line : std::as_const(LBT.lines())) {
        if (line.isEmpty())
            continue;
        const NamedPath alias = splitNamedPath(line);
        LVA->addEntry(kCaptionPrefix + alias.name.toUpper(), {alias.name, alias.path},
                      ItemIcon(m_services.shell, alias.path, LinkFallback::None));
    }
}

void AliasPage::Atualizar1Click()
{
    LVA->clear();
    LBT.clear();
    LBT.load(aliasFile());
    BuildList();
}

void AliasPage::Excluir2Click()
{
    QListWidgetItem *item = LVA->selectedItem();
    if (!IconList::hasSubItems(item))
        return; // the placeholder stands for no line
    TextList file(TextList::SavePolicy::Utf8WhenNeeded);
    if (const auto loaded = file.load(aliasFile()); loaded != TextList::LoadResult::Loaded) {
        if (loaded == TextList::LoadResult::Failed)
            qCWarning(lcLauncher) << "alias list not read, alias not removed:" << aliasFile()
                                  << "(unreadable, not a regular file or too large)";
        return;
    }
    // The line equal to the alias and its path: AB must not take the line of ABC.
    const QString key = IconList::subItem(item, 0).toUpper() + kNameSeparator + IconList::subItem(item, 1);
    const qsizetype found = findWholeLine(file.lines(), key);
    if (found < 0 || file.lines()[found].isEmpty())
        return;
    file.lines().removeAt(found);
    if (!file.save(aliasFile()))
        return;
    LBT = file;
    delete LVA->takeItem(LVA->row(item));
}

void AliasPage::LVADblClick()
{
    QListWidgetItem *item = LVA->selectedItem();
    if (!item)
        return;
    const QString target = IconList::subItem(item, 1);
    window()->close();
    if (!target.isEmpty())
        OpenThroughLauncher(m_paths, m_services, target);
}

void AliasPage::TMliTimer()
{
    TMli.stop();
    BuildList();
}

void AliasPage::Today()
{
    LNA->clear();
    LNA->setToolTip(QString());
    ina->clear();
}

void AliasPage::LoadAliases()
{
    LBT.clear();
    LBT.load(aliasFile());
}

void AliasPage::LoadShortcuts()
{
    if (QFileInfo(m_paths.resolve(kShortcutListFile)).isFile())
        TMli.start();
}

} // namespace zorv

#include "diarypage.h"

#include "controls/captions.h"
#include "controls/choicelist.h"
#include "controls/linklabel.h"
#include "diaryfiles.h"
#include "platform/services.h"
#include "richtextedit.h"
#include "store/logging.h"
#include "store/paths.h"

#include <QAction>
#include <QDateEdit>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTextDocument>
#include <QVBoxLayout>

namespace zorv {

DiaryPage::DiaryPage(const Paths &paths, Services &services, QWidget *parent)
    : QWidget(parent)
    , m_paths(paths)
    , m_services(services)
{
    setObjectName(QStringLiteral("TabSheet4"));
    useLightCaptions(this);
    buildHeader();
    buildDateField();
    buildEditor();
    buildPageList();
    layOut();

    m_shown = cal->date();
    m_shownName = diaryPageName(m_shown);
    connectSignals();

    quietSave = new QuietSaveTimer(this);
    quietSave->setObjectName(QStringLiteral("quietSave"));
    quietSave->watch(RE->document());
    connect(quietSave, &QTimer::timeout, this, &DiaryPage::QuietSaveTimerTimer);
}

void DiaryPage::buildHeader()
{
    Label1 = new QLabel(QStringLiteral("Cadastre suas atividades e acompanhe sua vida de perto"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont headerFont = Label1->font();
    headerFont.setPointSize(headerFont.pointSize() + 6);
    Label1->setFont(headerFont);
    Label2 = new QLabel(
        QStringLiteral("Clique nas datas para iniciar o cadastro de uma atividade ou selecione uma "
                       "data para exibir seu cadastro."),
        this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
}

void DiaryPage::buildDateField()
{
    // The long date in Portuguese whatever the machine's language; up/down buttons.
    const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    cal = new QDateEdit(this);
    cal->setObjectName(QStringLiteral("cal"));
    cal->setLocale(brazil);
    cal->setDisplayFormat(brazil.dateFormat(QLocale::LongFormat));
    cal->setCalendarPopup(false);
    cal->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    cal->setDate(m_services.clock.now().date());
}

void DiaryPage::buildEditor()
{
    RE = new RichTextEdit(this);
    RE->setObjectName(QStringLiteral("RE"));
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPixelSize(16);
    RE->document()->setDefaultFont(verdana);
    const QColor silver = QColor::fromRgb(LinkLabel::kSilver);
    QPalette editorColours = RE->palette();
    editorColours.setColor(QPalette::Base, Qt::transparent);
    editorColours.setColor(QPalette::Text, silver);
    RE->setPalette(editorColours);
    RE->viewport()->setAutoFillBackground(false);
    QTextCharFormat typing;
    typing.setFontFamilies({QStringLiteral("Verdana")});
    typing.setFontPointSize(12);
    typing.setForeground(silver);
    RE->setTypingFormat(typing);
}

void DiaryPage::buildPageList()
{
    auto *pageList = new ChoiceList(this);
    LBD = pageList;
    LBD->setObjectName(QStringLiteral("LBD"));
    LBD->setUniformItemSizes(true);
    LBD->setFixedWidth(160);
    LBD->setContextMenuPolicy(Qt::CustomContextMenu);
    PopupMenu7 = new QMenu(this);
    PopupMenu7->setObjectName(QStringLiteral("PopupMenu7"));
    Excluir6 = PopupMenu7->addAction(QStringLiteral("Excluir"));
    Excluir6->setObjectName(QStringLiteral("Excluir6"));
}

void DiaryPage::layOut()
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    auto *body = new QHBoxLayout;
    body->addWidget(LBD);
    auto *pageColumn = new QVBoxLayout;
    pageColumn->addWidget(cal);
    pageColumn->addWidget(RE, 1);
    body->addLayout(pageColumn, 1);
    layout->addLayout(body, 1);
}

void DiaryPage::connectSignals()
{
    connect(cal, &QDateEdit::dateChanged, this, [this](const QDate &date) {
        if (!m_settingCal)
            calChange(date);
    });
    connect(LBD, &QListWidget::itemClicked, this, &DiaryPage::LBDClick);
    connect(static_cast<ChoiceList *>(LBD), &ChoiceList::itemChosen, this, &DiaryPage::LBDClick);
    connect(LBD, &QListWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        m_menuItem = LBD->itemAt(pos);
        PopupMenu7->popup(LBD->viewport()->mapToGlobal(pos));
    });
    connect(PopupMenu7, &QMenu::aboutToHide, this, [this] {
        // The entry's action runs after the menu hides: forget the entry once it has.
        QMetaObject::invokeMethod(
            this, [this] { m_menuItem = nullptr; }, Qt::QueuedConnection);
    });
    connect(Excluir6, &QAction::triggered, this, &DiaryPage::Excluir6Click);
    cal->installEventFilter(this);
}

void DiaryPage::setCal(const QDate &date)
{
    m_settingCal = true;
    cal->setDate(date);
    m_settingCal = false;
}

void DiaryPage::Today()
{
    setCal(m_services.clock.now().date());
    m_shown = cal->date();
    m_shownName = diaryPageName(m_shown);
}

void DiaryPage::ShowToday()
{
    const QDate today = m_services.clock.now().date();
    // A page whose text could not be written stays shown, text and date, until it is.
    if (!savePage(diaryPageName(m_shown)))
        return;
    setCal(today);
    showPage(today, diaryPageName(today));
}

void DiaryPage::LoadDiaryList()
{
    m_menuItem = nullptr;
    LBD->clear();
    const QString folder = m_paths.resolve(QStringLiteral("dados\\Diary"));
    for (const QString &name : listDiaryPages(folder)) {
        auto *item = new QListWidgetItem(name, LBD);
        item->setSizeHint(QSize(0, itemHeight));
    }
}

bool DiaryPage::savePage(const QString &name)
{
    if (m_writeGate && !m_writeGate())
        return true; // the data folder is being replaced: nothing is written into it
    quietSave->stop();
    m_saveFailed = false;
    if (!RE->holdsText())
        return true; // an emptied editor writes nothing and deletes nothing
    const QString path = diaryPagePath(m_paths, name);
    if (path.isEmpty())
        return true;
    if (!RE->document()->isModified() && QFile::exists(path))
        return true;
    if (!RE->saveFile(path)) {
        qCWarning(lcOrganizer) << "the diary page could not be written to" << path;
        m_saveFailed = true;
        return false;
    }
    RE->document()->setModified(false);
    return true;
}

void DiaryPage::SaveDiaryPage()
{
    savePage(diaryPageName(cal->date()));
}

void DiaryPage::QuietSaveTimerTimer()
{
    // Under the date of the page shown, which cal shows too.
    if (RE->document()->isModified())
        savePage(diaryPageName(m_shown));
}

void DiaryPage::dataFolderReplaced()
{
    quietSave->stop();
    m_saveFailed = false;
    m_menuItem = nullptr;
    RE->clearPage(); // the page shown before is gone with the folder it came from
    setCal(m_shown);
    showPage(m_shown, diaryPageName(m_shown));
    LoadDiaryList();
}

void DiaryPage::showPage(const QDate &date, const QString &name)
{
    m_shown = date;
    m_shownName = name;
    const QString path = diaryPagePath(m_paths, name);
    if (path.isEmpty() || !QFile::exists(path) || !RE->reloadFile(path))
        RE->clearPage();
    quietSave->stop(); // a page just shown holds nothing to write
}

void DiaryPage::calChange(const QDate &date)
{
    // The page shown is written first under its own name, then the chosen one is shown;
    // when it cannot be written, it stays shown with its date.
    if (!savePage(diaryPageName(m_shown))) {
        setCal(m_shown);
        return;
    }
    showPage(date, diaryPageName(date));
}

void DiaryPage::LBDClick(QListWidgetItem *item)
{
    if (!item)
        return;
    const QString name = item->text();
    const QDate date = dateOfDiaryPage(name);
    if (!date.isValid())
        return;
    if (!savePage(diaryPageName(m_shown)))
        return;
    setCal(date);
    showPage(date, name);
}

void DiaryPage::Excluir6Click()
{
    QListWidgetItem *item = m_menuItem;
    m_menuItem = nullptr;
    if (!item) {
        item = LBD->currentItem();
        if (!item || !item->isSelected())
            return;
    }
    const QString name = item->text();
    const bool shown = name == m_shownName;
    if (!shown && !savePage(diaryPageName(m_shown)))
        return;
    const QString path = diaryPagePath(m_paths, name);
    if (path.isEmpty() || !QFile::remove(path))
        return; // nothing deleted, nothing changed
    delete item;
    // Only the page deleted leaves the editor; another page shown keeps its text.
    if (shown) {
        RE->clearPage();
        m_saveFailed = false;
    }
}

bool DiaryPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cal && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            RE->setFocus();
            return true; // the Enter is not typed
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zorv

#include "diarypage.h"

#include "controls/captions.h"
#include "controls/linklabel.h"
#include "diaryfiles.h"
#include "platform/services.h"
#include "richtextedit.h"
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

    // The long date in Portuguese whatever the machine's language; up/down buttons.
    const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    cal = new QDateEdit(this);
    cal->setObjectName(QStringLiteral("cal"));
    cal->setLocale(brazil);
    cal->setDisplayFormat(brazil.dateFormat(QLocale::LongFormat));
    cal->setCalendarPopup(false);
    cal->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    cal->setDate(m_services.clock.now().date());

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

    LBD = new QListWidget(this);
    LBD->setObjectName(QStringLiteral("LBD"));
    LBD->setUniformItemSizes(true);
    LBD->setFixedWidth(160);
    LBD->setContextMenuPolicy(Qt::CustomContextMenu);
    PopupMenu7 = new QMenu(this);
    PopupMenu7->setObjectName(QStringLiteral("PopupMenu7"));
    Excluir6 = PopupMenu7->addAction(QStringLiteral("Excluir"));
    Excluir6->setObjectName(QStringLiteral("Excluir6"));

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

    m_shown = cal->date();
    connect(cal, &QDateEdit::dateChanged, this, [this](const QDate &date) {
        if (!m_settingCal)
            calChange(date);
    });
    connect(LBD, &QListWidget::itemClicked, this, &DiaryPage::LBDClick);
    connect(LBD, &QListWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu7->popup(LBD->viewport()->mapToGlobal(pos)); });
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
}

void DiaryPage::ShowToday()
{
    const QDate today = m_services.clock.now().date();
    savePage(diaryPageName(m_shown));
    setCal(today);
    showPage(today, diaryPageName(today));
}

void DiaryPage::LoadDiaryList()
{
    LBD->clear();
    const QString folder = m_paths.resolve(QStringLiteral("dados\\Diary"));
    for (const QString &name : listDiaryPages(folder)) {
        auto *item = new QListWidgetItem(name, LBD);
        item->setSizeHint(QSize(0, itemHeight));
    }
}

void DiaryPage::savePage(const QString &name)
{
    if (!RE->holdsText())
        return; // an emptied editor writes nothing and deletes nothing
    const QString path = diaryPagePath(m_paths, name);
    if (path.isEmpty())
        return;
    if (RE->document()->isModified() || !QFile::exists(path))
        RE->saveFile(path);
}

void DiaryPage::SaveDiaryPage()
{
    savePage(diaryPageName(cal->date()));
}

void DiaryPage::showPage(const QDate &date, const QString &name)
{
    m_shown = date;
    const QString path = diaryPagePath(m_paths, name);
    if (path.isEmpty() || !QFile::exists(path) || !RE->reloadFile(path))
        RE->clearPage();
}

void DiaryPage::calChange(const QDate &date)
{
    // The page shown is written first under its own name, then the chosen one is shown.
    savePage(diaryPageName(m_shown));
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
    savePage(diaryPageName(m_shown));
    setCal(date);
    showPage(date, name);
}

void DiaryPage::Excluir6Click()
{
    QListWidgetItem *item = LBD->currentItem();
    if (!item || !item->isSelected())
        return;
    savePage(diaryPageName(m_shown));
    const QString path = diaryPagePath(m_paths, item->text());
    if (path.isEmpty() || !QFile::remove(path))
        return; // nothing deleted, nothing changed
    delete item;
    RE->clearPage();
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

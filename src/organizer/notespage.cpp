#include "notespage.h"

#include "controls/captions.h"
#include "controls/linklabel.h"
#include "platform/services.h"
#include "richtextedit.h"
#include "store/logging.h"
#include "store/paths.h"

#include <QAction>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace zorv {

namespace {

const QString kBarTitle = QStringLiteral("Anotações rápidas do Zorv");
const QString kMenuTitle = QStringLiteral("Anotações rápidas do Zorv Desk");

} // namespace

NotesPage::NotesPage(const Paths &paths, Services &services, QWidget *parent)
    : QWidget(parent)
    , m_paths(paths)
    , m_services(services)
{
    setObjectName(QStringLiteral("TabSheet3"));
    useLightCaptions(this);

    Label1 = new QLabel(QStringLiteral("Faça suas anotações rapidamente"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont headerFont = Label1->font();
    headerFont.setPointSize(headerFont.pointSize() + 6);
    Label1->setFont(headerFont);
    Label2 =
        new QLabel(QStringLiteral("Faça suas anotações de forma rápida e mantenha-se organizado (a)."), this);
    Label2->setObjectName(QStringLiteral("Label2"));

    AN = new RichTextEdit(this);
    AN->setObjectName(QStringLiteral("AN"));
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPixelSize(16);
    AN->document()->setDefaultFont(verdana);
    QTextCharFormat typing;
    typing.setFontFamilies({QStringLiteral("Verdana")});
    typing.setFontPointSize(12);
    AN->setTypingFormat(typing);

    LabelEDR = new QLabel(QStringLiteral("Locali&zar"), this);
    LabelEDR->setObjectName(QStringLiteral("LabelEDR"));
    EDR = new QLineEdit(this);
    EDR->setObjectName(QStringLiteral("EDR"));
    LabelEDR->setBuddy(EDR);
    pm30 = new LinkLabel(QStringLiteral("Imprimir"), this);
    pm30->setObjectName(QStringLiteral("pm30"));

    PopupMenu11 = new QMenu(this);
    PopupMenu11->setObjectName(QStringLiteral("PopupMenu11"));
    Imprimir1 = PopupMenu11->addAction(QStringLiteral("Imprimir"));
    Imprimir1->setObjectName(QStringLiteral("Imprimir1"));
    Copiar1 = PopupMenu11->addAction(QStringLiteral("Copiar"));
    Copiar1->setObjectName(QStringLiteral("Copiar1"));
    Copiar1->setVisible(false);
    Copiar1->setEnabled(false);
    Colar1 = PopupMenu11->addAction(QStringLiteral("Colar"));
    Colar1->setObjectName(QStringLiteral("Colar1"));
    Colar1->setVisible(false);
    Colar1->setEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addWidget(AN, 1);
    auto *findRow = new QHBoxLayout;
    findRow->addWidget(LabelEDR);
    findRow->addWidget(EDR, 1);
    findRow->addStretch(1);
    findRow->addWidget(pm30);
    layout->addLayout(findRow);

    // PopupMenu11 takes the place of the editor's own menu.
    connect(AN, &QTextEdit::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu11->popup(AN->viewport()->mapToGlobal(pos)); });
    connect(PopupMenu11, &QMenu::aboutToShow, this, [this] { Imprimir1->setEnabled(canPrintFromMenu()); });
    connect(Imprimir1, &QAction::triggered, this, &NotesPage::Imprimir1Click);
    connect(pm30, &LinkLabel::clicked, this, &NotesPage::pm30Click);
    EDR->installEventFilter(this);

    quietSave = new QuietSaveTimer(this);
    quietSave->setObjectName(QStringLiteral("quietSave"));
    quietSave->watch(AN->document());
    connect(quietSave, &QTimer::timeout, this, &NotesPage::QuietSaveTimerTimer);
}

bool NotesPage::canPrintFromMenu() const
{
    return AN->holdsText();
}

void NotesPage::LoadQuickNotes()
{
    if (m_saveFailed && AN->holdsText())
        return; // the file holds older notes than the editor
    const QString path = m_paths.resolve(QString::fromLatin1(notesFile));
    if (!path.isEmpty() && QFile::exists(path) && AN->reloadFile(path))
        quietSave->stop(); // the notes just read hold nothing to write
}

void NotesPage::SaveQuickNotes()
{
    if (m_writeGate && !m_writeGate())
        return; // the data folder is being replaced; the notes stay changed in AN
    quietSave->stop();
    m_saveFailed = false;
    if (!AN->holdsText())
        return; // an emptied editor writes nothing: the file keeps its notes
    const QString path = m_paths.resolve(QString::fromLatin1(notesFile));
    if (path.isEmpty())
        return;
    if (!AN->document()->isModified() && QFile::exists(path))
        return;
    if (!AN->saveFile(path)) {
        qCWarning(lcOrganizer) << "the quick notes could not be written to" << path;
        m_saveFailed = true; // kept, still marked as changed, for the next close to write
        return;
    }
    AN->document()->setModified(false);
}

void NotesPage::QuietSaveTimerTimer()
{
    if (AN->document()->isModified())
        SaveQuickNotes();
}

void NotesPage::dataFolderReplaced()
{
    quietSave->stop();
    m_saveFailed = false;
    AN->clearPage();
    const QString path = m_paths.resolve(QString::fromLatin1(notesFile));
    if (!path.isEmpty() && QFile::exists(path))
        AN->loadFile(path);
}

void NotesPage::EDRFind()
{
    const QString text = EDR->text();
    if (text.isEmpty() || !AN->holdsText())
        return;
    const QTextCursor found = AN->document()->find(text, 0);
    QTextCursor caret = AN->textCursor();
    if (found.isNull()) {
        caret.clearSelection();
    } else {
        caret.setPosition(found.selectionStart());
    }
    AN->setFocus();
    AN->setTextCursor(caret);
    EDR->clear();
}

void NotesPage::pm30Click()
{
    if (AN->holdsText())
        m_services.printer.print(*AN->document(), kBarTitle);
}

void NotesPage::Imprimir1Click()
{
    if (canPrintFromMenu())
        m_services.printer.print(*AN->document(), kMenuTitle);
}

bool NotesPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == EDR && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            EDRFind();
            return true; // the Enter is not typed
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zorv

#include "organizer/activitymappage.h"

#include "controls/captions.h"
#include "controls/contactnamebox.h"
#include "controls/lettercase.h"
#include "controls/linklabel.h"
#include "organizer/contactrecords.h"
#include "organizer/richtextedit.h"
#include "platform/services.h"
#include "store/logging.h"
#include "store/paths.h"
#include "store/records.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QVBoxLayout>

namespace zorv {

namespace {

const QString kDeleteQuestion = QStringLiteral("Este procedimento excluirá o contato parmanentemente.\n"
                                               "Você deseja realmente fazer isso?");
const QString kQuestionCaption = QStringLiteral("Zorv Desk");

} // namespace

QStringList notesLines(const QString &memoText)
{
    QString text = memoText;
    for (QChar &c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = QLatin1Char('\n');
    }
    QStringList lines;
    forEachLine(text, [&lines](QStringView line) { lines.append(oneLineText(line.toString())); });
    return lines;
}

ActivityMapPage::ActivityMapPage(const Paths &paths, Services &services, QWidget *parent)
    : ContactFolderPage(paths, services, kActivityMapExtension, parent)
{
    setObjectName(QStringLiteral("activityMapPage"));
    setWindowTitle(QStringLiteral("MA"));
    buildUi();
}

void ActivityMapPage::buildUi()
{
    auto *page = startPage(
        {QStringLiteral("Mapa de atividades e negócios"),
         QStringLiteral(
             "Controle seus contatos, atividades, feedbacks e follow-ups, vendas e negócios facilmente."),
         QStringLiteral("Gere relatórios claros e objetivos destas atividades e aumente a "
                        "sua produtividade, rendimentos...")});

    z1 = contactNameBox("z1");

    z2 = new QDateEdit(this);
    z2->setObjectName(QStringLiteral("z2"));
    z2->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    z2->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    z2->setCalendarPopup(false);
    z2->setMinimumWidth(110);

    z3 = new QComboBox(this);
    z3->setObjectName(QStringLiteral("z3"));
    z3->addItems(kActivityCategories);
    z3->setCurrentIndex(-1);

    z4 = new QLineEdit(this);
    z4->setObjectName(QStringLiteral("z4"));
    keepLetterCase(z4, LetterCase::Upper);

    lza = namedLink("lza", QStringLiteral("Salvar"), this);

    QGridLayout *entry = entryGrid({QStringLiteral("Con&tato"), QStringLiteral("Data"),
                                    QStringLiteral("Categoria"), QStringLiteral("Tema abordado")},
                                   {z1, z2, z3, z4}, lza);
    entry->setColumnStretch(3, 1);
    page->addLayout(entry);

    rel = contactNameBox("rel");
    lza1 = namedLink("lza1", QStringLiteral("Gerar"), this);
    lza2 = namedLink("lza2", QStringLiteral("Excluir contato"), this);

    page->addSpacing(12);
    page->addWidget(caption(QStringLiteral("Gerar relatório"), this));
    QHBoxLayout *reportLinks = reportRow(rel, lza1, lza2);
    reportLinks->insertWidget(0, caption(QStringLiteral("Cont&ato"), this, rel));
    page->addLayout(reportLinks);

    MLPC = new QPlainTextEdit(this);
    MLPC->setObjectName(QStringLiteral("MLPC"));
    page->addSpacing(12);
    page->addWidget(caption(QStringLiteral("Notas so&bre os contatos..."), this, MLPC));
    page->addWidget(MLPC, 1);
    quietSave = new QuietSaveTimer(this);
    quietSave->setObjectName(QStringLiteral("quietSave"));
    quietSave->watch(MLPC->document());
    connect(quietSave, &QTimer::timeout, this, &ActivityMapPage::QuietSaveTimerTimer);

    setTabOrder(z1, z2);
    setTabOrder(z2, z3);
    setTabOrder(z3, z4);
    setTabOrder(z4, rel);
    setTabOrder(rel, MLPC);

    watchEnter({z1, z1->lineEdit(), z2, z3, z4, rel, rel->lineEdit()});

    connect(lza, &LinkLabel::clicked, this, &ActivityMapPage::lzaClick);
    connect(lza1, &LinkLabel::clicked, this, &ActivityMapPage::MapG);
    connect(lza2, &LinkLabel::clicked, this, &ActivityMapPage::lza2Click);
    // A name chosen from the list also becomes the box's hint.
    connect(rel, &QComboBox::activated, this, [this](int index) { rel->setToolTip(rel->itemText(index)); });
}

bool ActivityMapPage::enterPressed(QObject *watched)
{
    // Enter never reaches a field as a typed character.
    if (watched == z1 || watched == z1->lineEdit()) {
        if (!z1->currentText().isEmpty())
            z2->setFocus(Qt::TabFocusReason);
    } else if (watched == z2) {
        z3->setFocus(Qt::TabFocusReason);
    } else if (watched == z3) {
        if (z3->currentIndex() >= 0)
            z4->setFocus(Qt::TabFocusReason);
    } else if (watched == z4) {
        lzaClick();
    } else if (watched == rel || watched == rel->lineEdit()) {
        MapG();
    } else {
        return false;
    }
    return true;
}

void ActivityMapPage::lzaClick()
{
    const QString name = z1->currentText();
    if (name.isEmpty() || z3->currentIndex() < 0 || z4->text().isEmpty())
        return;
    const ActivityEntry entry{name, z2->date(), z3->currentText(), z4->text()};
    // A refused name or an unreadable file saves nothing and leaves the row as it is.
    if (!m_folder.appendLine(LBM, name, activityLine(entry)))
        return;
    z1->clearAll();
    z4->clear();
    z1->setFocus(Qt::OtherFocusReason);
}

void ActivityMapPage::MapG()
{
    publishContactReport(rel->currentText(), [this](const QStringList &lines) {
        return activityMapReport(m_services.clock.today(), lines);
    });
}

void ActivityMapPage::lza2Click()
{
    if (!m_services.dialogs.question(kDeleteQuestion, kQuestionCaption, MessageIcon::Question))
        return;
    removeContact(rel);
}

void ActivityMapPage::SetDateToToday()
{
    z2->setDate(m_services.clock.today());
}

void ActivityMapPage::LoadActivityNotes()
{
    if (m_saveFailed && !MLPC->document()->isEmpty())
        return; // the file holds older notes than the memo
    if (m_notes.load(m_paths.resolve(kActivityNotesFile)) != TextList::LoadResult::Loaded)
        return;
    MLPC->setPlainText(m_notes.lines().join(QLatin1Char('\n')));
    quietSave->stop(); // the notes just read hold nothing to write
}

void ActivityMapPage::SaveActivityNotes()
{
    if (m_writeGate && !m_writeGate())
        return; // the data folder is being replaced; the memo stays as typed
    quietSave->stop();
    m_saveFailed = false;
    if (MLPC->document()->isEmpty())
        return;
    m_notes.lines() = notesLines(MLPC->document()->toRawText());
    // A failed write keeps the memo as typed, to be written at the next close.
    const QString path = m_paths.resolve(kActivityNotesFile);
    m_saveFailed = !m_notes.save(path);
    if (m_saveFailed)
        qCWarning(lcOrganizer) << "the contact notes could not be written to" << path;
    else
        MLPC->document()->setModified(false);
}

void ActivityMapPage::QuietSaveTimerTimer()
{
    if (MLPC->document()->isModified())
        SaveActivityNotes();
}

void ActivityMapPage::dataFolderReplaced()
{
    quietSave->stop();
    m_saveFailed = false;
    m_notes = TextList{TextList::SavePolicy::Utf8WhenNeeded};
    MLPC->clear();
    MLPC->document()->setModified(false);
    LoadActivityNotes();
}

} // namespace zorv

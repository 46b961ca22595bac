#include "organizer/activitymappage.h"

#include "controls/captions.h"
#include "controls/contactnamebox.h"
#include "controls/lettercase.h"
#include "controls/keys.h"
#include "controls/linklabel.h"
#include "organizer/contactrecords.h"
#include "platform/services.h"
#include "reports/reportwriter.h"
#include "store/paths.h"
#include "store/records.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
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
    : QWidget(parent)
    , m_paths(paths)
    , m_services(services)
    , m_folder(paths, kActivityMapExtension)
{
    setObjectName(QStringLiteral("activityMapPage"));
    setWindowTitle(QStringLiteral("MA"));
    buildUi();
}

void ActivityMapPage::buildUi()
{
    useLightCaptions(this);
    auto *page = new QVBoxLayout(this);
    page->addWidget(new QLabel(QStringLiteral("Mapa de atividades e negócios"), this));
    page->addWidget(new QLabel(
        QStringLiteral(
            "Controle seus contatos, atividades, feedbacks e follow-ups, vendas e negócios facilmente."),
        this));
    page->addWidget(
        new QLabel(QStringLiteral("Gere relatórios claros e objetivos destas atividades e aumente a "
                                  "sua produtividade, rendimentos..."),
                   this));

    const ContactNameBox::NameSource names = [this] { return m_folder.names(); };

    z1 = new ContactNameBox(this);
    z1->setObjectName(QStringLiteral("z1"));
    z1->setNameSource(names);
    keepLetterCase(z1, LetterCase::Upper);

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

    auto *entry = new QGridLayout;
    entry->addWidget(caption(QStringLiteral("Con&tato"), this, z1), 0, 0);
    entry->addWidget(caption(QStringLiteral("Data"), this), 0, 1);
    entry->addWidget(caption(QStringLiteral("Categoria"), this), 0, 2);
    entry->addWidget(caption(QStringLiteral("Tema abordado"), this), 0, 3);
    entry->addWidget(z1, 1, 0);
    entry->addWidget(z2, 1, 1);
    entry->addWidget(z3, 1, 2);
    entry->addWidget(z4, 1, 3);
    entry->addWidget(lza, 1, 4);
    entry->setColumnStretch(3, 1);
    page->addLayout(entry);

    rel = new ContactNameBox(this);
    rel->setObjectName(QStringLiteral("rel"));
    rel->setNameSource(names);
    keepLetterCase(rel, LetterCase::Upper);
    lza1 = namedLink("lza1", QStringLiteral("Gerar"), this);
    lza2 = namedLink("lza2", QStringLiteral("Excluir contato"), this);

    page->addSpacing(12);
    page->addWidget(caption(QStringLiteral("Gerar relatório"), this));
    auto *reportRow = new QHBoxLayout;
    reportRow->addWidget(caption(QStringLiteral("Cont&ato"), this, rel));
    reportRow->addWidget(rel);
    reportRow->addWidget(lza1);
    reportRow->addWidget(new QLabel(QStringLiteral("|"), this));
    reportRow->addWidget(lza2);
    reportRow->addStretch();
    page->addLayout(reportRow);

    MLPC = new QPlainTextEdit(this);
    MLPC->setObjectName(QStringLiteral("MLPC"));
    page->addSpacing(12);
    page->addWidget(caption(QStringLiteral("Notas so&bre os contatos..."), this, MLPC));
    page->addWidget(MLPC, 1);

    setTabOrder(z1, z2);
    setTabOrder(z2, z3);
    setTabOrder(z3, z4);
    setTabOrder(z4, rel);
    setTabOrder(rel, MLPC);

    // Keys of the Enter chain are seen before the fields' own handling.
    const QList<QWidget *> chain{z1, z1->lineEdit(), z2, z3, z4, rel, rel->lineEdit()};
    for (QWidget *w : chain)
        w->installEventFilter(this);

    connect(lza, &LinkLabel::clicked, this, &ActivityMapPage::lzaClick);
    connect(lza1, &LinkLabel::clicked, this, &ActivityMapPage::MapG);
    connect(lza2, &LinkLabel::clicked, this, &ActivityMapPage::lza2Click);
    // A name chosen from the list also becomes the box's hint.
    connect(rel, &QComboBox::activated, this, [this](int index) { rel->setToolTip(rel->itemText(index)); });
}

bool ActivityMapPage::eventFilter(QObject *watched, QEvent *event)
{
    if (isEnterPress(event))
        return enterPressed(watched);
    return QWidget::eventFilter(watched, event);
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
    // A name without a file gives an empty table; a refused or unreadable one, no report.
    const auto lines = m_folder.lines(rel->currentText());
    if (!lines)
        return;
    publishReport(activityMapReport(m_services.clock.today(), *lines), m_paths, m_services.programs);
}

void ActivityMapPage::lza2Click()
{
    if (!m_services.dialogs.question(kDeleteQuestion, kQuestionCaption, MessageIcon::Question))
        return;
    m_folder.remove(rel->currentText());
    rel->clearEditText();
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
}

void ActivityMapPage::SaveActivityNotes()
{
    m_saveFailed = false;
    if (MLPC->document()->isEmpty())
        return;
    m_notes.lines() = notesLines(MLPC->document()->toRawText());
    // A failed write keeps the memo as typed, to be written at the next close.
    m_saveFailed = !m_notes.save(m_paths.resolve(kActivityNotesFile));
    if (!m_saveFailed)
        MLPC->document()->setModified(false);
}

} // namespace zorv

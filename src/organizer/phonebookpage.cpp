#include "organizer/phonebookpage.h"

#include "controls/captions.h"
#include "controls/contactnamebox.h"
#include "controls/lettercase.h"
#include "controls/keys.h"
#include "controls/linklabel.h"
#include "controls/maskedtext.h"
#include "organizer/contactrecords.h"
#include "platform/services.h"
#include "reports/reportwriter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace zorv {

namespace {

// The phone as typed: area code, then the number; blanks stay visible while typing.
const QString kPhoneMask = QStringLiteral("(99) 9999-9999;_");

} // namespace

PhoneBookPage::PhoneBookPage(const Paths &paths, Services &services, QWidget *parent)
    : QWidget(parent)
    , m_paths(paths)
    , m_services(services)
    , m_folder(paths, kPhoneBookExtension)
{
    setObjectName(QStringLiteral("phoneBookPage"));
    setWindowTitle(QStringLiteral("Tel"));
    buildUi();
}

void PhoneBookPage::buildUi()
{
    useLightCaptions(this);
    auto *page = new QVBoxLayout(this);
    page->addWidget(new QLabel(QStringLiteral("Agenda telefônica"), this));
    page->addWidget(
        new QLabel(QStringLiteral("Agende seus contatos e mantenha sua vida organizada..."), this));

    const ContactNameBox::NameSource names = [this] { return m_folder.names(); };

    e1 = new ContactNameBox(this);
    e1->setObjectName(QStringLiteral("e1"));
    e1->setNameSource(names);
    // Only opening its list rebuilds the contact field; arriving in it keeps what it holds.
    e1->setRebuildOnFocusEntry(false);
    keepLetterCase(e1, LetterCase::Upper);

    e2 = new QLineEdit(this);
    e2->setObjectName(QStringLiteral("e2"));
    e2->setInputMask(kPhoneMask);
    e2->setMaximumWidth(130);

    e3 = new QComboBox(this);
    e3->setObjectName(QStringLiteral("e3"));
    e3->addItems(kPhoneCategories);
    e3->setCurrentIndex(-1);

    e4 = new QLineEdit(this);
    e4->setObjectName(QStringLiteral("e4"));
    keepLetterCase(e4, LetterCase::Lower);

    OBS = new QLineEdit(this);
    OBS->setObjectName(QStringLiteral("OBS"));

    zq1 = namedLink("zq1", QStringLiteral("Salvar"), this);
    QFont bold = zq1->font();
    bold.setBold(true);
    zq1->setFont(bold);

    auto *entry = new QGridLayout;
    entry->addWidget(caption(QStringLiteral("Co&ntato"), this, e1), 0, 0);
    entry->addWidget(caption(QStringLiteral("Telefone"), this), 0, 1);
    entry->addWidget(caption(QStringLiteral("Categoria"), this), 0, 2);
    entry->addWidget(caption(QStringLiteral("E-mail"), this), 0, 3);
    entry->addWidget(caption(QStringLiteral("Observação"), this), 0, 4);
    entry->addWidget(e1, 1, 0);
    entry->addWidget(e2, 1, 1);
    entry->addWidget(e3, 1, 2);
    entry->addWidget(e4, 1, 3);
    entry->addWidget(OBS, 1, 4);
    entry->addWidget(zq1, 1, 5);
    entry->setColumnStretch(6, 1);
    page->addLayout(entry);

    rel2 = new ContactNameBox(this);
    rel2->setObjectName(QStringLiteral("rel2"));
    rel2->setNameSource(names);
    keepLetterCase(rel2, LetterCase::Upper);
    zq2 = namedLink("zq2", QStringLiteral("Gerar"), this);
    zq3 = namedLink("zq3", QStringLiteral("Excluir contato"), this);

    page->addSpacing(12);
    page->addWidget(caption(QStringLiteral("Gerar relatório"), this));
    page->addWidget(
        caption(QStringLiteral("&Selesione um contato e clique em Gerar ou pressione Enter..."), this, rel2));
    auto *reportRow = new QHBoxLayout;
    reportRow->addWidget(rel2);
    reportRow->addWidget(zq2);
    reportRow->addWidget(new QLabel(QStringLiteral("|"), this));
    reportRow->addWidget(zq3);
    reportRow->addStretch();
    page->addLayout(reportRow);
    page->addStretch();

    setTabOrder(e1, e2);
    setTabOrder(e2, e3);
    setTabOrder(e3, e4);
    setTabOrder(e4, OBS);
    setTabOrder(OBS, rel2);

    // Keys of the Enter chain are seen before the fields' own handling.
    const QList<QWidget *> chain{e1, e1->lineEdit(), e2, e3, e4, OBS, rel2, rel2->lineEdit()};
    for (QWidget *w : chain)
        w->installEventFilter(this);

    connect(zq1, &LinkLabel::clicked, this, &PhoneBookPage::zq1Click);
    connect(zq2, &LinkLabel::clicked, this, &PhoneBookPage::zq2Click);
    connect(zq3, &LinkLabel::clicked, this, &PhoneBookPage::zq3Click);
}

bool PhoneBookPage::eventFilter(QObject *watched, QEvent *event)
{
    if (isEnterPress(event))
        return enterPressed(watched);
    return QWidget::eventFilter(watched, event);
}

bool PhoneBookPage::enterPressed(QObject *watched)
{
    // Enter never reaches a field as a typed character.
    if (watched == e1 || watched == e1->lineEdit()) {
        if (!e1->currentText().isEmpty())
            e2->setFocus(Qt::TabFocusReason);
    } else if (watched == e2) {
        e3->setFocus(Qt::TabFocusReason);
        e3->showPopup();
    } else if (watched == e3) {
        if (e3->currentIndex() >= 0)
            e4->setFocus(Qt::TabFocusReason);
    } else if (watched == e4) {
        if (e4->text().isEmpty())
            e4->setText(kNoEmail);
        OBS->setFocus(Qt::TabFocusReason);
    } else if (watched == OBS) {
        zq1Click();
    } else if (watched == rel2 || watched == rel2->lineEdit()) {
        zq2Click();
    } else {
        return false;
    }
    return true;
}

void PhoneBookPage::zq1Click()
{
    const QString name = e1->currentText();
    const QString phone = maskedText(*e2);
    if (name.isEmpty() || phone.isEmpty() || e3->currentIndex() < 0 || e4->text().isEmpty())
        return;
    // A name that cannot be a file name here saves nothing and leaves the row as it is.
    if (!m_folder.acceptsName(name))
        return;
    if (OBS->text().isEmpty())
        OBS->setText(kNoNote);
    const ContactEntry entry{name, phone, e3->currentText(), e4->text(), OBS->text()};
    if (!m_folder.appendLine(LTEL, name, contactLine(entry)))
        return;

    e1->clearAll();
    setMaskedText(*e2, kUntouchedPhone);
    e4->clear();
    e3->setCurrentIndex(-1);
    OBS->clear();
    e1->setFocus(Qt::OtherFocusReason);
}

void PhoneBookPage::zq2Click()
{
    const QString name = rel2->currentText();
    // A name without a file gives an empty table; a refused or unreadable one, no report.
    const auto lines = m_folder.lines(name);
    if (!lines)
        return;
    publishReport(phoneBookReport(name, m_services.clock.today(), *lines), m_paths, m_services.programs);
}

void PhoneBookPage::zq3Click()
{
    m_folder.remove(rel2->currentText());
    rel2->clearEditText();
}

} // namespace zorv

#include "organizer/phonebookpage.h"

#include "controls/captions.h"
#include "controls/contactnamebox.h"
#include "controls/lettercase.h"
#include "controls/linklabel.h"
#include "controls/maskedtext.h"
#include "organizer/contactrecords.h"
#include "platform/services.h"
#include "store/logging.h"

#include <QApplication>
#include <QClipboard>
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
const QString kLandLineMask = QStringLiteral("(99) 9999-9999;_");
const QString kMobileMask = QStringLiteral("(99) 99999-9999;_");
constexpr qsizetype kLandLineDigits = 10;
constexpr qsizetype kMobileDigits = 11;

} // namespace

PhoneField::PhoneField(QWidget *parent)
    : QLineEdit(parent)
{
    setInputMask(kLandLineMask);
    connect(this, &QLineEdit::textEdited, this, &PhoneField::closeUpMobile);
}

bool PhoneField::isMobile() const
{
    return inputMask() == kMobileMask;
}

void PhoneField::setDigits(const QString &digits, qsizetype caretDigits)
{
    const QString text = phoneText(digits);
    setInputMask(phoneDigits(text).size() == kMobileDigits ? kMobileMask : kLandLineMask);
    setMaskedText(*this, text);
    // The caret after the digit place that holds the last of `caretDigits`.
    int caret = 0;
    qsizetype seen = 0;
    const QString mask = inputMask().section(u';', 0, 0);
    for (int i = 0; i < mask.size() && seen < caretDigits; ++i) {
        if (mask.at(i) == u'9') {
            ++seen;
            caret = i + 1;
        }
    }
    if (caretDigits == 0)
        caret = 1;
    setCursorPosition(caret);
}

qsizetype PhoneField::digitsBefore(int position) const
{
    return phoneDigits(QStringView(displayText()).left(position)).size();
}

void PhoneField::keyPressEvent(QKeyEvent *event)
{
    const QString digits = phoneDigits(displayText());
    if (event->matches(QKeySequence::Paste)) {
        // Pasted digits go in at the caret (over the selection), the number reflowed, so a
        // whole mobile pasted in lands whole.
        const int from = hasSelectedText() ? selectionStart() : cursorPosition();
        const int to = hasSelectedText() ? selectionEnd() : cursorPosition();
        const QString pasted = phoneDigits(QGuiApplication::clipboard()->text());
        const qsizetype before = digitsBefore(from);
        const QString merged =
            (digits.left(before) + pasted + digits.mid(digitsBefore(to))).left(kMobileDigits);
        setDigits(merged, qMin(before + pasted.size(), merged.size()));
        emit textEdited(text());
        event->accept();
        return;
    }
    const QString typed = event->text();
    const bool digitKey = typed.size() == 1 && typed.at(0) >= u'0' && typed.at(0) <= u'9';
    if (digitKey && !isMobile() && !hasSelectedText() && digits.size() == kLandLineDigits) {
        // A full land line and one more digit: the number becomes a mobile.
        const qsizetype at = digitsBefore(cursorPosition());
        setDigits(digits.left(at) + typed + digits.mid(at), at + 1);
        emit textEdited(text());
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void PhoneField::closeUpMobile()
{
    if (!isMobile())
        return;
    const QString digits = phoneDigits(displayText());
    if (digits.size() < kMobileDigits)
        setDigits(digits, digitsBefore(cursorPosition()));
}

PhoneBookPage::PhoneBookPage(const Paths &paths, Services &services, QWidget *parent)
    : ContactFolderPage(paths, services, kPhoneBookExtension, parent)
{
    setObjectName(QStringLiteral("phoneBookPage"));
    setWindowTitle(QStringLiteral("Tel"));
    buildUi();
}

void PhoneBookPage::buildUi()
{
    auto *page = startPage({QStringLiteral("Agenda telefônica"),
                            QStringLiteral("Agende seus contatos e mantenha sua vida organizada...")});

    e1 = contactNameBox("e1");
    // Only opening its list rebuilds the contact field; arriving in it keeps what it holds.
    e1->setRebuildOnFocusEntry(false);

    e2 = new PhoneField(this);
    e2->setObjectName(QStringLiteral("e2"));
    e2->setMaximumWidth(140);

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

    QGridLayout *entry =
        entryGrid({QStringLiteral("Co&ntato"), QStringLiteral("Telefone"), QStringLiteral("Categoria"),
                   QStringLiteral("E-mail"), QStringLiteral("Observação")},
                  {e1, e2, e3, e4, OBS}, zq1);
    entry->setColumnStretch(6, 1);
    page->addLayout(entry);

    stTel = new QLabel(this);
    stTel->setObjectName(QStringLiteral("stTel"));
    stTel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    page->addWidget(stTel);

    rel2 = contactNameBox("rel2");
    zq2 = namedLink("zq2", QStringLiteral("Gerar"), this);
    zq3 = namedLink("zq3", QStringLiteral("Excluir contato"), this);

    page->addSpacing(12);
    page->addWidget(caption(QStringLiteral("Gerar relatório"), this));
    page->addWidget(
        caption(QStringLiteral("&Selesione um contato e clique em Gerar ou pressione Enter..."), this, rel2));
    page->addLayout(reportRow(rel2, zq2, zq3));
    page->addStretch();

    setTabOrder(e1, e2);
    setTabOrder(e2, e3);
    setTabOrder(e3, e4);
    setTabOrder(e4, OBS);
    setTabOrder(OBS, rel2);

    watchEnter({e1, e1->lineEdit(), e2, e3, e4, OBS, rel2, rel2->lineEdit()});

    connect(zq1, &LinkLabel::clicked, this, &PhoneBookPage::zq1Click);
    connect(zq2, &LinkLabel::clicked, this, &PhoneBookPage::zq2Click);
    connect(zq3, &LinkLabel::clicked, this, &PhoneBookPage::zq3Click);
    // The note on the last save stays until the next contact is begun.
    connect(e1, &QComboBox::editTextChanged, stTel, [this](const QString &text) {
        if (!text.isEmpty())
            stTel->clear();
    });
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
    if (!m_folder.acceptsName(name)) {
        stTel->setText(tr("O contato não foi salvo: \"%1\" não pode ser o nome de um arquivo.").arg(name));
        return;
    }
    if (OBS->text().isEmpty())
        OBS->setText(kNoNote);
    const ContactEntry entry{name, phone, e3->currentText(), e4->text(), OBS->text()};
    const WriteResult written = m_folder.appendLine(LTEL, name, contactLine(entry));
    if (!written) {
        // The row keeps its values so the save can be tried again.
        stTel->setText(tr("O contato não foi salvo: %1").arg(written.reason()));
        return;
    }

    e1->clearAll();
    stTel->setText(tr("Contato %1 salvo.").arg(name));
    e2->setDigits({}, 0);
    e4->clear();
    e3->setCurrentIndex(-1);
    OBS->clear();
    e1->setFocus(Qt::OtherFocusReason);
}

void PhoneBookPage::zq2Click()
{
    const QString name = rel2->currentText();
    publishContactReport(name, [this, &name](const QStringList &lines) {
        return phoneBookReport(name, m_services.clock.today(), lines);
    });
}

void PhoneBookPage::zq3Click()
{
    removeContact(rel2);
}

} // namespace zorv

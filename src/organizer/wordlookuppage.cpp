#include "organizer/wordlookuppage.h"

#include "controls/captions.h"
#include "organizer/wordlookup.h"
#include "platform/pageloader.h"
#include "platform/services.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QValidator>
#include <QVBoxLayout>

namespace zorv {

namespace {

// Typed or pasted letters land in lower case.
class LowerCaseValidator final : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toLower();
        return Acceptable;
    }
};

} // namespace

PageFrame::PageFrame(PageLoader &loader, const QString &name, QObject *parent)
    : QObject(parent)
    , m_loader(loader)
{
    setObjectName(name);
}

PageFrame::~PageFrame()
{
    if (m_loading)
        m_loader.abandon();
}

void PageFrame::Navigate(const QUrl &address)
{
    m_loading = true;
    m_loader.load(address, [this, address](const std::optional<LoadedPage> &loaded) {
        m_loading = false;
        m_document.reset();
        if (loaded)
            m_document = std::make_unique<HtmlPage>(loaded->body, loaded->charset);
        emit DocumentComplete(m_document && m_document->isValid() ? m_document.get() : nullptr,
                              loaded ? loaded->address : address);
    });
}

WordLookupPage::WordLookupPage(Services &services, QWidget *parent)
    : QWidget(parent)
    , m_services(services)
    , m_base(kDictionaryBase)
{
    setObjectName(QStringLiteral("WordLookupPage"));
    useLightCaptions(this);
    auto *outer = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("Consulte o significados das palavras"), this);
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 6);
    title->setFont(big);
    outer->addWidget(title);
    outer->addWidget(new QLabel(
        QStringLiteral(
            "Descubra o significado de palavras em Portugu\u00eas e melhore o seu vocabul\u00e1rio."),
        this));

    auto *caption = new QLabel(QStringLiteral("O que significa a &palavra?"), this);
    prt = new QLineEdit(this);
    prt->setObjectName(QStringLiteral("prt"));
    prt->setValidator(new LowerCaseValidator(prt));
    caption->setBuddy(prt);
    outer->addWidget(caption);
    outer->addWidget(prt);

    rst = new QTextEdit(this);
    rst->setObjectName(QStringLiteral("rst"));
    rst->setReadOnly(true);
    rst->setAcceptRichText(false);
    rst->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPixelSize(16);
    rst->setFont(verdana);
    QPalette silver = rst->palette();
    silver.setColor(QPalette::Text, QColor(0xC0, 0xC0, 0xC0));
    rst->setPalette(silver);
    outer->addWidget(rst, 1);

    mm = new QPlainTextEdit(this);
    mm->setObjectName(QStringLiteral("mm"));
    mm->hide();

    W = new PageFrame(services.pages, QStringLiteral("W"), this);
    W2 = new PageFrame(services.pages, QStringLiteral("W2"), this);
    Time.setObjectName(QStringLiteral("Time"));
    Time.setInterval(timeInterval);

    prt->installEventFilter(this);
    connect(W, &PageFrame::DocumentComplete, this, &WordLookupPage::WDocumentComplete);
    connect(W2, &PageFrame::DocumentComplete, this, &WordLookupPage::W2DocumentComplete);
    connect(&Time, &QTimer::timeout, this, &WordLookupPage::TimeTimer);
}

bool WordLookupPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == prt && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Lookup();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void WordLookupPage::ResetFields()
{
    prt->clear();
}

void WordLookupPage::Lookup()
{
    if (prt->text().isEmpty())
        return;
    rst->clear();
    mm->clear();
    W->Navigate(QUrl(dictionaryAddress(m_base, prt->text())));
}

void WordLookupPage::WDocumentComplete(HtmlPage *page, const QUrl &)
{
    // A page that completes again (frames, redirects) is read once per lookup.
    if (mm->toPlainText().isEmpty() && page) {
        if (const HtmlElement meaning = page->elementById(QStringLiteral("significado"))) {
            const QStringList lines = meaningLines(HtmlPage::innerHtml(meaning));
            mm->setPlainText(lines.join(QLatin1Char('\n')));
            rst->setPlainText(readableLines(lines).join(QLatin1Char('\n')));
        }
    }
    rst->setFocus();
    QTextCursor start = rst->textCursor();
    start.movePosition(QTextCursor::Start);
    rst->setTextCursor(start);
}

void WordLookupPage::W2DocumentComplete(HtmlPage *page, const QUrl &)
{
    if (!page)
        return;
    if (const HtmlElement source = page->elementById(QStringLiteral("source")))
        page->setInnerText(source, prt->text());
    if (const HtmlElement translate = page->elementById(QStringLiteral("tercume_et")))
        page->click(translate);
    Time.start();
}

void WordLookupPage::TimeTimer()
{
    Time.stop();
    m_results = W2->document() ? W2->document()->elementById(QStringLiteral("results_body")) : HtmlElement();
}

} // namespace zorv

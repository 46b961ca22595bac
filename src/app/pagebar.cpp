#include "pagebar.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPainter>

namespace zorv {

namespace {

constexpr int kPadding = 6; // each side of a caption
constexpr int kBarHeight = 29;

} // namespace

const QList<PageBarEntry> &pageBarEntries()
{
    static const QList<PageBarEntry> entries = {
        {6, QStringLiteral("Minhas finan\u00e7as"), QStringLiteral("Finan\u00e7as")},
        {3, QStringLiteral("Anota\u00e7\u00f5es r\u00e1pidas"), QStringLiteral("Anota\u00e7\u00f5es")},
        {5, QStringLiteral("Compromissos..."), QStringLiteral("Compromissos")},
        {7, QStringLiteral("Mapa de atividades"), QStringLiteral("Atividades")},
        {4, QStringLiteral("Meu di\u00e1rio pessoal"), QStringLiteral("Di\u00e1rio")},
        {8, QStringLiteral("Agenda telef\u00f4nica"), QStringLiteral("Agenda")},
        {2, QStringLiteral("Player de \u00e1udio"), QStringLiteral("\u00c1udio")},
        {0, QStringLiteral("Centro de atalhos"), QStringLiteral("Atalhos")},
        {1, QStringLiteral("Centro de apelidos"), QStringLiteral("Apelidos")},
        {9, QStringLiteral("Consulta de palavras"), QStringLiteral("Palavras")},
        {10, QStringLiteral("Personal trainer"), QStringLiteral("Trainer")},
        {11, QStringLiteral("Configura\u00e7\u00f5es"), QStringLiteral("Configura\u00e7\u00f5es")},
    };
    return entries;
}

int pageForKey(int key, Qt::KeyboardModifiers modifiers, int currentPage)
{
    // The keypad's digits count as the row's; Shift or Alt with Ctrl is another key.
    if ((modifiers & ~Qt::KeypadModifier) != Qt::ControlModifier)
        return -1;
    const QList<PageBarEntry> &entries = pageBarEntries();
    if (key >= Qt::Key_1 && key <= Qt::Key_9) {
        const int position = key - Qt::Key_1;
        return position < entries.size() ? entries[position].page : -1;
    }
    int step = 0;
    if (key == Qt::Key_PageDown)
        step = 1;
    else if (key == Qt::Key_PageUp)
        step = -1;
    else
        return -1;
    int position = 0;
    for (int i = 0; i < entries.size(); ++i) {
        if (entries[i].page == currentPage)
            position = i;
    }
    const int count = int(entries.size());
    return entries[(position + step + count) % count].page;
}

PageButton::PageButton(const PageBarEntry &entry, QWidget *parent)
    : QAbstractButton(parent)
    , m_shortCaption(entry.shortCaption)
{
    setText(entry.caption);
    setToolTip(entry.caption);
    setCheckable(true);
    setAutoExclusive(true);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover); // repainted as the pointer comes and goes
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

// Sizes are measured in bold, so a caption keeps its room when its page comes to the front.
QSize PageButton::sizeHint() const
{
    QFont bold = font();
    bold.setBold(true);
    return {QFontMetrics(bold).horizontalAdvance(text()) + 2 * kPadding, kBarHeight};
}

QSize PageButton::minimumSizeHint() const
{
    QFont bold = font();
    bold.setBold(true);
    return {QFontMetrics(bold).horizontalAdvance(m_shortCaption) + 2 * kPadding, kBarHeight};
}

QFont PageButton::captionFont() const
{
    QFont f = font();
    f.setBold(isChecked());
    return f;
}

QRect PageButton::captionArea() const
{
    return rect().adjusted(kPadding, 0, -kPadding, -3);
}

QString PageButton::shownText() const
{
    const QFontMetrics metrics(captionFont());
    const int room = captionArea().width();
    if (metrics.horizontalAdvance(text()) <= room)
        return text();
    if (metrics.horizontalAdvance(m_shortCaption) <= room)
        return m_shortCaption;
    return metrics.elidedText(m_shortCaption, Qt::ElideRight, room);
}

void PageButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(captionFont());
    const bool lit = isChecked() || underMouse();
    painter.setPen(lit ? QColor(Qt::white) : QColor(0xc0, 0xc0, 0xc0));
    painter.drawText(captionArea(), Qt::AlignCenter, shownText());
    if (isChecked())
        painter.fillRect(QRect(kPadding / 2, height() - 3, width() - kPadding, 2), QColor(0xf2, 0xc2, 0x30));
}

PageBar::PageBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pageBar"));
    setFixedHeight(kBarHeight);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(8, 0, 8, 0);
    row->setSpacing(0);
    for (const PageBarEntry &entry : pageBarEntries()) {
        auto *button = new PageButton(entry, this);
        button->setObjectName(QStringLiteral("pageButton%1").arg(entry.page));
        button->setProperty("page", entry.page);
        connect(button, &QAbstractButton::clicked, this,
                [this, page = entry.page] { emit pageChosen(page); });
        row->addWidget(button);
        m_buttons.append(button);
    }
    row->addStretch(1);
}

PageButton *PageBar::button(int page) const
{
    for (PageButton *button : m_buttons) {
        if (button->property("page").toInt() == page)
            return button;
    }
    return nullptr;
}

void PageBar::setCurrentPage(int page)
{
    if (PageButton *current = button(page))
        current->setChecked(true);
}

} // namespace zorv

#include "pagebar.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPainter>

namespace zorv {

namespace {

constexpr int kPadding = 8; // each side of a caption
constexpr int kBarHeight = 29;

} // namespace

const QList<PageBarEntry> &pageBarEntries()
{
    static const QList<PageBarEntry> entries = {
        {6, QStringLiteral("Minhas finan\u00e7as")},
        {3, QStringLiteral("Anota\u00e7\u00f5es r\u00e1pidas")},
        {5, QStringLiteral("Compromissos...")},
        {7, QStringLiteral("Mapa de atividades")},
        {4, QStringLiteral("Meu di\u00e1rio pessoal")},
        {8, QStringLiteral("Agenda telef\u00f4nica")},
        {2, QStringLiteral("Player de \u00e1udio")},
        {0, QStringLiteral("Centro de atalhos")},
        {1, QStringLiteral("Centro de apelidos")},
        {9, QStringLiteral("Consulta de palavras")},
        {10, QStringLiteral("Personal trainer")},
        {11, QStringLiteral("Configura\u00e7\u00f5es")},
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

PageButton::PageButton(const QString &caption, QWidget *parent)
    : QAbstractButton(parent)
{
    setText(caption);
    setToolTip(caption);
    setCheckable(true);
    setAutoExclusive(true);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover); // repainted as the pointer comes and goes
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize PageButton::sizeHint() const
{
    QFont bold = font();
    bold.setBold(true); // room for the caption when it is the page in front
    return {QFontMetrics(bold).horizontalAdvance(text()) + 2 * kPadding, kBarHeight};
}

QSize PageButton::minimumSizeHint() const
{
    return {QFontMetrics(font()).horizontalAdvance(QStringLiteral("Abc\u2026")) + 2 * kPadding, kBarHeight};
}

void PageButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QFont f = font();
    f.setBold(isChecked());
    painter.setFont(f);
    const bool lit = isChecked() || underMouse();
    painter.setPen(lit ? QColor(Qt::white) : QColor(0xc0, 0xc0, 0xc0));
    const QRect area = rect().adjusted(kPadding, 0, -kPadding, -3);
    const QString shown = QFontMetrics(f).elidedText(text(), Qt::ElideRight, area.width());
    painter.drawText(area, Qt::AlignCenter, shown);
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
        auto *button = new PageButton(entry.caption, this);
        button->setObjectName(QStringLiteral("pageButton%1").arg(entry.page));
        button->setProperty("page", entry.page);
        connect(button, &QAbstractButton::clicked, this, [this, page = entry.page] { emit pageChosen(page); });
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

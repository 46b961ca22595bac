#pragma once

#include <QAbstractButton>
#include <QList>
#include <QWidget>

namespace zorv {

// One page of the page bar: the page index on the suite window, its caption and the short
// caption shown when the bar is too narrow for every full one.
struct PageBarEntry
{
    int page;
    QString caption;
    QString shortCaption;
};

// The pages in bar order, captioned as the page menu names them: the finance page first,
// the organizer pages, the media and launcher pages, the settings last. Every page once.
const QList<PageBarEntry> &pageBarEntries();

// The page a page key chooses while the full suite is on: Ctrl+1 ... Ctrl+9 the first to
// ninth page of the bar, Ctrl+PgDown / Ctrl+PgUp the next / previous page in bar order
// after `currentPage`, wrapping around. -1 for every other key.
int pageForKey(int key, Qt::KeyboardModifiers modifiers, int currentPage);

// A page button: its caption, or its short caption when the bar is narrower than all
// captions (the full one stays in the tooltip), cut with an ellipsis only when even that
// does not fit; the page in front is drawn bold and underlined.
class PageButton : public QAbstractButton
{
    Q_OBJECT
public:
    PageButton(const PageBarEntry &entry, QWidget *parent);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The text the button draws at its present width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont captionFont() const;
    QRect captionArea() const;

    QString m_shortCaption;
};

// The row of page buttons of the full suite (objectName "pageBar"; buttons
// "pageButton<page>"). The buttons take no focus: each page keeps its own Tab chain, and
// the keys of pageForKey reach every page from the keyboard. A click asks for its page
// through pageChosen().
class PageBar : public QWidget
{
    Q_OBJECT
public:
    explicit PageBar(QWidget *parent = nullptr);

    // The button of page `page`, or nullptr.
    PageButton *button(int page) const;

public slots:
    // Marks the button of the page in front.
    void setCurrentPage(int page);

signals:
    void pageChosen(int page);

private:
    QList<PageButton *> m_buttons;
};

} // namespace zorv

#pragma once

#include <QListWidget>

namespace zorv {

// The launcher's icon lists: large 32 x 32 icons with silver captions on black, laid out
// by the list (no dragging, editing or sorting). Each item carries its sub-items as data
// in the roles Qt::UserRole + n. Enter on the list emits enterPressed() and goes no
// further, so no other control acts on it.
class IconList : public QListWidget
{
    Q_OBJECT

public:
    static constexpr int kIconSize = 32;
    static constexpr int kSubItemRole = Qt::UserRole;

    explicit IconList(const QString &name, QWidget *parent = nullptr);

    // Sub-item n of `item`; empty when the item has none.
    static QString subItem(const QListWidgetItem *item, int n);
    static bool hasSubItems(const QListWidgetItem *item);
    // Adds an item with a caption, sub-items and an icon.
    QListWidgetItem *addEntry(const QString &caption, const QStringList &subItems, const QIcon &icon);
    // The one item a list shows until it is first built: "Vazio!", without sub-items.
    void showPlaceholder();
    // The selected item, or nullptr.
    QListWidgetItem *selectedItem() const;

signals:
    void enterPressed();
    // A mouse button other than the left one was pressed over the list (after the list
    // handled the press), at `globalPos`.
    void otherButtonPressed(const QPoint &globalPos);

protected:
    // Reached by Tab with nothing selected: the item that shows the focus is selected, so
    // Enter starts what the user sees marked.
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};

} // namespace zorv

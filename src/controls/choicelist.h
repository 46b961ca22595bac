#pragma once

#include <QListWidget>

namespace zorv {

// A list box whose selection made with the keyboard (arrows, Home, End, page keys, typing
// the start of an entry, Space, Enter) acts as a click on the entry does: it emits
// itemChosen, so the entry highlighted is always the one the page acts on.
class ChoiceList : public QListWidget
{
    Q_OBJECT
public:
    explicit ChoiceList(QWidget *parent = nullptr);

signals:
    // The selected entry after a key moved or confirmed the selection.
    void itemChosen(QListWidgetItem *item);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace zorv

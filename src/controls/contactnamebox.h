#pragma once

#include <QComboBox>
#include <QStringList>

#include <functional>

namespace zorv {

// A combo box in which the user types a contact's name or picks one of the names on disk.
// Its items are read afresh from the name source just before its list drops down and,
// unless switched off, whenever the focus arrives from another control (not when it comes
// back from the box's own list or with the window's activation). Rebuilding clears the
// typed text too. Typed text is never completed into another item: a name typed is the
// name meant.
class ContactNameBox : public QComboBox
{
    Q_OBJECT

public:
    using NameSource = std::function<QStringList()>;

    explicit ContactNameBox(QWidget *parent = nullptr);

    void setNameSource(NameSource source) { m_source = std::move(source); }
    void setRebuildOnFocusEntry(bool rebuild) { m_rebuildOnEntry = rebuild; }
    bool rebuildsOnFocusEntry() const { return m_rebuildOnEntry; }

    // Items from the name source, none of them chosen, no typed text.
    void rebuild();
    // Items and typed text removed.
    void clearAll();

    void showPopup() override;

signals:
    void rebuilt();

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    NameSource m_source;
    bool m_rebuildOnEntry = true;
};

} // namespace zorv

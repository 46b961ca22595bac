#pragma once

#include <QStringList>
#include <QWidget>

class QAction;
class QLineEdit;
class QListWidget;
class QMenu;

namespace zorv {

// The month list's widgets under their component names.
struct MonthListWidgets
{
    QLineEdit *MKD = nullptr;
    QListWidget *lvd1 = nullptr;
    QMenu *PopupMenu8 = nullptr;
    QAction *Excluir7 = nullptr;
    QAction *Atualizar3 = nullptr;
};

// The list of months with a ledger, the field that finds one by its first characters and
// the list's menu. Filling or moving the list from code is quiet: only the user's
// choice of a month is told.
class MonthListPanel : public QWidget, public MonthListWidgets
{
    Q_OBJECT

public:
    explicit MonthListPanel(QWidget *parent);

    bool canDeleteMonth() const;
    // The list holds these names, none of them chosen.
    void setMonths(const QStringList &names);
    void selectQuietly(int row);
    // The row is taken out of the list, and none is chosen.
    void removeQuietly(int row);
    // The row of the first month that begins with what MKD holds; -1 when MKD holds no
    // search or no month matches.
    int rowOfTypedMonth() const;

signals:
    // The user chose the month in `row`.
    void monthChosen(int row);
    // Enter in MKD.
    void searchEntered();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_refreshing = false;
};

} // namespace zorv

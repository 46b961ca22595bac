#pragma once

#include <QListWidget>
#include <QString>
#include <QStringList>

namespace zorv {

// The names of the regular, non-hidden files directly in `folder` that match one of the
// patterns of `mask` ("*.mp3;*.wma"), letters compared without regard to case, sorted
// as a Brazilian reader expects (accents after their letter, case ignored; names equal
// but for case in the order of their exact spelling). An empty or missing folder lists
// nothing; sub-folders are never entered.
QStringList listFolder(const QString &folder, const QString &mask);

// Whether the file name `name` matches one of the patterns of `mask`, as listFolder matches.
bool matchesMask(const QString &name, const QString &mask);

// Makes `list` show `names`, as a fresh fill does: nothing current, nothing selected,
// scrolled to the top. Rows that already show exactly those names are kept rather than
// made again, so listing an unchanged folder again costs no new rows.
void showNames(QListWidget &list, const QStringList &names);

// A hidden list of the files of one folder: the folder it points at, its mask, and the
// names listFolder gives, refreshed whenever the folder changes.
class FileListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit FileListBox(const QString &mask, QWidget *parent = nullptr);

    QString mask() const { return m_mask; }
    // Lists the folder again under another mask.
    void setMask(const QString &mask);
    // Points the list at `folder` and lists it again.
    void setDirectory(const QString &folder);
    QString directory() const { return m_directory; }
    // Lists the folder again.
    void refresh();
    // The names listed, in order.
    QStringList names() const { return m_names; }
    // Full path of the selected file, empty when nothing is selected.
    QString selectedPath() const;
    QString pathOf(int row) const;

private:
    QString m_mask;
    QString m_directory;
    QStringList m_names;
};

} // namespace zorv

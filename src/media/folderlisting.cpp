#include "folderlisting.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace zorv {

namespace {

// A mask split into its patterns; "*.ext" patterns (all the masks in use) are matched as
// name endings without building an expression.
struct Mask
{
    explicit Mask(const QString &mask)
    {
        for (const QString &pattern : mask.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString p = pattern.trimmed();
            if (p.startsWith(QLatin1String("*.")) && !p.mid(1).contains(QLatin1Char('*')) &&
                !p.contains(QLatin1Char('?')) && !p.contains(QLatin1Char('[')))
                endings.append(p.mid(1));
            else if (!p.isEmpty())
                patterns.append(QRegularExpression::fromWildcard(p, Qt::CaseInsensitive));
        }
    }
    bool matches(const QString &name) const
    {
        for (const QString &ending : endings) {
            if (name.size() > ending.size() && name.endsWith(ending, Qt::CaseInsensitive))
                return true;
        }
        for (const QRegularExpression &pattern : patterns) {
            if (pattern.match(name).hasMatch())
                return true;
        }
        return false;
    }

    QStringList endings; // ".mp3"
    QList<QRegularExpression> patterns;
};

} // namespace

QStringList listFolder(const QString &folder, const QString &mask)
{
    if (folder.isEmpty())
        return {};
    const Mask m(mask);
    QStringList names;
    // Files only: hidden entries, folders, devices and pipes are left out.
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (m.matches(name))
            names.append(name);
    }
    if (names.size() < 2)
        return names;

    QCollator collator{QLocale(QLocale::Portuguese, QLocale::Brazil)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    struct Keyed
    {
        QCollatorSortKey key;
        qsizetype index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        keyed.push_back({collator.sortKey(names[i]), i});
    std::sort(keyed.begin(), keyed.end(), [&names](const Keyed &a, const Keyed &b) {
        const int c = a.key.compare(b.key);
        return c != 0 ? c < 0 : names[a.index] < names[b.index];
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const Keyed &k : keyed)
        sorted.append(names[k.index]);
    return sorted;
}

bool matchesMask(const QString &name, const QString &mask)
{
    return Mask(mask).matches(name);
}

FileListBox::FileListBox(const QString &mask, QWidget *parent)
    : QListWidget(parent)
    , m_mask(mask)
{}

void showNames(QListWidget &list, const QStringList &names)
{
    bool same = list.count() == names.size();
    for (int i = 0; same && i < names.size(); ++i)
        same = list.item(i)->text() == names[i];
    if (!same) {
        list.clear();
        list.addItems(names);
        return;
    }
    list.setCurrentItem(nullptr);
    list.clearSelection();
    list.scrollToTop();
}

void FileListBox::setDirectory(const QString &folder)
{
    m_directory = folder;
    refresh();
}

void FileListBox::setMask(const QString &mask)
{
    m_mask = mask;
    refresh();
}

void FileListBox::refresh()
{
    m_names = listFolder(m_directory, m_mask);
    showNames(*this, m_names);
}

QString FileListBox::pathOf(int row) const
{
    if (row < 0 || row >= m_names.size())
        return {};
    return QDir(m_directory).filePath(m_names[row]);
}

QString FileListBox::selectedPath() const
{
    return pathOf(currentRow());
}

} // namespace zorv

#include "organizer/contactfolder.h"

#include "store/logging.h"
#include "store/paths.h"
#include "store/textlist.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <vector>

namespace zorv {

ContactFolder::ContactFolder(const Paths &paths, QString extension)
    : m_paths(paths)
    , m_extension(std::move(extension))
{}

bool ContactFolder::acceptsName(const QString &name) const
{
    return isSafeFileName(name) && isSafeFileName(name + m_extension);
}

QString ContactFolder::fileOf(const QString &name) const
{
    if (!acceptsName(name))
        return {};
    return m_paths.resolve(kFolder + QLatin1Char('\\') + name + m_extension);
}

QStringList ContactFolder::names() const
{
    QStringList found;
    const qsizetype cut = m_extension.size();
    QDirIterator it(m_paths.resolve(kFolder), QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        const QString file = it.fileName();
        if (file.size() > cut && file.endsWith(m_extension, Qt::CaseInsensitive))
            found.append(file.chopped(cut));
    }
    sortContactNames(found);
    return found;
}

WriteResult ContactFolder::appendLine(TextList &list, const QString &name, const QString &line) const
{
    const QString path = fileOf(name);
    if (path.isEmpty())
        return WriteResult::failed(
            QCoreApplication::translate("zorv::ContactFolder", "nome de arquivo inválido"));
    const QString file = QFileInfo(path).fileName();
    list.clear();
    if (list.load(path) == TextList::LoadResult::Failed) {
        qCWarning(lcOrganizer) << "contact file not read, so not appended to:" << path;
        return WriteResult::failed(
            QCoreApplication::translate("zorv::ContactFolder", "não foi possível ler %1").arg(file));
    }
    list.lines().append(line);
    if (!list.save(path)) {
        const QFileInfo folder(QFileInfo(path).absolutePath());
        const QString reason =
            !folder.isDir()
                ? QCoreApplication::translate("zorv::ContactFolder", "a pasta %1 não existe").arg(kFolder)
            : !folder.isWritable()
                ? QCoreApplication::translate("zorv::ContactFolder", "sem permissão para gravar %1").arg(file)
                : QCoreApplication::translate("zorv::ContactFolder", "não foi possível gravar %1").arg(file);
        qCWarning(lcOrganizer) << "contact file not written:" << path << reason;
        return WriteResult::failed(reason);
    }
    return WriteResult::done();
}

std::optional<QStringList> ContactFolder::lines(const QString &name) const
{
    const QString path = fileOf(name);
    if (path.isEmpty())
        return std::nullopt;
    TextList list;
    if (list.load(path) == TextList::LoadResult::Failed)
        return std::nullopt;
    return list.lines();
}

bool ContactFolder::remove(const QString &name) const
{
    const QString path = fileOf(name);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    return QFile::remove(path);
}

void sortContactNames(QStringList &names)
{
    // One collator for the program's life: building one loads the locale's rules.
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Portuguese, QLocale::Brazil));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        return c;
    }();
    // Each name's sort key once, then byte comparisons: a folder of thousands of contacts
    // sorts without running the collation rules for every comparison.
    struct Keyed
    {
        QCollatorSortKey key;
        qsizetype index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        keyed.push_back({collator.sortKey(names.at(i)), i});
    std::sort(keyed.begin(), keyed.end(), [&names](const Keyed &a, const Keyed &b) {
        const int order = a.key.compare(b.key);
        if (order != 0)
            return order < 0;
        return names.at(a.index) < names.at(b.index);
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const Keyed &k : keyed)
        sorted.append(names.at(k.index));
    names = std::move(sorted);
}

} // namespace zorv

#include "diaryfiles.h"

#include "controls/numberformat.h"
#include "store/filegroup.h"
#include "store/paths.h"

#include <QDir>

#include <algorithm>

namespace zorv {

QString diaryPageName(const QDate &date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

QDate dateOfDiaryPage(const QString &name)
{
    QString text = name;
    text.replace(QLatin1Char('.'), QLatin1Char('/'));
    return parseShortDate(text);
}

QStringList listDiaryPages(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
    // A save cut short leaves its temporary beside the page; it is no page of its own.
    names.removeIf([&folder](const QString &name) { return isStoreWorkFile(folder, name); });
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

QString diaryPagePath(const Paths &paths, const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(u'/') ||
        name.contains(QChar(0)))
        return {};
    const QString folder = paths.resolve(QStringLiteral("dados\\Diary"));
    if (folder.isEmpty())
        return {};
    return folder + QLatin1Char('/') + name;
}

} // namespace zorv

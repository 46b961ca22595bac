#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace zorv {

class Paths;

// The name of a date's diary page: "dd.mm.yyyy", dots in every locale.
QString diaryPageName(const QDate &date);

// The date a page name stands for, read as the short date of the active number format
// once its dots are slashes; invalid when the name is not a date.
QDate dateOfDiaryPage(const QString &name);

// The names of the ordinary files of `folder` (no folders, hidden or system files), in
// alphabetical order without regard to case, as a file list box shows them.
QStringList listDiaryPages(const QString &folder);

// The native path of the page `name` inside "dados\Diary": the name is one component,
// never a path, so it reaches only a file of that folder. Empty for a name that is no
// plain file name there ("", ".", "..", or holding a slash).
QString diaryPagePath(const Paths &paths, const QString &name);

} // namespace zorv

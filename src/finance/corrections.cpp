#include "corrections.h"

#include "store/records.h"
#include "store/textlist.h"

#include <QFile>
#include <QFileInfo>

namespace zorv {

QString EntryRow::joined() const
{
    return amount + QStringLiteral(" | ") + date + QStringLiteral(" | ") + operation + QStringLiteral(" | ") +
           source;
}

QString EntryRow::monthKey() const
{
    return date.mid(3, 2) + QLatin1Char('.') + yearKey();
}

QString EntryRow::yearKey() const
{
    return date.mid(6);
}

EntryRow entryRowOf(const QString &line)
{
    const TaggedFields f = extractFields(line);
    return {f.f0, f.f1, f.f2, f.f3};
}

QString asciiUpper(QString text)
{
    for (QChar &c : text) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return text;
}

bool beginsWithFilter(QStringView text, QStringView filter)
{
    if (text.size() < filter.size())
        return false;
    for (qsizetype i = 0; i < filter.size(); ++i) {
        char16_t c = text[i].unicode();
        if (c >= u'a' && c <= u'z')
            c = char16_t(c - u'a' + u'A');
        if (c != filter[i].unicode())
            return false;
    }
    return true;
}

bool sourceBeginsWith(const QString &line, const QString &filter)
{
    return beginsWithFilter(FieldAfter(line, kMarker3), filter);
}

qsizetype findMatchingLine(const QStringList &lines, const EntryRow &row)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (entryRowOf(lines[i]) == row)
            return i;
    }
    return -1;
}

bool lineDatedIn(const QString &line, const QString &mm, const QString &yyyy)
{
    const QString date = FieldBefore(FieldAfter(line, kMarker1), kMarker2);
    return date.size() == 10 && date.mid(3, 2) == mm && date.mid(6) == yyyy;
}

LedgerCorrections::Removal LedgerCorrections::removeEntry(const QString &monthPath, QStringList &lines,
                                                          TextEncoding encoding, qsizetype index,
                                                          const QString &yearKey) const
{
    if (index < 0 || index >= lines.size())
        return Removal::Failed;
    // The lines are written back only over the ledger they came from: one that has gone
    // (its month deleted) is not made again from lines held before.
    if (!QFileInfo(monthPath).isFile())
        return Removal::Failed;
    const QString removed = lines[index];
    QStringList monthLines = lines;
    monthLines.removeAt(index);
    QList<FileWrite> writes{{monthPath, encodeLines(monthLines, encoding)}};

    TextList year;
    const QString yearPath = m_paths.resolve(yearLedgerName(yearKey));
    const auto loaded = year.load(yearPath);
    if (loaded == TextList::LoadResult::Failed)
        return Removal::Failed;
    const qsizetype yearIndex =
        loaded == TextList::LoadResult::Loaded ? findLineByPrefix(year.lines(), removed) : -1;
    if (yearIndex >= 0) {
        year.lines().removeAt(yearIndex);
        writes.append({yearPath, encodeLines(year.lines(), year.encoding())});
    }
    if (!writeFilesTogether(writes))
        return Removal::Failed;
    lines = monthLines;
    return yearIndex >= 0 ? Removal::MonthAndYear : Removal::MonthOnly;
}

bool LedgerCorrections::deleteMonth(const QString &fileName) const
{
    const QString monthPath = LedgerFiles(m_paths).monthFilePath(fileName);
    if (!QFileInfo(monthPath).isFile())
        return false;
    const QString key = fileName.left(fileName.size() - 4); // "03.2013"
    const QString mm = FieldBefore(key, QStringLiteral("."));
    const QString yyyy = FieldAfter(key, QStringLiteral("."));

    TextList year;
    const QString yearPath = m_paths.resolve(yearLedgerName(yyyy));
    const auto loaded = year.load(yearPath);
    if (loaded == TextList::LoadResult::Failed)
        return false;
    // The year ledger without the month's lines and the month file's removal land together.
    QList<FileWrite> writes;
    if (loaded == TextList::LoadResult::Loaded) {
        QStringList kept;
        for (const QString &line : year.lines()) {
            if (!lineDatedIn(line, mm, yyyy))
                kept.append(line);
        }
        if (kept.size() != year.lines().size())
            writes.append({yearPath, encodeLines(kept, year.encoding())});
    }
    return replaceFilesTogether(writes, {monthPath});
}

} // namespace zorv

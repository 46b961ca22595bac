#include "corrections.h"

#include "store/logging.h"
#include "store/records.h"
#include "store/textlist.h"

#include <QCoreApplication>
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

namespace {

// One ledger read for a change: its lines as read and whether the change touched them.
struct LedgerEdit
{
    QString path;
    TextList lines;
    bool exists = false;
    bool changed = false;
};

bool samePath(const QString &a, const QString &b)
{
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

// The index in `edits` of the ledger at `path`, read now when it was not read yet; -1 when
// it cannot be read.
qsizetype editOf(QList<LedgerEdit> &edits, const QString &path)
{
    for (qsizetype i = 0; i < edits.size(); ++i) {
        if (samePath(edits[i].path, path))
            return i;
    }
    LedgerEdit edit;
    edit.path = path;
    const auto loaded = edit.lines.load(path);
    if (loaded == TextList::LoadResult::Failed)
        return -1;
    edit.exists = loaded == TextList::LoadResult::Loaded;
    edits.append(edit);
    return edits.size() - 1;
}

} // namespace

WriteResult LedgerCorrections::changeEntry(const QString &monthPath, const EntryRow &row,
                                           const QString &yearKey, const QList<LedgerAppend> &appends,
                                           EntryChange &change) const
{
    change = EntryChange();
    const QString monthName = QFileInfo(monthPath).fileName();
    QList<LedgerEdit> edits;
    // The lines are written back only over the ledger they came from: one that has gone
    // (its month deleted) is not made again from lines held before.
    const qsizetype month = QFileInfo(monthPath).isFile() ? editOf(edits, monthPath) : -1;
    if (month < 0 || !edits[month].exists) {
        change.removal = QFileInfo::exists(monthPath) ? Removal::Failed : Removal::Gone;
        if (change.removal == Removal::Gone)
            return WriteResult::failed(
                QCoreApplication::translate("zorv::LedgerCorrections", "%1 não existe mais").arg(monthName));
        qCWarning(lcFinance) << "entry not changed:" << monthPath << "could not be read";
        return WriteResult::failed(
            QCoreApplication::translate("zorv::LedgerCorrections", "%1 não pôde ser lido").arg(monthName));
    }
    const qsizetype index = findMatchingLine(edits[month].lines.lines(), row);
    if (index < 0) {
        change.removal = Removal::Gone;
        change.month = edits[month].lines;
        return WriteResult::failed(
            QCoreApplication::translate("zorv::LedgerCorrections", "o lançamento não está mais em %1")
                .arg(monthName));
    }
    const QString removed = edits[month].lines.lines().takeAt(index);
    edits[month].changed = true;

    const QString yearPath = m_paths.resolve(yearLedgerName(yearKey));
    const qsizetype year = editOf(edits, yearPath);
    if (year < 0) {
        qCWarning(lcFinance) << "entry not changed:" << yearPath << "could not be read";
        return WriteResult::failed(
            QCoreApplication::translate("zorv::LedgerCorrections", "%1 não pôde ser lido")
                .arg(QFileInfo(yearPath).fileName()));
    }
    const qsizetype yearIndex =
        edits[year].exists ? findLineByPrefix(edits[year].lines.lines(), removed) : -1;
    if (yearIndex >= 0) {
        edits[year].lines.lines().removeAt(yearIndex);
        edits[year].changed = true;
    }

    for (const LedgerAppend &append : appends) {
        const QString path = m_paths.resolve(append.ledger);
        const qsizetype target = editOf(edits, path);
        if (target < 0) {
            qCWarning(lcFinance) << "entry not changed:" << path << "could not be read";
            return WriteResult::failed(
                QCoreApplication::translate("zorv::LedgerCorrections", "%1 não pôde ser lido")
                    .arg(QFileInfo(path).fileName()));
        }
        edits[target].lines.lines().append(append.line);
        edits[target].changed = true;
    }

    QList<FileWrite> writes;
    QStringList names;
    for (const LedgerEdit &edit : edits) {
        if (!edit.changed)
            continue;
        writes.append({edit.path, edit.lines.saveBytes()});
        names.append(QFileInfo(edit.path).fileName());
    }
    if (!writeFilesTogether(writes)) {
        qCWarning(lcFinance) << "entry not changed: the ledgers" << names << "could not be written";
        return WriteResult::failed(
            QCoreApplication::translate("zorv::LedgerCorrections", "%1 não pôde ser gravado")
                .arg(names.join(QStringLiteral(", "))));
    }
    change.removal = yearIndex >= 0 ? Removal::MonthAndYear : Removal::MonthOnly;
    change.month = edits[month].lines;
    return WriteResult::done();
}

LedgerCorrections::Removal LedgerCorrections::removeEntry(const QString &monthPath, const EntryRow &row,
                                                          const QString &yearKey, EntryChange *change) const
{
    EntryChange local;
    EntryChange &out = change ? *change : local;
    const WriteResult result = changeEntry(monthPath, row, yearKey, {}, out);
    return result ? out.removal : (out.removal == Removal::Gone ? Removal::Gone : Removal::Failed);
}

WriteResult LedgerCorrections::deleteMonth(const QString &fileName) const
{
    const QString monthPath = LedgerFiles(m_paths).monthFilePath(fileName);
    if (!QFileInfo(monthPath).isFile())
        return WriteResult::failed(
            QCoreApplication::translate("zorv::LedgerCorrections", "%1 não existe mais").arg(fileName));
    const QString key = fileName.left(fileName.size() - 4); // "03.2013"
    const QString mm = FieldBefore(key, QStringLiteral("."));
    const QString yyyy = FieldAfter(key, QStringLiteral("."));

    TextList year;
    const QString yearPath = m_paths.resolve(yearLedgerName(yyyy));
    const auto loaded = year.load(yearPath);
    if (loaded == TextList::LoadResult::Failed) {
        qCWarning(lcFinance).noquote() << "month not deleted: could not read" << yearPath;
        return WriteResult::failed(
            QCoreApplication::translate("zorv::LedgerCorrections", "%1 não pôde ser lido")
                .arg(QFileInfo(yearPath).fileName()));
    }
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

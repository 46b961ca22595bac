#pragma once

#include "finance/ledger.h"
#include "store/textcodec.h"
#include "store/textlist.h"
#include "store/writeresult.h"

#include <QString>
#include <QStringList>

namespace zorv {

// One row of the entry list: the first four fields of a ledger line, as stored.
struct EntryRow
{
    QString amount;
    QString date;
    QString operation;
    QString source;

    bool operator==(const EntryRow &) const = default;
    // "1.234,50 | 05/03/2013 | Exit | Market"
    QString joined() const;
    // "mm.yyyy" and "yyyy" of the row's date ("05/03/2013" gives "03.2013" and "2013").
    QString monthKey() const;
    QString yearKey() const;
};

EntryRow entryRowOf(const QString &line);

// Letters a to z turned to upper case; every other character kept as it is.
QString asciiUpper(QString text);

// True when `text` begins with `filter` once its letters a to z are turned to upper case
// (the filter fields show and keep their text in upper case, so only a to z fold: "ação"
// does not match "AÇÃO"). An empty filter always matches.
bool beginsWithFilter(QStringView text, QStringView filter);

// True when the line's text after "<3>" begins with `filter` as above.
bool sourceBeginsWith(const QString &line, const QString &filter);

// Index of the first line whose four first fields equal the row's; -1 when none.
qsizetype findMatchingLine(const QStringList &lines, const EntryRow &row);

// True when the line's date field lies in month `mm` of year `yyyy`.
bool lineDatedIn(const QString &line, const QString &mm, const QString &yyyy);

// Removal of entries and months, keeping each month ledger and its year ledger in step.
class LedgerCorrections
{
public:
    explicit LedgerCorrections(const Paths &paths)
        : m_paths(paths)
    {}

    enum class Removal {
        Failed,       // nothing changed: a ledger could not be read or written
        Gone,         // nothing changed: the month ledger no longer holds such a line
        MonthOnly,    // the month ledger lost the line; the year ledger had no such line
        MonthAndYear, // both lost one line
    };
    // What a change of one entry did.
    struct EntryChange
    {
        Removal removal = Removal::Failed;
        // The month ledger's lines as the change left them (as read, when nothing changed).
        TextList month;
    };

    // Reads the month ledger at `monthPath` and the year ledger of `yearKey` again now, so
    // that whatever another program wrote into them since they were listed is kept; removes
    // the first month line whose four first fields are the row's and the first year line
    // that begins with it (letter case ignored, from the second line on, then the first);
    // appends each of `appends` to its ledger; and writes every ledger it changed as one
    // group, which lands whole or not at all. A correction is that removal with the
    // corrected line appended, the same bytes as removing it and then saving the new entry.
    // When the month ledger (or the line in it) is no longer there, nothing is written and
    // the removal is Gone.
    WriteResult changeEntry(const QString &monthPath, const EntryRow &row, const QString &yearKey,
                            const QList<LedgerAppend> &appends, EntryChange &change) const;

    // changeEntry without appends: the entry deleted.
    Removal removeEntry(const QString &monthPath, const EntryRow &row, const QString &yearKey,
                        EntryChange *change = nullptr) const;

    // Deletes the month ledger `fileName` ("03.2013.fin") and every year-ledger line dated
    // in that month. False when the month ledger is still there afterwards.
    WriteResult deleteMonth(const QString &fileName) const;

private:
    const Paths &m_paths;
};

} // namespace zorv

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <optional>

namespace zorv {

class Paths;
class ProgramStarter;

// Every report of the program is one HTML page written to this file, replacing the previous one.
inline const QString kReportFile = QStringLiteral("dados\\Relatorio.html");

// One total row under the data rows: a label cell, filler cells holding "|", the value cell.
struct ReportTotal
{
    QString label;
    QString amount; // the text shown, currency symbol included
};

// The data rows of a report, kept as the page's bytes: each cell is escaped and encoded as it
// is added, so a long report holds one buffer rather than a string per cell.
class ReportRows
{
public:
    // One row: for each cell "<td><hr>" and the cell's text, then "</td>".
    void add(std::initializer_list<QStringView> cells);
    void add(const QStringList &cells);
    // From now on the cell at `column` (0-based) of each row keeps its words whole: a word
    // joiner goes between two characters of a word where a punctuation mark would let the
    // browser break it ("Pão-de-açúcar", "\"Cia\"</b>", "03/2013"), so only spaces wrap
    // its lines, whatever the font, and only a word wider than its column is broken (by
    // the page's style). The text shown is the same.
    void keepWordsWholeIn(int column) { m_wholeWordsColumn = column; }

    qsizetype size() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }
    void reserve(qsizetype bytes) { m_markup.reserve(bytes); }
    // The rows' bytes on the page: every row followed by its line end, "</tr>" and its line end.
    const QByteArray &markup() const { return m_markup; }

private:
    QByteArray m_markup;
    qsizetype m_count = 0;
    int m_wholeWordsColumn = -1;
};

// What a report supplies; the rest of the page is the same fixed markup for every report.
struct ReportPage
{
    QString title;                      // the page title and, by default, the centred heading
    std::optional<QString> headingLine; // the centred heading when it differs from the title
    QString tableOpening;               // literal markup; its empty cells fix the column widths
    QString headerRow;                  // literal markup of the column titles
    ReportRows rows;
    QList<ReportTotal> totals;
    int totalFillerCells = 2; // "|" cells between a total's label and its value
    // A drawing shown under the table (markup whose texts are escaped already), or empty.
    // The table is closed before it: otherwise a browser would move it above the table.
    QString chart;
};

// Text for the page: "&", "<", ">" and '"' become entities, so text typed by the user shows
// as text; characters Windows-1252 cannot hold become numeric character references. Text
// free of both comes back unchanged.
QString escapeReportText(QStringView text);

// The page's bytes, Windows-1252, every piece followed by CR LF. Titles, headings, cells,
// total labels and amounts are escaped; the table opening, header row and chart are markup.
// The page is the same byte for byte up to its last total row whether it has a chart or not.
QByteArray renderReport(const ReportPage &page);

// Writes the page over the report file (atomically: a failed write leaves the previous
// report as it was) and hands it to the companion launcher. False when nothing was written;
// then nothing is opened either.
bool publishReport(const ReportPage &page, const Paths &paths, ProgramStarter &programs);

} // namespace zorv

#include "reports/reportwriter.h"

#include "reports/launcher.h"
#include "store/paths.h"
#include "store/textcodec.h"
#include "store/textlist.h"

#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zorv {

namespace {

constexpr char kTotalCell[] = "<td><hr></strong><strong>";

constexpr char kHeadStart[] =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">";

// Readable columns: room around the cells, amounts (the first column) right-aligned in
// figures of one width, dates kept on one line, and rows kept whole across printed pages.
// Words stay whole, as in the bare markup: the columns the table opening fixes grow to
// their longest word. Only the free-text column after them may break a word, and only one
// wider than its room of at least 8em, where it would otherwise push the table past the
// window; its punctuation never breaks a word there, as the rows join its characters (see
// ReportRows::keepWordsWholeIn), so which words wrap does not depend on the fonts.
constexpr char kReportStyle[] =
    "<style>td{padding:2px 8px;vertical-align:top}"
    "td:nth-child(4){overflow-wrap:anywhere;min-width:8em}"
    "td:first-child{text-align:right;font-variant-numeric:tabular-nums;white-space:nowrap}"
    "td:nth-child(2){white-space:nowrap}"
    "@media print{tr{break-inside:avoid;page-break-inside:avoid}}</style>";

// The most bytes one UTF-16 unit can turn into: "&quot;" (6) or "&#65535;" (8).
constexpr qsizetype kMaxBytesPerUnit = 8;

// Makes room for `extra` more bytes, growing geometrically so a long report appends in
// amortised constant time.
void ensureRoom(QByteArray &out, qsizetype extra)
{
    const qsizetype needed = out.size() + extra;
    if (out.capacity() < needed)
        out.reserve(qMax(needed, 2 * out.capacity()));
}

// ASCII characters that go to the page as they are: all but the four markup ones.
constexpr auto kPlainAscii = [] {
    std::array<bool, 0x80> plain{};
    for (int c = 0; c < 0x80; ++c)
        plain[c] = c != '&' && c != '<' && c != '>' && c != '"';
    return plain;
}();

char *writeLiteral(char *dst, const char *text, qsizetype size)
{
    std::memcpy(dst, text, size_t(size));
    return dst + size;
}

// Writes the text escaped, in Windows-1252, at `dst` (room for kMaxBytesPerUnit bytes per
// unit); returns the end. Latin-1 letters are the same byte in Windows-1252; the code page's
// few characters beyond them (the euro sign, dashes, curly quotes) are encoded; anything
// else becomes a numeric character reference.
char *writeEscaped(char *dst, QStringView text)
{
    const char16_t *units = reinterpret_cast<const char16_t *>(text.utf16());
    qsizetype i = 0;
#if defined(__SSE2__)
    // Eight units at a time while they are plain ASCII: narrowed to bytes in one step.
    const __m128i limit = _mm_set1_epi16(0x7F);
    const __m128i amp = _mm_set1_epi16('&'), lt = _mm_set1_epi16('<'), gt = _mm_set1_epi16('>'),
                  quot = _mm_set1_epi16('"');
    for (; i + 8 <= text.size(); i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(units + i));
        // Units above 0x7F (as signed 16-bit values, those above 0x7FFF are negative) and the
        // four markup characters leave the fast path.
        __m128i odd = _mm_or_si128(_mm_cmpgt_epi16(v, limit), _mm_cmplt_epi16(v, _mm_setzero_si128()));
        odd = _mm_or_si128(odd, _mm_or_si128(_mm_cmpeq_epi16(v, amp), _mm_cmpeq_epi16(v, lt)));
        odd = _mm_or_si128(odd, _mm_or_si128(_mm_cmpeq_epi16(v, gt), _mm_cmpeq_epi16(v, quot)));
        if (_mm_movemask_epi8(odd) != 0)
            break;
        _mm_storel_epi64(reinterpret_cast<__m128i *>(dst), _mm_packus_epi16(v, v));
        dst += 8;
    }
#endif
    for (; i < text.size(); ++i) {
        const char16_t u = units[i];
        if (u < 0x80) {
            if (kPlainAscii[u]) {
                *dst++ = char(u);
                continue;
            }
            switch (u) {
            case u'&':
                dst = writeLiteral(dst, "&amp;", 5);
                break;
            case u'<':
                dst = writeLiteral(dst, "&lt;", 4);
                break;
            case u'>':
                dst = writeLiteral(dst, "&gt;", 4);
                break;
            default: // '"'
                dst = writeLiteral(dst, "&quot;", 6);
                break;
            }
            continue;
        }
        if (u >= 0xA0 && u <= 0xFF) {
            *dst++ = char(u);
            continue;
        }
        const QStringView one = text.sliced(i, 1);
        if (fitsWindows1252(one)) {
            *dst++ = encodeWindows1252(one).at(0);
            continue;
        }
        char32_t code = u;
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(u, text[i + 1].unicode());
            ++i;
        }
        const QByteArray reference = "&#" + QByteArray::number(quint32(code)) + ';';
        dst = writeLiteral(dst, reference.constData(), reference.size());
    }
    return dst;
}

void appendEscaped(QByteArray &out, QStringView text)
{
    const qsizetype start = out.size();
    ensureRoom(out, kMaxBytesPerUnit * text.size());
    out.resize(start + kMaxBytesPerUnit * text.size());
    char *end = writeEscaped(out.data() + start, text);
    out.resize(end - out.constData());
}

} // namespace

QString escapeReportText(QStringView text)
{
    QByteArray bytes;
    appendEscaped(bytes, text);
    return decodeWindows1252(bytes);
}

namespace {

// The word joiner, U+2060: no line break on either side of it.
constexpr char kWordJoiner[] = "&#8288;";
constexpr qsizetype kWordJoinerSize = sizeof(kWordJoiner) - 1;

// A character that belongs to a word's letters: letters, digits, combining marks and the
// halves of a character beyond the basic plane.
bool isWordLetter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c.isSurrogate();
}

// writeEscaped, with a word joiner between two characters of a word (no space between them)
// when either is not a letter: the places where a browser may break a line inside a word.
char *writeEscapedWordsWhole(char *dst, QStringView text)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        const QChar here = text[i];
        const QChar next = text[i + 1];
        if (here.isSpace() || next.isSpace() || next.isMark() || (isWordLetter(here) && isWordLetter(next)))
            continue;
        dst = writeEscaped(dst, text.sliced(start, i + 1 - start));
        dst = writeLiteral(dst, kWordJoiner, kWordJoinerSize);
        start = i + 1;
    }
    return writeEscaped(dst, text.sliced(start));
}

template<typename Cells> void appendRow(QByteArray &out, const Cells &cells, int wholeWordsColumn)
{
    static constexpr char kCell[] = "<td><hr>";
    static constexpr char kRowEnd[] = "</td>\r\n</tr>\r\n";
    constexpr qsizetype cellSize = sizeof(kCell) - 1;
    constexpr qsizetype rowEndSize = sizeof(kRowEnd) - 1;
    qsizetype room = rowEndSize;
    for (const auto &cell : cells)
        room += cellSize + (kMaxBytesPerUnit + kWordJoinerSize) * cell.size();
    const qsizetype start = out.size();
    ensureRoom(out, room);
    out.resize(start + room);
    char *dst = out.data() + start;
    int column = 0;
    for (const auto &cell : cells) {
        dst = writeLiteral(dst, kCell, cellSize);
        dst = column++ == wholeWordsColumn ? writeEscapedWordsWhole(dst, cell) : writeEscaped(dst, cell);
    }
    dst = writeLiteral(dst, kRowEnd, rowEndSize);
    out.resize(dst - out.constData());
}

} // namespace

void ReportRows::add(std::initializer_list<QStringView> cells)
{
    appendRow(m_markup, cells, m_wholeWordsColumn);
    ++m_count;
}

void ReportRows::add(const QStringList &cells)
{
    appendRow(m_markup, cells, m_wholeWordsColumn);
    ++m_count;
}

QByteArray renderReport(const ReportPage &page)
{
    QByteArray out;
    out.reserve(page.rows.markup().size() + page.tableOpening.size() + page.headerRow.size() +
                2 * (page.title.size() + page.headingLine.value_or(QString()).size()) + 640 +
                192 * page.totals.size() + page.chart.size() + 16);

    // Each piece of the page is followed by a line end, like a line written to a text file.
    auto endPiece = [&out] { out += "\r\n"; };
    auto piece = [&](const char *text) {
        out += text;
        endPiece();
    };

    // The head, the title and the table opening are one piece. The page declares its
    // character set first thing, so a browser never guesses it from the content.
    out += kHeadStart;
    out += "\r\n<title>";
    appendEscaped(out, page.title);
    out += "</title>\r\n";
    out += kReportStyle;
    out += "\r\n</head>\r\n\r\n";
    out += encodeWindows1252(page.tableOpening);
    endPiece();
    piece("\r\n"); // a line end written as a piece of its own: two in a row
    piece("</p>");
    out += "<div align=\"center\">";
    appendEscaped(out, page.headingLine.value_or(page.title));
    endPiece();
    piece("</tr>");
    piece("<p>");
    piece("</tr>");
    out += encodeWindows1252(page.headerRow);
    endPiece();
    piece("</tr>");

    // Each data row, then "</tr>".
    out += page.rows.markup();

    for (const ReportTotal &total : page.totals) {
        out += kTotalCell;
        appendEscaped(out, total.label);
        for (int i = 0; i < page.totalFillerCells; ++i) {
            out += kTotalCell;
            out += '|';
        }
        out += kTotalCell;
        appendEscaped(out, total.amount);
        piece("</strong></td>");
        piece("</tr>");
    }

    if (!page.chart.isEmpty()) {
        piece("</table>");
        out += encodeWindows1252(page.chart);
        endPiece();
    }

    piece("</body></html>");
    return out;
}

bool publishReport(const ReportPage &page, const Paths &paths, ProgramStarter &programs)
{
    const QString path = paths.resolve(kReportFile);
    if (!writeFileAtomically(path, renderReport(page)))
        return false;
    OpenThroughLauncher(paths, programs, path);
    return true;
}

} // namespace zorv

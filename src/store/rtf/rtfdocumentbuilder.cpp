#include "rtfdocumentbuilder.h"

#include "rtfreader.h"
#include "rtftokenizer.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>

namespace zorv::rtf {

namespace {

constexpr int kTwipsPerPixel = 15; // 1440 twips an inch, 96 pixels an inch
constexpr int kMaxColumns = 64;    // further cells of a row go into its last one
// Each table Qt inserts makes it walk the whole document once more; tables stop being made
// (their cells become paragraphs) once those walks would pass this many fragments in all.
constexpr qint64 kTableWalkBudget = 8'000'000;
// Each paragraph Qt adds to a list makes it walk every paragraph of that list once more, so
// one list of n items costs about n * n / 2 steps. Bullet lists are therefore made of
// lists of at most kListChunk items (consecutive lists of one bullet style look and save
// exactly as one); numbered lists stay whole, so their numbering runs on, until the walks of
// all of them would pass kNumberedListBudget, and are cut into chunks after that.
constexpr int kListChunk = 16;
constexpr qint64 kNumberedListBudget = 2'000'000;

bool isHighSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(char32_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

void setLineHeight(QTextBlockFormat &f, const ParaProps &p)
{
    if (p.sl == 0)
        return;
    if (p.slmult)
        f.setLineHeight(std::clamp(std::abs(p.sl) * 100.0 / 240.0, 1.0, 1000.0),
                        QTextBlockFormat::ProportionalHeight);
    else if (p.sl > 0)
        f.setLineHeight(p.sl / double(kTwipsPerPixel), QTextBlockFormat::MinimumHeight);
    else
        f.setLineHeight(-double(p.sl) / kTwipsPerPixel, QTextBlockFormat::FixedHeight);
}

QTextBlockFormat blockFormat(const ParaProps &p)
{
    QTextBlockFormat f;
    static constexpr Qt::Alignment aligns[] = {Qt::Alignment(), Qt::AlignHCenter, Qt::AlignRight,
                                               Qt::AlignJustify};
    if (p.align >= 1 && p.align <= 3)
        f.setAlignment(aligns[p.align]);
    if (p.li)
        f.setLeftMargin(double(p.li) / kTwipsPerPixel);
    if (p.ri)
        f.setRightMargin(double(p.ri) / kTwipsPerPixel);
    if (p.fi)
        f.setTextIndent(double(p.fi) / kTwipsPerPixel);
    if (p.sb)
        f.setTopMargin(double(p.sb) / kTwipsPerPixel);
    if (p.sa)
        f.setBottomMargin(double(p.sa) / kTwipsPerPixel);
    setLineHeight(f, p);
    if (!p.tabs.isEmpty()) {
        QList<QTextOption::Tab> tabs;
        tabs.reserve(p.tabs.size());
        for (int t : p.tabs)
            tabs.append(QTextOption::Tab(double(t) / kTwipsPerPixel, QTextOption::LeftTab));
        f.setTabPositions(tabs);
    }
    if (p.rtl)
        f.setLayoutDirection(Qt::RightToLeft);
    return f;
}

} // namespace

DocumentBuilder::DocumentBuilder(QTextDocument &doc, const std::vector<GroupState> &groups,
                                 const DocumentTables &tables, const Tokenizer &tokens,
                                 std::vector<qsizetype> rowWords)
    : m_doc(doc)
    , m_cursor(&doc)
    , m_groups(groups)
    , m_tables(tables)
    , m_tokens(tokens)
    , m_imageCounter(doc.property("zorvImageCount").toInt())
    , m_rowWords(std::move(rowWords))
{}

QTextCharFormat DocumentBuilder::paragraphCharFormat() const
{
    CharProps props = group().chr;
    props.link = -1; // typing into the paragraph makes no link
    return m_tables.charFormat(props);
}

void DocumentBuilder::flushBytes()
{
    if (m_pendingBytes.isEmpty())
        return;
    const QString text = m_decoders.decode(m_pendingCp, m_pendingBytes);
    m_pendingBytes.clear();
    for (QChar c : text) {
        if (c.unicode() != 0)
            m_run.append(c);
    }
}

void DocumentBuilder::flushRun()
{
    flushBytes();
    if (m_highSurrogate) {
        m_highSurrogate = 0;
        m_run.append(QChar(0xFFFD));
    }
    if (m_run.isEmpty())
        return;
    for (const QChar c : std::as_const(m_run)) {
        if (c.isSpace())
            m_word = 0;
        else if (++m_word > m_longestWord)
            m_longestWord = m_word;
    }
    m_cursor.insertText(m_run, m_tables.charFormat(m_runProps));
    ++m_fragments;
    m_run.clear();
}

// The run being gathered ends where the character format changes.
void DocumentBuilder::useRunFormat()
{
    if (!(m_runProps == group().chr)) {
        flushRun();
        m_runProps = group().chr;
    }
}

bool DocumentBuilder::needsContentStart() const
{
    return !m_blockOpen || m_needBlock || (m_table && !m_inCell) || (group().para.inTable && !m_inCell);
}

// Makes sure the cursor sits where content of the current paragraph goes: a new block
// after a paragraph end, the right table cell, or out of a table.
void DocumentBuilder::beginContent()
{
    const ParaProps &para = group().para;
    if (m_table && !para.inTable && !m_inCell) {
        // Content outside the table: go on after it.
        flushRun();
        closeTable();
        m_needBlock = false;
        m_blockOpen = false;
    }
    if (para.inTable && !m_inCell && (m_table || mayStartTable()))
        startTableRow();
    if (m_inCell && m_cellPending)
        startPendingCell();
    if (m_needBlock) {
        flushRun();
        // The paragraph carries the character format in effect where it starts: text typed
        // into it while it is empty takes that format, not the editor's fallback.
        m_cursor.insertBlock(QTextBlockFormat(), paragraphCharFormat());
        ++m_fragments;
        m_needBlock = false;
        m_word = 0;
    }
    m_blockOpen = true;
}

// Content of a table paragraph outside any cell: the first row of a new table, or the
// table's next row.
void DocumentBuilder::startTableRow()
{
    flushRun();
    if (!m_table) {
        // The table goes after the paragraph just ended (Qt keeps a block before it).
        m_needBlock = false;
        QTextTableFormat tf;
        tf.setBorder(1);
        tf.setCellPadding(2);
        tf.setCellSpacing(0);
        const int columns = std::clamp(m_cellxCount, 1, kMaxColumns);
        m_table = m_cursor.insertTable(1, columns, tf);
        m_fragments += columns;
        m_row = 0;
    } else if (++m_row >= m_table->rows()) {
        // Rows are added in ever larger batches and the spare ones removed when the table
        // ends: Qt redoes its cell list on each change, so one row at a time would make long
        // tables quadratic. Removing spare rows costs their number times the table's size
        // as well, so a batch is never larger than the rows the rest of the input can still
        // end (its "\row" words).
        const qint64 rowsLeft =
            1 + qint64(m_rowWords.cend() -
                       std::upper_bound(m_rowWords.cbegin(), m_rowWords.cend(), m_tokens.position()));
        const int more = int(std::clamp<qint64>(m_table->rows(), 1, rowsLeft));
        m_table->appendRows(more);
        m_fragments += qint64(more) * m_table->columns();
    }
    m_col = 0;
    m_cursor = m_table->cellAt(m_row, 0).firstCursorPosition();
    m_inCell = true;
    m_cellPending = false;
    m_needBlock = false;
    m_list = nullptr;
}

// The next cell of the row, made when its first content arrives.
void DocumentBuilder::startPendingCell()
{
    flushRun();
    if (m_table->columns() <= m_col)
        m_table->appendColumns(m_col + 1 - m_table->columns());
    m_cursor = m_table->cellAt(m_row, m_col).firstCursorPosition();
    m_cellPending = false;
    m_needBlock = false;
}

bool DocumentBuilder::mayGrowList()
{
    const bool bullets =
        m_listStyle >= int(QTextListFormat::ListSquare) && m_listStyle <= int(QTextListFormat::ListDisc);
    if (bullets || m_listWalks + m_listItems > kNumberedListBudget)
        return m_listItems < kListChunk;
    m_listWalks += m_listItems;
    return true;
}

bool DocumentBuilder::mayStartTable()
{
    if (!m_flatTables && m_tableWalks + m_fragments <= kTableWalkBudget) {
        m_tableWalks += m_fragments;
        return true;
    }
    m_flatTables = true;
    return false;
}

// Ends the table being read: its spare rows go and the cursor moves on after it.
void DocumentBuilder::closeTable()
{
    if (!m_table)
        return;
    const int spare = m_table->rows() - (m_row + 1);
    if (spare > 0)
        m_table->removeRows(m_row + 1, spare);
    m_cursor = m_table->lastCursorPosition();
    m_cursor.movePosition(QTextCursor::NextBlock);
    m_table = nullptr;
    m_inCell = false;
    m_cellPending = false;
}

void DocumentBuilder::applyBlockFormat()
{
    const ParaProps &p = group().para;
    m_cursor.setBlockFormat(blockFormat(p));
    QTextBlock block = m_cursor.block();
    if (QTextList *in = block.textList())
        in->remove(block);
    joinList(p);
}

// The paragraph just formatted joins the list before it, starts a list, or is in none.
void DocumentBuilder::joinList(const ParaProps &p)
{
    if (p.listStyle == 0 || m_inCell) {
        m_list = nullptr;
        return;
    }
    if (m_list && m_listStyle == p.listStyle && mayGrowList()) {
        m_list->add(m_cursor.block());
        ++m_listItems;
        return;
    }
    QTextListFormat lf;
    lf.setStyle(QTextListFormat::Style(p.listStyle));
    lf.setIndent(1);
    m_list = m_cursor.createList(lf);
    m_listStyle = p.listStyle;
    m_listItems = 1;
}

void DocumentBuilder::endParagraph()
{
    m_lastImageSource.clear();
    beginContent();
    flushRun();
    if (m_cursor.block().length() == 1)
        m_cursor.setBlockCharFormat(paragraphCharFormat()); // an empty paragraph
    applyBlockFormat();
    m_needBlock = true;
    m_blockOpen = false;
}

void DocumentBuilder::cellEnd()
{
    beginContent();
    flushRun();
    applyBlockFormat();
    m_list = nullptr;
    m_blockOpen = false;
    if (!m_table) {
        // Tables are no longer made: the cell is a paragraph.
        m_needBlock = true;
        return;
    }
    if (m_col + 1 >= kMaxColumns) {
        // No more columns: what follows stays in this cell as its next paragraph.
        m_needBlock = true;
        return;
    }
    ++m_col;
    m_cellPending = true;
    m_needBlock = false;
}

void DocumentBuilder::rowEnd()
{
    if (!m_table)
        return;
    flushRun();
    m_inCell = false;
    m_cellPending = false;
    m_needBlock = false;
    m_blockOpen = false;
    // Where content goes next (the next row, or after the table) is decided when it comes.
    m_col = 0;
}

void DocumentBuilder::insertImage(const QImage &image, QSize size, QByteArrayView source)
{
    beginContent();
    flushRun();
    const int n = ++m_imageCounter;
    m_doc.setProperty("zorvImageCount", n);
    const QString name = QStringLiteral("%1:%2").arg(QLatin1String(kImageScheme)).arg(n);
    m_doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat f;
    static_cast<QTextCharFormat &>(f) = m_tables.charFormat(group().chr);
    f.setObjectType(QTextFormat::ImageObject);
    f.setName(name);
    f.setWidth(size.width());
    f.setHeight(size.height());
    m_cursor.insertImage(f);
    ++m_fragments;
    if (!source.isEmpty()) {
        m_lastImageSource = QStringLiteral("%1:%2").arg(QLatin1String(kSourceScheme)).arg(n);
        m_doc.addResource(QTextDocument::UserResource, QUrl(m_lastImageSource), source.toByteArray());
    } else {
        m_lastImageSource.clear();
    }
}

void DocumentBuilder::appendAlternativeSource(QByteArrayView bytes)
{
    if (m_lastImageSource.isEmpty())
        return;
    const QUrl url(m_lastImageSource);
    QByteArray source = m_doc.resource(QTextDocument::UserResource, url).toByteArray();
    source.append(bytes);
    m_doc.addResource(QTextDocument::UserResource, url, source);
    m_lastImageSource.clear(); // one alternative per picture
}

void DocumentBuilder::appendBytes(QByteArrayView bytes)
{
    if (needsContentStart())
        beginContent();
    if (m_highSurrogate) {
        flushBytes();
        m_highSurrogate = 0;
        m_run.append(QChar(0xFFFD));
    }
    useRunFormat();
    const int cp = m_tables.codePage(group().chr.font);
    if (cp != m_pendingCp) {
        flushBytes();
        m_pendingCp = cp;
    }
    m_lastImageSource.clear();
    m_pendingBytes.append(bytes);
}

void DocumentBuilder::appendText(QStringView text)
{
    if (needsContentStart())
        beginContent();
    useRunFormat();
    flushBytes();
    if (m_highSurrogate) {
        m_highSurrogate = 0;
        m_run.append(QChar(0xFFFD));
    }
    m_lastImageSource.clear();
    m_run.append(text);
}

// A high surrogate waits for its low half from the next \uN (appendUnicode joins them);
// anything else in between turns it into U+FFFD, as does a low half on its own.
void DocumentBuilder::appendChar(char32_t c)
{
    if (c == 0)
        return;
    if (isHighSurrogate(c)) {
        if (!m_blockOpen || m_needBlock)
            beginContent();
        useRunFormat();
        flushBytes();
        m_highSurrogate = char16_t(c);
        return;
    }
    if (isLowSurrogate(c))
        c = 0xFFFD;
    const QChar ch(char16_t(c & 0xFFFF));
    appendText(QStringView(&ch, 1));
}

void DocumentBuilder::appendUnicode(char32_t c)
{
    if (m_highSurrogate && isLowSurrogate(c)) {
        const QChar pair[2] = {QChar(m_highSurrogate), QChar(char16_t(c))};
        m_highSurrogate = 0;
        m_run.append(pair, 2);
    } else {
        appendChar(c);
    }
}

void DocumentBuilder::finish()
{
    if (m_blockOpen && !m_needBlock) {
        flushRun();
        applyBlockFormat();
    } else {
        flushRun();
    }
    closeTable();
}

} // namespace zorv::rtf

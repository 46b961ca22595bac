#include "rtfreader.h"

#include "textcodec.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace zorv {

namespace {

constexpr int kMaxDepth = 256;      // deeper braces are only counted
constexpr int kMaxWordLength = 32;  // longer control words are consumed and cut
constexpr int kMaxParamDigits = 10; // longer parameters are consumed and clamped
constexpr int kTwipsPerPixel = 15;  // 1440 twips an inch, 96 pixels an inch
constexpr int kMaxImageSide = 4000; // pixels a picture is ever drawn at
constexpr int kMaxColumns = 64;     // further cells of a row go into its last one
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

// What the text of a group is for.
enum class Dest : quint8 {
    Text,       // document text
    Skip,       // ignored; only braces and \bin are followed
    FontTable,  // font entries: \fN, \fcharsetN, name up to ';'
    ColorTable, // \red \green \blue up to ';'
    Pict,       // picture data
    FieldInst,  // a field's instruction
    Pn,         // old-style list numbering: control words only
    Object,     // an embedded object: only its \result is read
};

enum class PictKind : quint8 { Unknown, Png, Jpeg, Dib, Wbitmap, Wmf, Emf, Mac };

struct CharProps
{
    int font = -1; // -1: the default font (\deff)
    int halfPoints = 0;
    int fg = 0; // index into the colour table; 0 = no colour
    int bg = 0;
    int link = -1; // index of the hyperlink field whose result this is
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    quint8 vertical = 0; // 1 superscript, 2 subscript
    bool operator==(const CharProps &) const = default;
};

struct ParaProps
{
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0, sl = 0;
    QList<int> tabs;  // twips
    quint8 align = 0; // 0 left, 1 centre, 2 right, 3 justified
    bool slmult = false;
    bool rtl = false;
    bool inTable = false;
    // Old-style list numbering of the paragraph: a QTextListFormat::Style, 0 for none.
    int listStyle = 0;
};

struct State
{
    CharProps chr;
    ParaProps para;
    Dest dest = Dest::Text;
    int uc = 1;              // fallback units after \uN
    int field = -1;          // the field this group belongs to
    bool starred = false;    // "{\*" seen: an unknown destination word skips the group
    bool firstWord = true;   // no control word or text seen yet in this group
    bool imageOuter = false; // this group holds a picture and its source is kept
    bool nonShpPict = false; // an alternative picture that follows the kept one
    qsizetype start = 0;     // offset of the group's '{'
};

struct FontEntry
{
    QString name;
    int charset = 0;
    int codePage = 0; // from \cpg, 0: from the charset
};

struct FieldRecord
{
    QString instruction;
    QString href;          // set when the instruction is a HYPERLINK
    bool resolved = false; // href worked out from the instruction
    Dest resultDest = Dest::Text;
};

struct PictData
{
    PictKind kind = PictKind::Unknown;
    int picw = 0, pich = 0, goalW = 0, goalH = 0, scaleX = 100, scaleY = 100;
    QByteArray data;
    int nibble = -1;
};

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int codePageOfCharset(int charset)
{
    switch (charset) {
    case 2:
        return 42; // symbol: U+F000 + byte
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0; // ANSI and default: the document's code page
    }
}

const char *converterName(int codePage)
{
    switch (codePage) {
    case 874:
        return "windows-874";
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 1250:
        return "windows-1250";
    case 1251:
        return "windows-1251";
    case 1253:
        return "windows-1253";
    case 1254:
        return "windows-1254";
    case 1255:
        return "windows-1255";
    case 1256:
        return "windows-1256";
    case 1257:
        return "windows-1257";
    case 1258:
        return "windows-1258";
    case 10000:
        return "macintosh";
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    default:
        return nullptr;
    }
}

// Decodes byte runs by code page; unknown pages and 1252 use the exact Windows-1252 table.
class PageDecoders
{
public:
    QString decode(int codePage, QByteArrayView bytes)
    {
        if (codePage == 42) {
            QString s(bytes.size(), Qt::Uninitialized);
            for (qsizetype i = 0; i < bytes.size(); ++i)
                s[i] = QChar(char16_t(0xF000 + quint8(bytes[i])));
            return s;
        }
        if (codePage == 1252)
            return decodeWindows1252(bytes);
        auto it = m_decoders.find(codePage);
        if (it == m_decoders.end()) {
            std::optional<QStringDecoder> decoder;
            if (const char *name = converterName(codePage)) {
                QStringDecoder d(name, QStringConverter::Flag::Stateless);
                if (d.isValid())
                    decoder.emplace(std::move(d));
            }
            // EUC-KR where the wider Korean page is not known.
            if (!decoder && codePage == 949) {
                QStringDecoder d("EUC-KR", QStringConverter::Flag::Stateless);
                if (d.isValid())
                    decoder.emplace(std::move(d));
            }
            it = m_decoders.emplace(codePage, std::move(decoder)).first;
        }
        if (!it->second)
            return decodeWindows1252(bytes);
        return it->second->decode(bytes);
    }

private:
    std::map<int, std::optional<QStringDecoder>> m_decoders;
};

// The image a picture group draws: the picture itself when it can be decoded, else an
// empty box. Boxes are drawn small and scaled, so a declared size never becomes memory.
QImage decodePicture(const PictData &pict)
{
    QImage image;
    switch (pict.kind) {
    case PictKind::Png:
        image = QImage::fromData(pict.data, "PNG");
        break;
    case PictKind::Jpeg:
        image = QImage::fromData(pict.data, "JPEG");
        break;
    case PictKind::Dib: {
        // A device-independent bitmap without its file header: put one in front.
        const QByteArray &d = pict.data;
        if (d.size() >= 40) {
            auto u32 = [&d](int at) {
                return quint32(quint8(d[at])) | quint32(quint8(d[at + 1])) << 8 |
                       quint32(quint8(d[at + 2])) << 16 | quint32(quint8(d[at + 3])) << 24;
            };
            const quint32 headerSize = u32(0);
            const quint16 bitCount = quint16(quint8(d[14]) | quint8(d[15]) << 8);
            const quint32 compression = u32(16);
            quint32 colours = u32(32);
            if (colours == 0 && bitCount <= 8)
                colours = 1u << bitCount;
            quint64 offset = 14 + quint64(headerSize) + quint64(colours) * 4;
            if (compression == 3 && headerSize == 40)
                offset += 12;
            if (headerSize >= 12 && offset <= quint64(d.size()) + 14) {
                QByteArray file("BM");
                const quint32 total = quint32(14 + d.size());
                for (quint32 v : {total, 0u, quint32(offset)})
                    for (int b = 0; b < 4; ++b)
                        file.append(char((v >> (8 * b)) & 0xFF));
                file.append(d);
                image = QImage::fromData(file, "BMP");
            }
        }
        break;
    }
    default:
        break;
    }
    return image;
}

QSize displaySize(const PictData &pict, const QImage &image)
{
    int w = 0, h = 0;
    if (pict.goalW > 0 && pict.goalH > 0) {
        w = int(qint64(pict.goalW) * pict.scaleX / 100 / kTwipsPerPixel);
        h = int(qint64(pict.goalH) * pict.scaleY / 100 / kTwipsPerPixel);
    } else if (!image.isNull()) {
        w = image.width() * pict.scaleX / 100;
        h = image.height() * pict.scaleY / 100;
    } else {
        w = h = 32;
    }
    return QSize(std::clamp(w, 1, kMaxImageSide), std::clamp(h, 1, kMaxImageSide));
}

QImage boxImage()
{
    QImage box(32, 32, QImage::Format_ARGB32_Premultiplied);
    box.fill(Qt::transparent);
    QPainter p(&box);
    p.setPen(QColor(128, 128, 128));
    p.drawRect(0, 0, 31, 31);
    return box;
}

// The href of a HYPERLINK field instruction, or an empty text for other fields.
QString hyperlinkTarget(const QString &instruction)
{
    const QString inst = instruction.trimmed();
    if (!inst.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return {};
    QStringView rest = QStringView(inst).mid(9);
    bool bookmark = false;
    QString target;
    qsizetype i = 0;
    while (i < rest.size()) {
        const QChar c = rest[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == u'\\' && i + 1 < rest.size()) {
            const QChar sw = rest[i + 1];
            i += 2;
            if (sw == u'l') {
                bookmark = true;
                continue;
            }
            // Switches with an argument (\o tooltip, \t target frame): skip the argument.
            if (sw == u'o' || sw == u't' || sw == u'm') {
                while (i < rest.size() && rest[i].isSpace())
                    ++i;
                if (i < rest.size() && rest[i] == u'"') {
                    const qsizetype end = rest.indexOf(u'"', i + 1);
                    i = end < 0 ? rest.size() : end + 1;
                } else {
                    while (i < rest.size() && !rest[i].isSpace())
                        ++i;
                }
            }
            continue;
        }
        if (!target.isEmpty())
            break;
        if (c == u'"') {
            const qsizetype end = rest.indexOf(u'"', i + 1);
            target = (end < 0 ? rest.mid(i + 1) : rest.sliced(i + 1, end - i - 1)).toString();
            i = end < 0 ? rest.size() : end + 1;
            if (target.isEmpty())
                target = QStringLiteral(" ");
        } else {
            const qsizetype start = i;
            while (i < rest.size() && !rest[i].isSpace())
                ++i;
            target = rest.sliced(start, i - start).toString();
        }
    }
    target = target.trimmed();
    if (target.isEmpty())
        return {};
    return bookmark ? QLatin1Char('#') + target : target;
}

class Reader
{
public:
    Reader(QByteArrayView bytes, QTextDocument &doc)
        : m_in(bytes)
        , m_doc(doc)
        , m_cursor(&doc)
    {
        m_stack.reserve(64);
        m_stack.push_back(State{});
        m_imageCounter = doc.property("zorvImageCount").toInt();
    }

    void run();

private:
    State &st() { return m_stack.back(); }

    // Text and structure.
    void appendBytes(QByteArrayView bytes);
    void appendChar(char32_t c);
    void appendText(QStringView text);
    void flushBytes();
    void flushRun();
    void beginContent();
    void endParagraph();
    void cellEnd();
    void rowEnd();
    void applyBlockFormat();
    bool mayStartTable();
    // Whether the next paragraph of m_list's style may join m_list rather than start a new
    // list (see kListChunk).
    bool mayGrowList();
    void closeTable();
    void insertImage(const QImage &image, QSize size, QByteArrayView source);

    // Parsing.
    void openGroup(qsizetype at);
    void closeGroup(qsizetype at);
    void controlWord(QByteArrayView word, bool hasParam, int param);
    void controlSymbol(char c);
    void destinationText(char c);
    void unicodeChar(int n);
    bool takeFallback();

    int codePage() const;
    QTextCharFormat charFormat(const CharProps &p) const;
    // The current character format as a paragraph's own (what is typed into it when empty).
    QTextCharFormat paragraphCharFormat() const;
    void enterDest(Dest d) { st().dest = d; }

    QByteArrayView m_in;
    qsizetype m_pos = 0;
    QTextDocument &m_doc;
    QTextCursor m_cursor;
    std::vector<State> m_stack;
    int m_overflow = 0;     // braces opened beyond kMaxDepth
    bool m_closing = false; // the input has ended: every open group closes

    int m_ansiCp = 1252;
    int m_defaultFont = 0;
    QHash<int, FontEntry> m_fonts;
    int m_fontEntry = -1; // font being defined in the font table
    QString m_fontName;
    QList<QColor> m_colors; // index 0 may be invalid (auto)
    int m_red = -1, m_green = -1, m_blue = -1;

    std::vector<FieldRecord> m_fields;
    PictData m_pict;
    std::optional<QImage> m_pictImage;
    QSize m_pictSize;
    bool m_havePict = false;
    int m_imageCounter = 0;
    QString m_lastImageSource; // name of the source resource of the image just inserted

    PageDecoders m_decoders;
    QByteArray m_pendingBytes;
    int m_pendingCp = 0;
    QString m_run;
    CharProps m_runProps;
    char16_t m_highSurrogate = 0;
    int m_fallbackLeft = 0; // units still to skip after a \uN

    // Block structure.
    bool m_needBlock = false;    // the next content starts a new paragraph
    bool m_blockOpen = false;    // the current block has content or was started
    ParaProps m_blockProps;      // the props of the paragraph being read
    QTextList *m_list = nullptr; // the list the previous paragraph joined
    int m_listStyle = 0;
    int m_listItems = 0;        // paragraphs in m_list
    qint64 m_listWalks = 0;     // paragraphs walked for the numbered lists made so far
    QTextTable *m_table = nullptr;
    int m_row = -1, m_col = 0;
    bool m_inCell = false;
    bool m_cellPending = false; // a \cell ended; the next cell starts with its content
    qint64 m_fragments = 0;     // pieces inserted so far, about the fragments Qt walks
    qint64 m_tableWalks = 0;    // fragments walked for the tables inserted
    bool m_flatTables = false;  // the budget is spent: table cells are paragraphs
    int m_cellxCount = 0;
    std::vector<qsizetype> m_rowWords; // where each "\row" word of the input ends, in order
};

int Reader::codePage() const
{
    const int index = m_stack.back().chr.font;
    auto f = m_fonts.constFind(index >= 0 ? index : m_defaultFont);
    if (f == m_fonts.cend())
        f = m_fonts.constFind(m_defaultFont);
    if (f == m_fonts.cend())
        return m_ansiCp;
    const int cp = f->codePage > 0 ? f->codePage : codePageOfCharset(f->charset);
    return cp > 0 ? cp : m_ansiCp;
}

QTextCharFormat Reader::paragraphCharFormat() const
{
    CharProps props = m_stack.back().chr;
    props.link = -1; // typing into the paragraph makes no link
    return charFormat(props);
}

QTextCharFormat Reader::charFormat(const CharProps &p) const
{
    QTextCharFormat f;
    const int fontIndex = p.font >= 0 ? p.font : m_defaultFont;
    auto font = m_fonts.constFind(fontIndex);
    if (font == m_fonts.cend() && p.font >= 0)
        font = m_fonts.constFind(m_defaultFont);
    if (font != m_fonts.cend() && !font->name.isEmpty()) {
        f.setFontFamilies(QStringList{font->name});
        if (font->charset == 2)
            f.setProperty(rtf::kSymbolFontProperty, true);
    }
    if (p.halfPoints > 0)
        f.setFontPointSize(std::clamp(p.halfPoints, 2, 3276) / 2.0);
    if (p.bold)
        f.setFontWeight(QFont::Bold);
    if (p.italic)
        f.setFontItalic(true);
    if (p.underline)
        f.setFontUnderline(true);
    if (p.strike)
        f.setFontStrikeOut(true);
    if (p.vertical == 1)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (p.vertical == 2)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (p.fg > 0 && p.fg < m_colors.size() && m_colors[p.fg].isValid())
        f.setForeground(m_colors[p.fg]);
    if (p.bg > 0 && p.bg < m_colors.size() && m_colors[p.bg].isValid())
        f.setBackground(m_colors[p.bg]);
    if (p.link >= 0 && size_t(p.link) < m_fields.size() && !m_fields[p.link].href.isEmpty()) {
        f.setAnchor(true);
        f.setAnchorHref(m_fields[p.link].href);
    }
    return f;
}

void Reader::flushBytes()
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

void Reader::flushRun()
{
    flushBytes();
    if (m_highSurrogate) {
        m_highSurrogate = 0;
        m_run.append(QChar(0xFFFD));
    }
    if (m_run.isEmpty())
        return;
    m_cursor.insertText(m_run, charFormat(m_runProps));
    ++m_fragments;
    m_run.clear();
}

// Makes sure the cursor sits where content of the current paragraph goes: a new block
// after a paragraph end, the right table cell, or out of a table.
void Reader::beginContent()
{
    const ParaProps &para = st().para;
    if (m_table && !para.inTable && !m_inCell) {
        // Content outside the table: go on after it.
        flushRun();
        closeTable();
        m_needBlock = false;
        m_blockOpen = false;
    }
    if (para.inTable && !m_inCell && (m_table || mayStartTable())) {
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
        } else {
            ++m_row;
            if (m_row >= m_table->rows()) {
                // Rows are added in ever larger batches and the spare ones removed when the
                // table ends: Qt redoes its cell list on each change, so one row at a time
                // would make long tables quadratic. Removing spare rows costs their number
                // times the table's size as well, so a batch is never larger than the rows
                // the rest of the input can still end (its "\row" words).
                const qint64 rowsLeft = 1 + qint64(m_rowWords.cend() - std::upper_bound(m_rowWords.cbegin(),
                                                                                        m_rowWords.cend(), m_pos));
                const int more = int(std::clamp<qint64>(m_table->rows(), 1, rowsLeft));
                m_table->appendRows(more);
                m_fragments += qint64(more) * m_table->columns();
            }
        }
        m_col = 0;
        m_cursor = m_table->cellAt(m_row, 0).firstCursorPosition();
        m_inCell = true;
        m_cellPending = false;
        m_needBlock = false;
        m_list = nullptr;
    }
    if (m_inCell && m_cellPending) {
        // The next cell of the row, made when its first content arrives.
        flushRun();
        if (m_table->columns() <= m_col)
            m_table->appendColumns(m_col + 1 - m_table->columns());
        m_cursor = m_table->cellAt(m_row, m_col).firstCursorPosition();
        m_cellPending = false;
        m_needBlock = false;
    }
    if (m_needBlock) {
        flushRun();
        // The paragraph carries the character format in effect where it starts: text typed
        // into it while it is empty takes that format, not the editor's fallback.
        m_cursor.insertBlock(QTextBlockFormat(), paragraphCharFormat());
        ++m_fragments;
        m_needBlock = false;
    }
    m_blockOpen = true;
}

bool Reader::mayGrowList()
{
    const bool bullets = m_listStyle >= int(QTextListFormat::ListSquare) &&
                         m_listStyle <= int(QTextListFormat::ListDisc);
    if (bullets || m_listWalks + m_listItems > kNumberedListBudget)
        return m_listItems < kListChunk;
    m_listWalks += m_listItems;
    return true;
}

bool Reader::mayStartTable()
{
    if (!m_flatTables && m_tableWalks + m_fragments <= kTableWalkBudget) {
        m_tableWalks += m_fragments;
        return true;
    }
    m_flatTables = true;
    return false;
}

// Ends the table being read: its spare rows go and the cursor moves on after it.
void Reader::closeTable()
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

void Reader::applyBlockFormat()
{
    const ParaProps &p = st().para;
    QTextBlockFormat f;
    switch (p.align) {
    case 1:
        f.setAlignment(Qt::AlignHCenter);
        break;
    case 2:
        f.setAlignment(Qt::AlignRight);
        break;
    case 3:
        f.setAlignment(Qt::AlignJustify);
        break;
    default:
        break;
    }
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
    if (p.sl != 0) {
        if (p.slmult)
            f.setLineHeight(std::clamp(std::abs(p.sl) * 100.0 / 240.0, 1.0, 1000.0),
                            QTextBlockFormat::ProportionalHeight);
        else if (p.sl > 0)
            f.setLineHeight(p.sl / double(kTwipsPerPixel), QTextBlockFormat::MinimumHeight);
        else
            f.setLineHeight(-double(p.sl) / kTwipsPerPixel, QTextBlockFormat::FixedHeight);
    }
    if (!p.tabs.isEmpty()) {
        QList<QTextOption::Tab> tabs;
        tabs.reserve(p.tabs.size());
        for (int t : p.tabs)
            tabs.append(QTextOption::Tab(double(t) / kTwipsPerPixel, QTextOption::LeftTab));
        f.setTabPositions(tabs);
    }
    if (p.rtl)
        f.setLayoutDirection(Qt::RightToLeft);
    m_cursor.setBlockFormat(f);

    QTextBlock block = m_cursor.block();
    if (QTextList *in = block.textList())
        in->remove(block);
    if (p.listStyle != 0 && !m_inCell) {
        if (m_list && m_listStyle == p.listStyle && mayGrowList()) {
            m_list->add(block);
            ++m_listItems;
        } else {
            QTextListFormat lf;
            lf.setStyle(QTextListFormat::Style(p.listStyle));
            lf.setIndent(1);
            m_list = m_cursor.createList(lf);
            m_listStyle = p.listStyle;
            m_listItems = 1;
        }
    } else {
        m_list = nullptr;
    }
}

void Reader::endParagraph()
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

void Reader::cellEnd()
{
    // A \cell without \intbl still ends a table cell.
    st().para.inTable = true;
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

void Reader::rowEnd()
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

void Reader::insertImage(const QImage &image, QSize size, QByteArrayView source)
{
    beginContent();
    flushRun();
    const int n = ++m_imageCounter;
    m_doc.setProperty("zorvImageCount", n);
    const QString name = QStringLiteral("%1:%2").arg(QLatin1String(rtf::kImageScheme)).arg(n);
    m_doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat f;
    static_cast<QTextCharFormat &>(f) = charFormat(st().chr);
    f.setObjectType(QTextFormat::ImageObject);
    f.setName(name);
    f.setWidth(size.width());
    f.setHeight(size.height());
    m_cursor.insertImage(f);
    ++m_fragments;
    if (!source.isEmpty()) {
        m_lastImageSource = QStringLiteral("%1:%2").arg(QLatin1String(rtf::kSourceScheme)).arg(n);
        m_doc.addResource(QTextDocument::UserResource, QUrl(m_lastImageSource), source.toByteArray());
    } else {
        m_lastImageSource.clear();
    }
}

void Reader::appendBytes(QByteArrayView bytes)
{
    if (m_fallbackLeft > 0) {
        const qsizetype skip = std::min<qsizetype>(m_fallbackLeft, bytes.size());
        bytes = bytes.sliced(skip);
        m_fallbackLeft -= int(skip);
        if (bytes.isEmpty())
            return;
    }
    if (st().dest != Dest::Text) {
        for (char c : bytes)
            destinationText(c);
        return;
    }
    if (!m_blockOpen || m_needBlock || (m_table && !m_inCell) || (st().para.inTable && !m_inCell))
        beginContent();
    if (m_highSurrogate) {
        flushBytes();
        m_highSurrogate = 0;
        m_run.append(QChar(0xFFFD));
    }
    if (!(m_runProps == st().chr)) {
        flushRun();
        m_runProps = st().chr;
    }
    const int cp = codePage();
    if (cp != m_pendingCp) {
        flushBytes();
        m_pendingCp = cp;
    }
    m_lastImageSource.clear();
    m_pendingBytes.append(bytes);
}

void Reader::appendText(QStringView text)
{
    if (st().dest != Dest::Text) {
        if (st().dest == Dest::FieldInst && st().field >= 0)
            m_fields[size_t(st().field)].instruction.append(text);
        return;
    }
    if (!m_blockOpen || m_needBlock || (m_table && !m_inCell) || (st().para.inTable && !m_inCell))
        beginContent();
    if (!(m_runProps == st().chr)) {
        flushRun();
        m_runProps = st().chr;
    }
    flushBytes();
    if (m_highSurrogate) {
        m_highSurrogate = 0;
        m_run.append(QChar(0xFFFD));
    }
    m_lastImageSource.clear();
    m_run.append(text);
}

// A high surrogate waits for its low half from the next \uN (unicodeChar joins them);
// anything else in between turns it into U+FFFD, as does a low half on its own.
void Reader::appendChar(char32_t c)
{
    if (c == 0)
        return;
    if (c >= 0xD800 && c <= 0xDBFF) {
        if (st().dest != Dest::Text)
            return;
        if (!m_blockOpen || m_needBlock)
            beginContent();
        if (!(m_runProps == st().chr)) {
            flushRun();
            m_runProps = st().chr;
        }
        flushBytes();
        m_highSurrogate = char16_t(c);
        return;
    }
    if (c >= 0xDC00 && c <= 0xDFFF) {
        // pendingSurrogateCheck joined a pair already; a low half alone is not a character.
        c = 0xFFFD;
    }
    const QChar ch(char16_t(c & 0xFFFF));
    appendText(QStringView(&ch, 1));
}

void Reader::unicodeChar(int n)
{
    char32_t c;
    if (n < -32768 || n > 65535)
        c = 0xFFFD;
    else
        c = char32_t(n < 0 ? n + 65536 : n);
    if (st().dest == Dest::Text && m_highSurrogate && c >= 0xDC00 && c <= 0xDFFF) {
        const QChar pair[2] = {QChar(m_highSurrogate), QChar(char16_t(c))};
        m_highSurrogate = 0;
        m_run.append(pair, 2);
    } else if (c != 0) {
        appendChar(c);
    }
    m_fallbackLeft = std::max(0, st().uc);
}

bool Reader::takeFallback()
{
    if (m_fallbackLeft <= 0)
        return false;
    --m_fallbackLeft;
    return true;
}

void Reader::destinationText(char c)
{
    State &s = st();
    switch (s.dest) {
    case Dest::FontTable:
        if (c == ';') {
            if (m_fontEntry >= 0) {
                FontEntry &e = m_fonts[m_fontEntry];
                e.name = m_fontName.trimmed();
            }
            m_fontName.clear();
        } else if (quint8(c) >= 0x20) {
            if (m_fontName.size() < 256)
                m_fontName.append(decodeWindows1252(QByteArrayView(&c, 1)));
        }
        break;
    case Dest::ColorTable:
        if (c == ';') {
            if (m_red < 0 && m_green < 0 && m_blue < 0)
                m_colors.append(QColor());
            else
                m_colors.append(QColor(std::clamp(m_red, 0, 255), std::clamp(m_green, 0, 255),
                                       std::clamp(m_blue, 0, 255)));
            m_red = m_green = m_blue = -1;
        }
        break;
    case Dest::Pict: {
        const int v = hexValue(c);
        if (v < 0)
            break;
        if (m_pict.nibble < 0) {
            m_pict.nibble = v;
        } else {
            m_pict.data.append(char(m_pict.nibble << 4 | v));
            m_pict.nibble = -1;
        }
        break;
    }
    case Dest::FieldInst:
        if (s.field >= 0 && quint8(c) >= 0x20 && m_fields[size_t(s.field)].instruction.size() < 4096)
            m_fields[size_t(s.field)].instruction.append(decodeWindows1252(QByteArrayView(&c, 1)));
        break;
    default:
        break;
    }
}

void Reader::openGroup(qsizetype at)
{
    m_fallbackLeft = 0;
    if (m_stack.size() >= size_t(kMaxDepth)) {
        ++m_overflow;
        return;
    }
    State next = m_stack.back();
    next.starred = false;
    next.firstWord = true;
    next.imageOuter = false;
    next.nonShpPict = false;
    next.start = at;
    m_stack.push_back(std::move(next));
}

void Reader::closeGroup(qsizetype at)
{
    m_fallbackLeft = 0;
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (m_stack.size() <= (m_closing ? 1u : 2u))
        return; // an extra '}' is ignored; the document's group closes at its last brace
    const State closing = m_stack.back();
    if (closing.dest == Dest::FontTable && m_stack[m_stack.size() - 2].dest == Dest::FontTable &&
        m_fontEntry >= 0 && !m_fontName.trimmed().isEmpty()) {
        // A font entry closed without its ';'.
        m_fonts[m_fontEntry].name = m_fontName.trimmed();
        m_fontName.clear();
    }
    if (closing.dest == Dest::Pict && m_stack[m_stack.size() - 2].dest != Dest::Pict) {
        QImage image = decodePicture(m_pict);
        m_pictSize = displaySize(m_pict, image);
        if (image.isNull())
            image = boxImage();
        m_pictImage = std::move(image);
        m_havePict = true;
        m_pict = PictData{};
    }
    if (closing.imageOuter && m_havePict && m_pictImage) {
        const QByteArrayView source = m_in.sliced(closing.start, at + 1 - closing.start);
        QImage image = std::move(*m_pictImage);
        m_pictImage.reset();
        m_havePict = false;
        m_stack.pop_back();
        // Text formats of the enclosing group apply to the picture.
        if (st().dest == Dest::Text)
            insertImage(image, m_pictSize, source);
        return;
    }
    if (closing.nonShpPict && !m_lastImageSource.isEmpty()) {
        // The alternative picture that follows a kept one is written back with it.
        const QUrl url(m_lastImageSource);
        QByteArray source = m_doc.resource(QTextDocument::UserResource, url).toByteArray();
        source.append(m_in.sliced(closing.start, at + 1 - closing.start));
        m_doc.addResource(QTextDocument::UserResource, url, source);
        m_lastImageSource.clear(); // one alternative per picture
    }
    m_stack.pop_back();
    if (closing.imageOuter) {
        m_havePict = false;
        m_pictImage.reset();
    }
}

void Reader::controlSymbol(char c)
{
    switch (c) {
    case '\\':
    case '{':
    case '}':
        if (takeFallback())
            return;
        if (st().dest == Dest::Text)
            appendBytes(QByteArrayView(&c, 1));
        else
            destinationText(c);
        return;
    case '*':
        st().starred = true;
        return;
    case '~':
        if (!takeFallback())
            appendChar(0x00A0);
        return;
    case '-':
        if (!takeFallback())
            appendChar(0x00AD);
        return;
    case '_':
        if (!takeFallback())
            appendChar(0x2011);
        return;
    case '\r':
    case '\n':
        if (takeFallback())
            return;
        if (st().dest == Dest::Text)
            endParagraph();
        return;
    default:
        takeFallback();
        return;
    }
}

void Reader::controlWord(QByteArrayView word, bool hasParam, int param)
{
    State &s = st();
    const bool first = s.firstWord;
    s.firstWord = false;
    if (word == "bin") {
        // Binary data follows: clamped to what is left, never negative.
        const qsizetype n = std::clamp<qsizetype>(hasParam ? param : 0, 0, m_in.size() - m_pos);
        if (s.dest == Dest::Pict)
            m_pict.data.append(m_in.sliced(m_pos, n));
        m_pos += n;
        return;
    }
    if (s.dest == Dest::Skip)
        return;
    if (m_fallbackLeft > 0 && word != "u") {
        // A control word inside a \uN fallback is one unit; it does nothing else.
        --m_fallbackLeft;
        return;
    }

    auto skipGroup = [this] { st().dest = Dest::Skip; };
    auto is = [&word](const char *w) { return word == w; };

    // Destinations.
    if (is("fonttbl")) {
        s.dest = Dest::FontTable;
        return;
    }
    if (is("colortbl")) {
        s.dest = Dest::ColorTable;
        m_colors.clear();
        return;
    }
    if (is("pict")) {
        s.dest = Dest::Pict;
        m_pict = PictData{};
        // A picture's source is kept from the outermost picture group.
        bool outer = false;
        for (const State &g : m_stack)
            outer = outer || g.imageOuter;
        if (!outer)
            s.imageOuter = true;
        return;
    }
    if (is("shppict") || is("object")) {
        if (is("object"))
            s.dest = Dest::Object;
        bool outer = false;
        for (const State &g : m_stack)
            outer = outer || g.imageOuter;
        if (!outer)
            s.imageOuter = true;
        return;
    }
    if (is("nonshppict")) {
        s.dest = Dest::Skip;
        s.nonShpPict = true;
        return;
    }
    if (is("result")) {
        s.dest = Dest::Text;
        return;
    }
    if (is("field")) {
        FieldRecord field;
        field.resultDest = s.dest;
        m_fields.push_back(std::move(field));
        s.field = int(m_fields.size() - 1);
        return;
    }
    if (is("fldinst")) {
        if (s.field >= 0)
            s.dest = Dest::FieldInst;
        else
            skipGroup();
        return;
    }
    if (is("fldrslt")) {
        if (s.field >= 0) {
            FieldRecord &f = m_fields[size_t(s.field)];
            s.dest = f.resultDest;
            if (s.dest == Dest::Text) {
                if (!f.resolved) {
                    f.href = hyperlinkTarget(f.instruction);
                    f.resolved = true;
                }
                if (!f.href.isEmpty())
                    s.chr.link = s.field;
            }
        }
        return;
    }
    if (is("pn")) {
        s.dest = Dest::Pn;
        s.para.listStyle = int(QTextListFormat::ListDisc);
        if (m_stack.size() >= 2)
            m_stack[m_stack.size() - 2].para.listStyle = s.para.listStyle;
        return;
    }
    if (is("pntext") || is("stylesheet") || is("info") || is("header") || is("headerl") || is("headerr") ||
        is("headerf") || is("footer") || is("footerl") || is("footerr") || is("footerf") || is("footnote") ||
        is("generator") || is("listtable") || is("listoverridetable") || is("rsidtbl") || is("themedata") ||
        is("colorschememapping") || is("latentstyles") || is("datastore") || is("xmlnstbl") || is("revtbl") ||
        is("filetbl") || is("objdata") || is("annotation") || is("atnid") || is("atnauthor") ||
        is("comment") || is("txe") || is("xe") || is("tc") || is("pgdsctbl") || is("listtext") ||
        is("shpinst") || is("fldtype") || is("bkmkstart") || is("bkmkend") || is("template") ||
        is("userprops") || is("docvar") || is("pnseclvl") || is("pntxta") || is("pntxtb") || is("mmathPr") ||
        is("pgptbl") || is("passwordhash") || is("wgrffmtfilter") || is("ftnsep") || is("ftnsepc") ||
        is("aftnsep") || is("aftnsepc") || is("private") || is("blipuid") || is("macpict")) {
        if (is("macpict") && s.dest == Dest::Pict) {
            m_pict.kind = PictKind::Mac;
            return;
        }
        skipGroup();
        return;
    }

    switch (s.dest) {
    case Dest::FontTable:
        if (is("f")) {
            m_fontEntry = hasParam ? param : 0;
            m_fontName.clear();
            m_fonts[m_fontEntry];
        } else if (is("fcharset") && m_fontEntry >= 0) {
            m_fonts[m_fontEntry].charset = param;
        } else if (is("cpg") && m_fontEntry >= 0) {
            m_fonts[m_fontEntry].codePage = param;
        } else if (s.starred && first) {
            skipGroup();
        }
        return;
    case Dest::ColorTable:
        if (is("red"))
            m_red = param;
        else if (is("green"))
            m_green = param;
        else if (is("blue"))
            m_blue = param;
        else if (s.starred && first)
            skipGroup();
        return;
    case Dest::Pict:
        if (is("pngblip"))
            m_pict.kind = PictKind::Png;
        else if (is("jpegblip"))
            m_pict.kind = PictKind::Jpeg;
        else if (is("dibitmap"))
            m_pict.kind = PictKind::Dib;
        else if (is("wbitmap"))
            m_pict.kind = PictKind::Wbitmap;
        else if (is("wmetafile"))
            m_pict.kind = PictKind::Wmf;
        else if (is("emfblip"))
            m_pict.kind = PictKind::Emf;
        else if (is("picw"))
            m_pict.picw = param;
        else if (is("pich"))
            m_pict.pich = param;
        else if (is("picwgoal"))
            m_pict.goalW = param;
        else if (is("pichgoal"))
            m_pict.goalH = param;
        else if (is("picscalex"))
            m_pict.scaleX = std::clamp(param, 1, 1000);
        else if (is("picscaley"))
            m_pict.scaleY = std::clamp(param, 1, 1000);
        else if (s.starred && first)
            skipGroup();
        return;
    case Dest::FieldInst:
        if (s.starred && first && !is("fldinst"))
            skipGroup();
        else if (is("u"))
            unicodeChar(param);
        return;
    case Dest::Pn:
        if (is("pnlvlblt"))
            s.para.listStyle = int(QTextListFormat::ListDisc);
        else if (is("pndec") || is("pnlvlbody"))
            s.para.listStyle = int(QTextListFormat::ListDecimal);
        else if (is("pnlcltr"))
            s.para.listStyle = int(QTextListFormat::ListLowerAlpha);
        else if (is("pnucltr"))
            s.para.listStyle = int(QTextListFormat::ListUpperAlpha);
        else if (is("pnlcrm"))
            s.para.listStyle = int(QTextListFormat::ListLowerRoman);
        else if (is("pnucrm"))
            s.para.listStyle = int(QTextListFormat::ListUpperRoman);
        // \pnlvlbody names a numbered level whose style word follows; \pnlvlcont continues.
        if (is("pnlvlbody") || is("pnlvlcont") || is("pnlvlblt") || is("pndec") || is("pnlcltr") ||
            is("pnucltr") || is("pnlcrm") || is("pnucrm")) {
            // The paragraph that carries this group keeps the style; propagate it outwards.
            if (m_stack.size() >= 2)
                m_stack[m_stack.size() - 2].para.listStyle = s.para.listStyle;
        }
        return;
    case Dest::Skip:
    case Dest::Object:
        return;
    case Dest::Text:
        break;
    }

    // Document text and its formats.
    CharProps &c = s.chr;
    ParaProps &p = s.para;
    const int value = hasParam ? param : 1;
    if (is("par") || is("page") || is("sect")) {
        endParagraph();
    } else if (is("line")) {
        appendChar(0x2028);
    } else if (is("tab")) {
        appendChar(u'\t');
    } else if (is("cell")) {
        cellEnd();
    } else if (is("nestcell") || is("nestrow")) {
        endParagraph();
    } else if (is("row")) {
        rowEnd();
    } else if (is("u")) {
        unicodeChar(param);
    } else if (is("uc")) {
        s.uc = std::max(0, param);
    } else if (is("emdash")) {
        appendChar(0x2014);
    } else if (is("endash")) {
        appendChar(0x2013);
    } else if (is("lquote")) {
        appendChar(0x2018);
    } else if (is("rquote")) {
        appendChar(0x2019);
    } else if (is("ldblquote")) {
        appendChar(0x201C);
    } else if (is("rdblquote")) {
        appendChar(0x201D);
    } else if (is("bullet")) {
        appendChar(0x2022);
    } else if (is("emspace")) {
        appendChar(0x2003);
    } else if (is("enspace")) {
        appendChar(0x2002);
    } else if (is("qmspace")) {
        appendChar(0x2005);
    } else if (is("zwj")) {
        appendChar(0x200D);
    } else if (is("zwnj")) {
        appendChar(0x200C);
    } else if (is("ltrmark")) {
        appendChar(0x200E);
    } else if (is("rtlmark")) {
        appendChar(0x200F);
    } else if (is("plain")) {
        const int link = c.link;
        c = CharProps{};
        c.link = link;
    } else if (is("f")) {
        c.font = std::max(0, param);
    } else if (is("fs")) {
        c.halfPoints = hasParam ? std::clamp(param, 2, 3276) : 24;
    } else if (is("b")) {
        c.bold = value != 0;
    } else if (is("i")) {
        c.italic = value != 0;
    } else if (is("ul") || is("uld") || is("uldb") || is("uldash") || is("uldashd") || is("uldashdd") ||
               is("ulth") || is("ulw") || is("ulwave") || is("uldb") || is("ulhwave") || is("ululdbwave")) {
        c.underline = value != 0;
    } else if (is("ulnone")) {
        c.underline = false;
    } else if (is("strike") || is("striked")) {
        c.strike = value != 0;
    } else if (is("super")) {
        c.vertical = 1;
    } else if (is("sub")) {
        c.vertical = 2;
    } else if (is("nosupersub")) {
        c.vertical = 0;
    } else if (is("cf")) {
        c.fg = std::max(0, param);
    } else if (is("highlight") || is("cb") || is("chcbpat")) {
        c.bg = std::max(0, param);
    } else if (is("pard")) {
        p = ParaProps{};
    } else if (is("ql")) {
        p.align = 0;
    } else if (is("qc")) {
        p.align = 1;
    } else if (is("qr")) {
        p.align = 2;
    } else if (is("qj")) {
        p.align = 3;
    } else if (is("li")) {
        p.li = std::clamp(param, -31680, 31680);
    } else if (is("ri")) {
        p.ri = std::clamp(param, -31680, 31680);
    } else if (is("fi")) {
        p.fi = std::clamp(param, -31680, 31680);
    } else if (is("sb")) {
        p.sb = std::clamp(param, 0, 31680);
    } else if (is("sa")) {
        p.sa = std::clamp(param, 0, 31680);
    } else if (is("sl")) {
        p.sl = std::clamp(param, -31680, 31680);
    } else if (is("slmult")) {
        p.slmult = value != 0;
    } else if (is("tx")) {
        if (p.tabs.size() < 64)
            p.tabs.append(std::clamp(param, 0, 31680));
    } else if (is("rtlpar")) {
        p.rtl = true;
    } else if (is("ltrpar")) {
        p.rtl = false;
    } else if (is("intbl")) {
        p.inTable = true;
    } else if (is("trowd")) {
        m_cellxCount = 0;
    } else if (is("cellx")) {
        ++m_cellxCount;
    } else if (is("ansicpg")) {
        if (param > 0)
            m_ansiCp = param;
    } else if (is("ansi")) {
        m_ansiCp = 1252;
    } else if (is("mac")) {
        m_ansiCp = 10000;
    } else if (is("pc")) {
        m_ansiCp = 437;
    } else if (is("pca")) {
        m_ansiCp = 850;
    } else if (is("deff")) {
        m_defaultFont = std::max(0, param);
    } else if (s.starred && first) {
        skipGroup();
    }
}

void Reader::run()
{
    // The document ends at its last '}'; what follows (often CR LF NUL) is not read, and
    // a '}' before it that would close the document early is ignored.
    const qsizetype last = m_in.lastIndexOf('}');
    const qsizetype n = last < 0 ? m_in.size() : last;
    const char *d = m_in.data();
    // The "\row" words, found once: how many rows a table being read may still get.
    for (qsizetype at = m_in.indexOf("\\row"); at >= 0 && at < n; at = m_in.indexOf("\\row", at + 4)) {
        if (at + 4 >= n || !isLetter(d[at + 4]))
            m_rowWords.push_back(at + 4);
    }
    // Skip anything before the first brace (a stray byte-order mark, blanks).
    while (m_pos < n && d[m_pos] != '{')
        ++m_pos;
    while (m_pos < n) {
        const char c = d[m_pos];
        if (c == '{') {
            openGroup(m_pos);
            ++m_pos;
        } else if (c == '}') {
            closeGroup(m_pos);
            ++m_pos;
        } else if (c == '\\') {
            ++m_pos;
            if (m_pos >= n)
                break;
            const char c1 = d[m_pos];
            if (isLetter(c1)) {
                const qsizetype start = m_pos;
                while (m_pos < n && isLetter(d[m_pos]))
                    ++m_pos;
                const QByteArrayView word(d + start, std::min<qsizetype>(m_pos - start, kMaxWordLength));
                bool neg = false;
                bool hasParam = false;
                qint64 value = 0;
                if (m_pos < n && d[m_pos] == '-' && m_pos + 1 < n && isDigit(d[m_pos + 1])) {
                    neg = true;
                    ++m_pos;
                }
                int digits = 0;
                while (m_pos < n && isDigit(d[m_pos])) {
                    hasParam = true;
                    if (digits < kMaxParamDigits)
                        value = value * 10 + (d[m_pos] - '0');
                    ++digits;
                    ++m_pos;
                }
                if (m_pos < n && d[m_pos] == ' ')
                    ++m_pos;
                value = std::clamp<qint64>(neg ? -value : value, INT_MIN, INT_MAX);
                // \uN parameters keep their full range so that out-of-range ones are seen.
                controlWord(word, hasParam, int(value));
            } else if (c1 == '\'') {
                ++m_pos;
                const int hi = m_pos < n ? hexValue(d[m_pos]) : -1;
                const int lo = m_pos + 1 < n ? hexValue(d[m_pos + 1]) : -1;
                if (hi < 0 || lo < 0) {
                    // A bad escape is dropped along with the hex digit it has.
                    if (hi >= 0)
                        ++m_pos;
                    continue;
                }
                m_pos += 2;
                if (takeFallback())
                    continue;
                const char byte = char(hi << 4 | lo);
                if (st().dest == Dest::Text)
                    appendBytes(QByteArrayView(&byte, 1));
                else if (st().dest == Dest::FontTable || st().dest == Dest::FieldInst)
                    destinationText(byte);
            } else {
                ++m_pos;
                controlSymbol(c1);
            }
        } else if (c == '\r' || c == '\n') {
            ++m_pos;
        } else {
            // A run of plain bytes.
            const qsizetype start = m_pos;
            while (m_pos < n) {
                const char b = d[m_pos];
                if (b == '{' || b == '}' || b == '\\' || b == '\r' || b == '\n')
                    break;
                ++m_pos;
            }
            st().firstWord = false;
            QByteArrayView bytes(d + start, m_pos - start);
            if (st().dest == Dest::Skip)
                continue;
            // NUL bytes are dropped.
            if (bytes.contains('\0')) {
                QByteArray clean;
                for (char b : bytes)
                    if (b != '\0')
                        clean.append(b);
                if (!clean.isEmpty())
                    appendBytes(clean);
            } else {
                appendBytes(bytes);
            }
        }
    }
    // Close what the input left open, innermost first.
    m_overflow = 0;
    m_closing = true;
    const qsizetype end = last < 0 ? std::max<qsizetype>(0, m_in.size() - 1) : last;
    while (m_stack.size() > 1)
        closeGroup(end);
    if (m_blockOpen && !m_needBlock) {
        flushRun();
        applyBlockFormat();
    } else {
        flushRun();
    }
    closeTable();
}

} // namespace

bool looksLikeRtf(QByteArrayView bytes)
{
    return bytes.startsWith("{\\rtf");
}

void readRtf(QByteArrayView bytes, QTextDocument &document)
{
    document.clear();
    // One edit block for the whole read: Qt then neither lays out the block after each
    // insertion (which makes long paragraphs quadratic) nor reports every change, and
    // reading keeps no undo history.
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    QTextCursor edit(&document);
    edit.beginEditBlock();
    Reader reader(bytes, document);
    reader.run();
    edit.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

} // namespace zorv

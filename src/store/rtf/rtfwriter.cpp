#include "rtfwriter.h"

#include "rtfreader.h"
#include "rtfwritertext.h"
#include "store/textcodec.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QImageWriter>
#include <QPixmap>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <array>
#include <cmath>

namespace zorv {

namespace {

using rtf::appendText;
using rtf::appendWord;

constexpr int kTwipsPerPixel = 15;
constexpr int kHexDigitsPerLine = 128;

struct CharState
{
    int font = -1;
    int halfPoints = 0;
    int fg = 0;
    int bg = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int vertical = 0;
    bool operator==(const CharState &) const = default;
};

struct ParaState
{
    int align = 0;
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0, sl = 0;
    bool slmult = false;
    bool rtl = false;
    bool inTable = false;
    int listStyle = 0;
    int listStart = 1;
    QList<int> tabs;
    bool operator==(const ParaState &) const = default;
};

int twips(qreal pixels)
{
    return int(std::lround(pixels * kTwipsPerPixel));
}

class Writer
{
public:
    explicit Writer(const QTextDocument &doc)
        : m_doc(doc)
    {
        m_body.reserve(doc.characterCount() * 2 + 256);
        m_defaultFamily = doc.defaultFont().family();
        if (m_defaultFamily.isEmpty())
            m_defaultFamily = QStringLiteral("Verdana");
        const QFont df = doc.defaultFont();
        m_defaultHalfPoints = df.pointSizeF() > 0
                                  ? int(std::lround(df.pointSizeF() * 2))
                                  : (df.pixelSize() > 0 ? int(std::lround(df.pixelSize() * 1.5)) : 24);
    }

    QByteArray run();

private:
    int fontIndex(const QString &family, bool symbol);
    int colourIndex(const QColor &colour);
    CharState charState(const QTextCharFormat &f);
    void writeCharState(const CharState &want);
    ParaState paraState(const QTextBlock &block, bool inTable);
    void writeParagraph(const QTextBlock &block, bool inTable, bool last);
    void writeParagraphFormat(const ParaState &para);
    void writeNumbering(const ParaState &para);
    void writeListMarker(const QTextBlock &block, const ParaState &para);
    void writeFragments(const QTextBlock &block);
    void writeTable(QTextTable *table);
    void writeImage(const QTextImageFormat &f);
    void setLink(const QString &href);

    const QTextDocument &m_doc;
    QByteArray m_body;
    QString m_defaultFamily;
    int m_defaultHalfPoints = 24;
    QList<QPair<QString, bool>> m_fonts;
    QHash<QPair<QString, bool>, int> m_fontIndex;
    QList<QRgb> m_colours;
    QHash<QRgb, int> m_colourIndex;

    CharState m_cur;
    bool m_curKnown = false;
    QString m_href;
    CharState m_beforeLink;
    bool m_beforeLinkKnown = false;
    ParaState m_para;
    bool m_paraKnown = false;
    int m_symbolFont = -1;
    bool m_needDelimiter = false; // a control word was written last: text needs a space first
};

int Writer::fontIndex(const QString &family, bool symbol)
{
    const QPair<QString, bool> key(family, symbol);
    auto it = m_fontIndex.constFind(key);
    if (it != m_fontIndex.cend())
        return *it;
    const int index = int(m_fonts.size());
    m_fonts.append(key);
    m_fontIndex.insert(key, index);
    return index;
}

int Writer::colourIndex(const QColor &colour)
{
    const QRgb rgb = colour.rgb() & 0xFFFFFF;
    auto it = m_colourIndex.constFind(rgb);
    if (it != m_colourIndex.cend())
        return *it;
    m_colours.append(rgb);
    const int index = int(m_colours.size()); // index 0 is the automatic colour
    m_colourIndex.insert(rgb, index);
    return index;
}

CharState Writer::charState(const QTextCharFormat &f)
{
    CharState s;
    QString family;
    const QVariant families = f.property(QTextFormat::FontFamilies);
    if (families.isValid()) {
        const QStringList list = families.toStringList();
        if (!list.isEmpty())
            family = list.first();
    }
    if (family.isEmpty())
        family = f.property(QTextFormat::FontFamily).toString();
    if (family.isEmpty())
        family = m_defaultFamily;
    s.font = fontIndex(family, f.boolProperty(rtf::kSymbolFontProperty));
    if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0)
        s.halfPoints = int(std::lround(f.fontPointSize() * 2));
    else if (f.hasProperty(QTextFormat::FontPixelSize) && f.intProperty(QTextFormat::FontPixelSize) > 0)
        s.halfPoints = int(std::lround(f.intProperty(QTextFormat::FontPixelSize) * 1.5));
    s.halfPoints = std::clamp(s.halfPoints, 0, 3276);
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
        s.fg = colourIndex(f.foreground().color());
    if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
        s.bg = colourIndex(f.background().color());
    s.bold = f.fontWeight() >= QFont::DemiBold;
    s.italic = f.fontItalic();
    s.underline = f.fontUnderline();
    s.strike = f.fontStrikeOut();
    s.vertical = f.verticalAlignment() == QTextCharFormat::AlignSuperScript ? 1
                 : f.verticalAlignment() == QTextCharFormat::AlignSubScript ? 2
                                                                            : 0;
    return s;
}

void Writer::writeCharState(const CharState &want)
{
    const qsizetype before = m_body.size();
    const CharState cur = m_cur;
    const bool known = m_curKnown;
    if (!known || cur.fg != want.fg)
        if (known || want.fg)
            appendWord(m_body, "cf", want.fg);
    if (!known || cur.bg != want.bg)
        if (known || want.bg)
            appendWord(m_body, "highlight", want.bg);
    if (!known || cur.bold != want.bold)
        if (known || want.bold)
            m_body.append(want.bold ? "\\b" : "\\b0");
    if (!known || cur.italic != want.italic)
        if (known || want.italic)
            m_body.append(want.italic ? "\\i" : "\\i0");
    if (!known || cur.underline != want.underline)
        if (known || want.underline)
            m_body.append(want.underline ? "\\ul" : "\\ulnone");
    if (!known || cur.strike != want.strike)
        if (known || want.strike)
            m_body.append(want.strike ? "\\strike" : "\\strike0");
    if (!known || cur.vertical != want.vertical)
        if (known || want.vertical)
            m_body.append(want.vertical == 1 ? "\\super" : want.vertical == 2 ? "\\sub" : "\\nosupersub");
    if (!known || cur.font != want.font)
        appendWord(m_body, "f", want.font);
    if (!known || cur.halfPoints != want.halfPoints)
        if (known || want.halfPoints)
            appendWord(m_body, "fs", want.halfPoints ? want.halfPoints : m_defaultHalfPoints);
    m_cur = want;
    if (known && cur.halfPoints && !want.halfPoints)
        m_cur.halfPoints = m_defaultHalfPoints;
    m_curKnown = true;
    if (m_body.size() != before)
        m_needDelimiter = true;
}

ParaState Writer::paraState(const QTextBlock &block, bool inTable)
{
    const QTextBlockFormat f = block.blockFormat();
    ParaState p;
    const Qt::Alignment a = f.alignment() & Qt::AlignHorizontal_Mask;
    p.align = (a & Qt::AlignHCenter) ? 1 : (a & Qt::AlignRight) ? 2 : (a & Qt::AlignJustify) ? 3 : 0;
    p.li = twips(f.leftMargin());
    p.ri = twips(f.rightMargin());
    p.fi = twips(f.textIndent());
    p.sb = twips(f.topMargin());
    p.sa = twips(f.bottomMargin());
    switch (f.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (std::lround(f.lineHeight()) != 100) {
            p.sl = int(std::lround(f.lineHeight() * 240.0 / 100.0));
            p.slmult = true;
        }
        break;
    case QTextBlockFormat::MinimumHeight:
        p.sl = twips(f.lineHeight());
        break;
    case QTextBlockFormat::FixedHeight:
        p.sl = -twips(f.lineHeight());
        break;
    default:
        break;
    }
    for (const QTextOption::Tab &t : f.tabPositions())
        p.tabs.append(twips(t.position));
    p.rtl = f.layoutDirection() == Qt::RightToLeft;
    p.inTable = inTable;
    if (!inTable) {
        if (QTextList *list = block.textList()) {
            p.listStyle = int(list->format().style());
        }
    }
    return p;
}

void Writer::setLink(const QString &href)
{
    if (href == m_href)
        return;
    if (!m_href.isEmpty()) {
        m_body.append("}}}");
        m_cur = m_beforeLink;
        m_curKnown = m_beforeLinkKnown;
    }
    m_href = href;
    if (!href.isEmpty()) {
        m_beforeLink = m_cur;
        m_beforeLinkKnown = m_curKnown;
        m_body.append("{\\field{\\*\\fldinst{HYPERLINK ");
        QString target = href;
        target.replace(QLatin1Char('"'), QLatin1String("%22"));
        if (target.startsWith(QLatin1Char('#'))) {
            m_body.append("\\\\l ");
            target.remove(0, 1);
        }
        m_body.append('"');
        appendText(m_body, target, false);
        m_body.append("\"}}{\\fldrslt{");
    }
    m_needDelimiter = false;
}

void Writer::writeImage(const QTextImageFormat &f)
{
    const QString name = f.name();
    const QString prefix = QLatin1String(rtf::kImageScheme) + QLatin1Char(':');
    if (name.startsWith(prefix)) {
        const QUrl sourceUrl(QLatin1String(rtf::kSourceScheme) + QLatin1Char(':') + name.mid(prefix.size()));
        const QByteArray source = m_doc.resource(QTextDocument::UserResource, sourceUrl).toByteArray();
        if (!source.isEmpty()) {
            m_body.append(source);
            return;
        }
    }
    const QVariant res = m_doc.resource(QTextDocument::ImageResource, QUrl(name));
    QImage image = res.value<QImage>();
    if (image.isNull())
        image = res.value<QPixmap>().toImage();
    if (image.isNull())
        return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return;
    const int w = f.width() > 0 ? int(std::lround(f.width())) : image.width();
    const int h = f.height() > 0 ? int(std::lround(f.height())) : image.height();
    m_body.append("{\\pict\\pngblip");
    appendWord(m_body, "picw", image.width());
    appendWord(m_body, "pich", image.height());
    appendWord(m_body, "picwgoal", qint64(w) * kTwipsPerPixel);
    appendWord(m_body, "pichgoal", qint64(h) * kTwipsPerPixel);
    m_body.append("\r\n");
    const QByteArray hex = png.toHex();
    for (qsizetype i = 0; i < hex.size(); i += kHexDigitsPerLine) {
        m_body.append(hex.mid(i, kHexDigitsPerLine));
        m_body.append("\r\n");
    }
    m_body.append('}');
}

// The numbering word of a numbered list style.
const char *numberingWord(int listStyle)
{
    switch (QTextListFormat::Style(listStyle)) {
    case QTextListFormat::ListLowerAlpha:
        return "\\pnlcltr";
    case QTextListFormat::ListUpperAlpha:
        return "\\pnucltr";
    case QTextListFormat::ListLowerRoman:
        return "\\pnlcrm";
    case QTextListFormat::ListUpperRoman:
        return "\\pnucrm";
    default:
        return "\\pndec";
    }
}

// The old-style numbering group of a list paragraph: a bullet in the symbol font, or the
// numbering style with its start.
void Writer::writeNumbering(const ParaState &para)
{
    m_body.append("{\\*\\pn");
    switch (QTextListFormat::Style(para.listStyle)) {
    case QTextListFormat::ListDisc:
    case QTextListFormat::ListCircle:
    case QTextListFormat::ListSquare:
        if (m_symbolFont < 0)
            m_symbolFont = fontIndex(QStringLiteral("Symbol"), true);
        m_body.append("\\pnlvlblt");
        appendWord(m_body, "pnf", m_symbolFont);
        m_body.append("\\pnindent0{\\pntxtb\\'b7}}");
        break;
    default:
        m_body.append("\\pnlvlbody\\pnindent0");
        appendWord(m_body, "pnstart", para.listStart);
        m_body.append(numberingWord(para.listStyle));
        m_body.append("{\\pntxta.}}");
        break;
    }
}

// \pard and the words of a paragraph format that differs from the one written last.
void Writer::writeParagraphFormat(const ParaState &para)
{
    m_body.append("\\pard");
    if (para.inTable)
        m_body.append("\\intbl");
    if (para.listStyle != 0)
        writeNumbering(para);
    static const char *const aligns[] = {"", "\\qc", "\\qr", "\\qj"};
    m_body.append(aligns[para.align]);
    if (para.rtl)
        m_body.append("\\rtlpar");
    if (para.fi)
        appendWord(m_body, "fi", para.fi);
    if (para.li)
        appendWord(m_body, "li", para.li);
    if (para.ri)
        appendWord(m_body, "ri", para.ri);
    if (para.sb)
        appendWord(m_body, "sb", para.sb);
    if (para.sa)
        appendWord(m_body, "sa", para.sa);
    if (para.sl) {
        appendWord(m_body, "sl", para.sl);
        appendWord(m_body, "slmult", para.slmult ? 1 : 0);
    }
    for (int t : para.tabs)
        appendWord(m_body, "tx", t);
    m_para = para;
    m_paraKnown = true;
    m_needDelimiter = true;
}

// The marker text of a list item ({\pntext ... \tab}), for readers without numbering.
void Writer::writeListMarker(const QTextBlock &block, const ParaState &para)
{
    QTextList *list = block.textList();
    if (!list)
        return;
    m_body.append("{\\pntext");
    if (m_symbolFont >= 0 && para.listStyle >= int(QTextListFormat::ListSquare) &&
        para.listStyle <= int(QTextListFormat::ListDisc)) {
        appendWord(m_body, "f", m_symbolFont);
        m_body.append("\\'b7\\tab}");
    } else {
        m_body.append(' ');
        appendText(m_body, list->itemText(block), false);
        m_body.append("\\tab}");
    }
    m_needDelimiter = false;
}

// The block's text and images, each fragment after the character format and link it has.
void Writer::writeFragments(const QTextBlock &block)
{
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        const QTextCharFormat f = fragment.charFormat();
        setLink(f.isAnchor() ? f.anchorHref() : QString());
        const CharState want = charState(f);
        if (!m_curKnown || !(want == m_cur))
            writeCharState(want);
        if (f.isImageFormat()) {
            const QTextImageFormat image = f.toImageFormat();
            for (qsizetype i = 0; i < fragment.length(); ++i)
                writeImage(image);
            m_needDelimiter = false;
            continue;
        }
        const QString text = fragment.text();
        if (m_needDelimiter && !text.isEmpty()) {
            m_body.append(' ');
            m_needDelimiter = false;
        }
        appendText(m_body, text, f.boolProperty(rtf::kSymbolFontProperty));
    }
    setLink(QString());
}

void Writer::writeParagraph(const QTextBlock &block, bool inTable, bool last)
{
    const ParaState para = paraState(block, inTable);
    if (!m_paraKnown || !(para == m_para))
        writeParagraphFormat(para);
    if (para.listStyle != 0)
        writeListMarker(block, para);
    writeFragments(block);
    if (!last) {
        m_body.append("\\par\r\n");
        m_needDelimiter = false;
    }
}

void Writer::writeTable(QTextTable *table)
{
    const int rows = table->rows();
    const int cols = table->columns();
    const int width = cols > 0 ? std::max(360, 9000 / cols) : 1440;
    for (int r = 0; r < rows; ++r) {
        m_body.append("\\trowd\\trgaph108\\trleft-108");
        QList<QTextTableCell> cells;
        for (int c = 0; c < cols; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (!cell.isValid() || cell.row() != r || cell.column() != c)
                continue;
            cells.append(cell);
            appendWord(m_body, "cellx", qint64(c + cell.columnSpan()) * width);
        }
        m_body.append("\r\n");
        m_paraKnown = false;
        for (const QTextTableCell &cell : std::as_const(cells)) {
            const int end = cell.lastPosition();
            for (QTextBlock b = m_doc.findBlock(cell.firstPosition()); b.isValid() && b.position() <= end;
                 b = b.next()) {
                const bool lastInCell = !b.next().isValid() || b.next().position() > end;
                writeParagraph(b, true, lastInCell);
            }
            m_body.append("\\cell ");
            m_needDelimiter = false;
        }
        m_body.append("\\row\r\n");
    }
}

QByteArray Writer::run()
{
    QTextBlock b = m_doc.begin();
    while (b.isValid()) {
        QTextCursor c(b);
        if (QTextTable *table = c.currentTable()) {
            // The outermost table; tables inside its cells are written as paragraphs.
            QTextFrame *frame = table;
            while (frame->parentFrame() && frame->parentFrame() != m_doc.rootFrame())
                frame = frame->parentFrame();
            if (auto *top = qobject_cast<QTextTable *>(frame)) {
                writeTable(top);
                m_paraKnown = false;
                b = m_doc.findBlock(top->lastPosition() + 1);
                continue;
            }
        }
        // The empty block Qt keeps in front of a table that opens the document is not text.
        QTextCursor next(b.next());
        if (b.length() == 1 && b == m_doc.begin() && b.next().isValid() && next.currentTable() &&
            b.blockFormat() == QTextBlockFormat()) {
            b = b.next();
            continue;
        }
        writeParagraph(b, false, false);
        b = b.next();
    }

    QByteArray out;
    out.reserve(m_body.size() + 512);
    out.append("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1046{\\fonttbl");
    if (m_fonts.isEmpty())
        fontIndex(m_defaultFamily, false);
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        out.append('{');
        appendWord(out, "f", i);
        out.append(m_fonts[i].second ? "\\fnil\\fcharset2 " : "\\fnil\\fcharset0 ");
        appendText(out, m_fonts[i].first, false);
        out.append(";}");
    }
    out.append("}\r\n");
    if (!m_colours.isEmpty()) {
        out.append("{\\colortbl ;");
        for (QRgb rgb : std::as_const(m_colours)) {
            appendWord(out, "red", qRed(rgb));
            appendWord(out, "green", qGreen(rgb));
            appendWord(out, "blue", qBlue(rgb));
            out.append(';');
        }
        out.append("}\r\n");
    }
    out.append("\\viewkind4\\uc1");
    out.append(m_body);
    out.append("}\r\n");
    return out;
}

} // namespace

QByteArray writeRtf(const QTextDocument &document)
{
    return Writer(document).run();
}

} // namespace zorv

#include "rtfkeywords.h"

#include "rtfhyperlink.h"
#include "rtfparser.h"

#include <QTextListFormat>

#include <algorithm>
#include <array>

namespace zorv::rtf {

namespace {

using K = KeywordClass;
using P = Parser;

constexpr int kMaxTwips = 31680; // 22 inches: indents and spacing are bounded by it

// Destinations.

void skip(P &p, int, int)
{
    p.skipGroup();
}

void enterFontTable(P &p, int, int)
{
    p.group().dest = Dest::FontTable;
}

void enterColorTable(P &p, int, int)
{
    p.group().dest = Dest::ColorTable;
    p.tables().colors.clear();
}

void enterPicture(P &p, int, int)
{
    p.group().dest = Dest::Pict;
    p.picture() = PictData{};
    p.keepPictureSource();
}

void enterObject(P &p, int, int)
{
    p.group().dest = Dest::Object;
    p.keepPictureSource();
}

void enterAlternativePicture(P &p, int, int)
{
    p.group().dest = Dest::Skip;
    p.group().nonShpPict = true;
}

void beginField(P &p, int, int)
{
    std::vector<FieldRecord> &fields = p.tables().fields;
    FieldRecord field;
    field.resultDest = p.group().dest;
    fields.push_back(std::move(field));
    p.group().field = int(fields.size() - 1);
}

void enterFieldInstruction(P &p, int, int)
{
    GroupState &g = p.group();
    if (g.field >= 0)
        g.dest = Dest::FieldInst;
    else
        p.skipGroup();
}

// The field's result is read where the field is; a hyperlink's result is its link text.
void enterFieldResult(P &p, int, int)
{
    GroupState &g = p.group();
    if (g.field < 0)
        return;
    FieldRecord &f = p.tables().fields[size_t(g.field)];
    g.dest = f.resultDest;
    if (g.dest != Dest::Text)
        return;
    if (!f.resolved) {
        f.href = hyperlinkTarget(f.instruction);
        f.resolved = true;
    }
    if (!f.href.isEmpty())
        g.chr.link = g.field;
}

// The paragraph that carries an old-style numbering group keeps its list style.
void passListStyleOut(P &p)
{
    std::vector<GroupState> &groups = p.groups();
    if (groups.size() >= 2)
        groups[groups.size() - 2].para.listStyle = groups.back().para.listStyle;
}

void enterNumbering(P &p, int, int)
{
    p.group().dest = Dest::Pn;
    p.group().para.listStyle = int(QTextListFormat::ListDisc);
    passListStyleOut(p);
}

// Old-style numbering levels (0: the level goes on in the style it has).
void numberingStyle(P &p, int style, int)
{
    if (style != 0)
        p.group().para.listStyle = style;
    passListStyleOut(p);
}

// Font and colour tables.

void fontEntry(P &p, int, int index)
{
    DocumentTables &t = p.tables();
    t.fontEntry = index;
    t.fontName.clear();
    t.fonts[index];
}

void fontCharset(P &p, int, int charset)
{
    if (p.tables().fontEntry < 0)
        return p.unknownWord();
    p.tables().fonts[p.tables().fontEntry].charset = charset;
}

void fontCodePage(P &p, int, int codePage)
{
    if (p.tables().fontEntry < 0)
        return p.unknownWord();
    p.tables().fonts[p.tables().fontEntry].codePage = codePage;
}

// Document text.

void plain(P &p, int, int)
{
    CharProps &c = p.group().chr;
    const int link = c.link;
    c = CharProps{};
    c.link = link;
}

void documentCodePage(P &p, int codePage, int)
{
    p.tables().ansiCp = codePage;
}

// "{\*\u..." in a field instruction drops the group like any other word there.
void fieldUnicode(P &p, int, int n)
{
    if (p.ignorableWord())
        p.skipGroup();
    else
        p.unicode(n);
}

void pictureKind(P &p, int kind, int)
{
    p.picture().kind = PictKind(kind);
}

void endParagraph(P &p, int, int)
{
    p.builder().endParagraph();
}

void setUnderline(P &p, int, int on)
{
    p.group().chr.underline = on;
}

void setStrike(P &p, int, int on)
{
    p.group().chr.strike = on;
}

void setVertical(P &p, int position, int)
{
    p.group().chr.vertical = quint8(position);
}

void setBackground(P &p, int, int colour)
{
    p.group().chr.bg = std::max(0, colour);
}

void setAlignment(P &p, int align, int)
{
    p.group().para.align = quint8(align);
}

void setDirection(P &p, int rtl, int)
{
    p.group().para.rtl = rtl != 0;
}

constexpr Dest T = Dest::Text;

// Every control word the reader acts on; the rest are ignored (or, as the first word of a
// "{\*" group, drop the group). Adding a word is adding its line.
constexpr Keyword kTable[] = {
    // Destinations: act in every destination but Skip.
    {"fonttbl", K::Destination, T, 0, enterFontTable},
    {"colortbl", K::Destination, T, 0, enterColorTable},
    {"pict", K::Destination, T, 0, enterPicture},
    {"shppict", K::Destination, T, 0, [](P &p, int, int) { p.keepPictureSource(); }},
    {"object", K::Destination, T, 0, enterObject},
    {"nonshppict", K::Destination, T, 0, enterAlternativePicture},
    {"result", K::Destination, T, 0, [](P &p, int, int) { p.group().dest = Dest::Text; }},
    {"field", K::Destination, T, 0, beginField},
    {"fldinst", K::Destination, T, 0, enterFieldInstruction},
    {"fldrslt", K::Destination, T, 0, enterFieldResult},
    {"pn", K::Destination, T, 0, enterNumbering},
    // Destinations whose text is not read.
    {"aftnsep", K::Destination, T, 0, skip},
    {"aftnsepc", K::Destination, T, 0, skip},
    {"annotation", K::Destination, T, 0, skip},
    {"atnauthor", K::Destination, T, 0, skip},
    {"atnid", K::Destination, T, 0, skip},
    {"bkmkend", K::Destination, T, 0, skip},
    {"bkmkstart", K::Destination, T, 0, skip},
    {"blipuid", K::Destination, T, 0, skip},
    {"colorschememapping", K::Destination, T, 0, skip},
    {"comment", K::Destination, T, 0, skip},
    {"datastore", K::Destination, T, 0, skip},
    {"docvar", K::Destination, T, 0, skip},
    {"filetbl", K::Destination, T, 0, skip},
    {"fldtype", K::Destination, T, 0, skip},
    {"footer", K::Destination, T, 0, skip},
    {"footerf", K::Destination, T, 0, skip},
    {"footerl", K::Destination, T, 0, skip},
    {"footerr", K::Destination, T, 0, skip},
    {"footnote", K::Destination, T, 0, skip},
    {"ftnsep", K::Destination, T, 0, skip},
    {"ftnsepc", K::Destination, T, 0, skip},
    {"generator", K::Destination, T, 0, skip},
    {"header", K::Destination, T, 0, skip},
    {"headerf", K::Destination, T, 0, skip},
    {"headerl", K::Destination, T, 0, skip},
    {"headerr", K::Destination, T, 0, skip},
    {"info", K::Destination, T, 0, skip},
    {"latentstyles", K::Destination, T, 0, skip},
    {"listoverridetable", K::Destination, T, 0, skip},
    {"listtable", K::Destination, T, 0, skip},
    {"listtext", K::Destination, T, 0, skip},
    {"macpict", K::Destination, T, 0, skip},
    {"mmathPr", K::Destination, T, 0, skip},
    {"objdata", K::Destination, T, 0, skip},
    {"passwordhash", K::Destination, T, 0, skip},
    {"pgdsctbl", K::Destination, T, 0, skip},
    {"pgptbl", K::Destination, T, 0, skip},
    {"pnseclvl", K::Destination, T, 0, skip},
    {"pntext", K::Destination, T, 0, skip},
    {"pntxta", K::Destination, T, 0, skip},
    {"pntxtb", K::Destination, T, 0, skip},
    {"private", K::Destination, T, 0, skip},
    {"revtbl", K::Destination, T, 0, skip},
    {"rsidtbl", K::Destination, T, 0, skip},
    {"shpinst", K::Destination, T, 0, skip},
    {"stylesheet", K::Destination, T, 0, skip},
    {"tc", K::Destination, T, 0, skip},
    {"template", K::Destination, T, 0, skip},
    {"themedata", K::Destination, T, 0, skip},
    {"txe", K::Destination, T, 0, skip},
    {"userprops", K::Destination, T, 0, skip},
    {"wgrffmtfilter", K::Destination, T, 0, skip},
    {"xe", K::Destination, T, 0, skip},
    {"xmlnstbl", K::Destination, T, 0, skip},

    // Font table.
    {"f", K::Value, Dest::FontTable, 0, fontEntry},
    {"fcharset", K::Value, Dest::FontTable, 0, fontCharset},
    {"cpg", K::Value, Dest::FontTable, 0, fontCodePage},
    // Colour table.
    {"red", K::Value, Dest::ColorTable, 0, [](P &p, int, int v) { p.tables().red = v; }},
    {"green", K::Value, Dest::ColorTable, 0, [](P &p, int, int v) { p.tables().green = v; }},
    {"blue", K::Value, Dest::ColorTable, 0, [](P &p, int, int v) { p.tables().blue = v; }},
    // Pictures.
    {"pngblip", K::Flag, Dest::Pict, int(PictKind::Png), pictureKind},
    {"jpegblip", K::Flag, Dest::Pict, int(PictKind::Jpeg), pictureKind},
    {"dibitmap", K::Flag, Dest::Pict, int(PictKind::Dib), pictureKind},
    {"wbitmap", K::Flag, Dest::Pict, int(PictKind::Wbitmap), pictureKind},
    {"wmetafile", K::Flag, Dest::Pict, int(PictKind::Wmf), pictureKind},
    {"emfblip", K::Flag, Dest::Pict, int(PictKind::Emf), pictureKind},
    {"macpict", K::Flag, Dest::Pict, int(PictKind::Mac), pictureKind},
    {"picw", K::Value, Dest::Pict, 0, [](P &p, int, int v) { p.picture().picw = v; }},
    {"pich", K::Value, Dest::Pict, 0, [](P &p, int, int v) { p.picture().pich = v; }},
    {"picwgoal", K::Value, Dest::Pict, 0, [](P &p, int, int v) { p.picture().goalW = v; }},
    {"pichgoal", K::Value, Dest::Pict, 0, [](P &p, int, int v) { p.picture().goalH = v; }},
    {"picscalex", K::Value, Dest::Pict, 0, [](P &p, int, int v) { p.picture().scaleX = std::clamp(v, 1, 1000); }},
    {"picscaley", K::Value, Dest::Pict, 0, [](P &p, int, int v) { p.picture().scaleY = std::clamp(v, 1, 1000); }},
    // Field instructions.
    {"u", K::Value, Dest::FieldInst, 0, fieldUnicode},
    // Old-style paragraph numbering.
    {"pnlvlblt", K::Flag, Dest::Pn, int(QTextListFormat::ListDisc), numberingStyle},
    {"pnlvlbody", K::Flag, Dest::Pn, int(QTextListFormat::ListDecimal), numberingStyle},
    {"pnlvlcont", K::Flag, Dest::Pn, 0, numberingStyle},
    {"pndec", K::Flag, Dest::Pn, int(QTextListFormat::ListDecimal), numberingStyle},
    {"pnlcltr", K::Flag, Dest::Pn, int(QTextListFormat::ListLowerAlpha), numberingStyle},
    {"pnucltr", K::Flag, Dest::Pn, int(QTextListFormat::ListUpperAlpha), numberingStyle},
    {"pnlcrm", K::Flag, Dest::Pn, int(QTextListFormat::ListLowerRoman), numberingStyle},
    {"pnucrm", K::Flag, Dest::Pn, int(QTextListFormat::ListUpperRoman), numberingStyle},

    // Document text: structure.
    {"par", K::Flag, T, 0, endParagraph},
    {"page", K::Flag, T, 0, endParagraph},
    {"sect", K::Flag, T, 0, endParagraph},
    {"nestcell", K::Flag, T, 0, endParagraph},
    {"nestrow", K::Flag, T, 0, endParagraph},
    // A \cell without \intbl still ends a table cell.
    {"cell", K::Flag, T, 0, [](P &p, int, int) { p.group().para.inTable = true; p.builder().cellEnd(); }},
    {"row", K::Flag, T, 0, [](P &p, int, int) { p.builder().rowEnd(); }},
    {"trowd", K::Flag, T, 0, [](P &p, int, int) { p.builder().tableRowDefinition(); }},
    {"cellx", K::Flag, T, 0, [](P &p, int, int) { p.builder().cellDefinition(); }},
    // Characters.
    {"u", K::Value, T, 0, [](P &p, int, int n) { p.unicode(n); }},
    {"uc", K::Value, T, 0, [](P &p, int, int v) { p.group().uc = std::max(0, v); }},
    {"line", K::Symbol, T, 0x2028},
    {"tab", K::Symbol, T, u'\t'},
    {"emdash", K::Symbol, T, 0x2014},
    {"endash", K::Symbol, T, 0x2013},
    {"lquote", K::Symbol, T, 0x2018},
    {"rquote", K::Symbol, T, 0x2019},
    {"ldblquote", K::Symbol, T, 0x201C},
    {"rdblquote", K::Symbol, T, 0x201D},
    {"bullet", K::Symbol, T, 0x2022},
    {"emspace", K::Symbol, T, 0x2003},
    {"enspace", K::Symbol, T, 0x2002},
    {"qmspace", K::Symbol, T, 0x2005},
    {"zwj", K::Symbol, T, 0x200D},
    {"zwnj", K::Symbol, T, 0x200C},
    {"ltrmark", K::Symbol, T, 0x200E},
    {"rtlmark", K::Symbol, T, 0x200F},
    // Character formats.
    {"plain", K::Flag, T, 0, plain},
    {"f", K::Value, T, 0, [](P &p, int, int v) { p.group().chr.font = std::max(0, v); }},
    {"fs", K::Value, T, 24, [](P &p, int, int v) { p.group().chr.halfPoints = std::clamp(v, 2, 3276); }},
    {"b", K::Toggle, T, 0, [](P &p, int, int on) { p.group().chr.bold = on; }},
    {"i", K::Toggle, T, 0, [](P &p, int, int on) { p.group().chr.italic = on; }},
    {"ul", K::Toggle, T, 0, setUnderline},
    {"uld", K::Toggle, T, 0, setUnderline},
    {"uldb", K::Toggle, T, 0, setUnderline},
    {"uldash", K::Toggle, T, 0, setUnderline},
    {"uldashd", K::Toggle, T, 0, setUnderline},
    {"uldashdd", K::Toggle, T, 0, setUnderline},
    {"ulth", K::Toggle, T, 0, setUnderline},
    {"ulw", K::Toggle, T, 0, setUnderline},
    {"ulwave", K::Toggle, T, 0, setUnderline},
    {"ulhwave", K::Toggle, T, 0, setUnderline},
    {"ululdbwave", K::Toggle, T, 0, setUnderline},
    {"ulnone", K::Flag, T, 0, [](P &p, int, int) { p.group().chr.underline = false; }},
    {"strike", K::Toggle, T, 0, setStrike},
    {"striked", K::Toggle, T, 0, setStrike},
    {"super", K::Flag, T, 1, setVertical},
    {"sub", K::Flag, T, 2, setVertical},
    {"nosupersub", K::Flag, T, 0, setVertical},
    {"cf", K::Value, T, 0, [](P &p, int, int v) { p.group().chr.fg = std::max(0, v); }},
    {"highlight", K::Value, T, 0, setBackground},
    {"cb", K::Value, T, 0, setBackground},
    {"chcbpat", K::Value, T, 0, setBackground},
    // Paragraph formats.
    {"pard", K::Flag, T, 0, [](P &p, int, int) { p.group().para = ParaProps{}; }},
    {"ql", K::Flag, T, 0, setAlignment},
    {"qc", K::Flag, T, 1, setAlignment},
    {"qr", K::Flag, T, 2, setAlignment},
    {"qj", K::Flag, T, 3, setAlignment},
    {"li", K::Value, T, 0, [](P &p, int, int v) { p.group().para.li = std::clamp(v, -kMaxTwips, kMaxTwips); }},
    {"ri", K::Value, T, 0, [](P &p, int, int v) { p.group().para.ri = std::clamp(v, -kMaxTwips, kMaxTwips); }},
    {"fi", K::Value, T, 0, [](P &p, int, int v) { p.group().para.fi = std::clamp(v, -kMaxTwips, kMaxTwips); }},
    {"sb", K::Value, T, 0, [](P &p, int, int v) { p.group().para.sb = std::clamp(v, 0, kMaxTwips); }},
    {"sa", K::Value, T, 0, [](P &p, int, int v) { p.group().para.sa = std::clamp(v, 0, kMaxTwips); }},
    {"sl", K::Value, T, 0, [](P &p, int, int v) { p.group().para.sl = std::clamp(v, -kMaxTwips, kMaxTwips); }},
    {"slmult", K::Toggle, T, 0, [](P &p, int, int on) { p.group().para.slmult = on; }},
    {"tx", K::Value, T, 0,
     [](P &p, int, int v) {
         if (p.group().para.tabs.size() < 64)
             p.group().para.tabs.append(std::clamp(v, 0, kMaxTwips));
     }},
    {"rtlpar", K::Flag, T, 1, setDirection},
    {"ltrpar", K::Flag, T, 0, setDirection},
    {"intbl", K::Flag, T, 0, [](P &p, int, int) { p.group().para.inTable = true; }},
    // Document settings.
    {"ansicpg", K::Value, T, 0, [](P &p, int, int v) { if (v > 0) p.tables().ansiCp = v; }},
    {"ansi", K::Flag, T, 1252, documentCodePage},
    {"mac", K::Flag, T, 10000, documentCodePage},
    {"pc", K::Flag, T, 437, documentCodePage},
    {"pca", K::Flag, T, 850, documentCodePage},
    {"deff", K::Value, T, 0, [](P &p, int, int v) { p.tables().defaultFont = std::max(0, v); }},
};

// Destination words share one place in the order whatever their `dest`.
constexpr int scopeOf(const Keyword &k)
{
    return k.kind == K::Destination ? -1 : int(k.dest);
}

constexpr bool before(const Keyword &a, const Keyword &b)
{
    return a.name < b.name || (a.name == b.name && scopeOf(a) < scopeOf(b));
}

constexpr auto kKeywords = [] {
    auto sorted = std::to_array(kTable);
    std::sort(sorted.begin(), sorted.end(), before);
    return sorted;
}();

constexpr bool eachOnce()
{
    for (size_t i = 1; i < kKeywords.size(); ++i)
        if (!before(kKeywords[i - 1], kKeywords[i]))
            return false;
    return true;
}
static_assert(eachOnce(), "a control word has two entries for one destination");

constexpr bool actionsPresent()
{
    return std::all_of(kKeywords.begin(), kKeywords.end(),
                       [](const Keyword &k) { return k.kind == K::Symbol || k.action; });
}
static_assert(actionsPresent(), "a control word without its action");

// One handler per keyword class: what the class gives the word's action.
using ClassHandler = void (*)(Parser &, const Keyword &, bool hasParam, int param);

void flag(Parser &p, const Keyword &k, bool, int)
{
    k.action(p, k.arg, 0);
}

void toggle(Parser &p, const Keyword &k, bool hasParam, int param)
{
    k.action(p, k.arg, (hasParam ? param : 1) != 0);
}

void value(Parser &p, const Keyword &k, bool hasParam, int param)
{
    k.action(p, k.arg, hasParam ? param : k.arg);
}

void symbol(Parser &p, const Keyword &k, bool, int)
{
    p.character(char32_t(k.arg));
}

void destination(Parser &p, const Keyword &k, bool, int)
{
    k.action(p, k.arg, 0);
}

// In the order of KeywordClass.
constexpr ClassHandler kClassHandlers[] = {flag, toggle, value, symbol, destination};
static_assert(std::size(kClassHandlers) == size_t(KeywordClass::Destination) + 1);

} // namespace

const Keyword *findKeyword(QByteArrayView word, Dest dest)
{
    const std::string_view name(word.data(), size_t(word.size()));
    auto it = std::lower_bound(kKeywords.begin(), kKeywords.end(), name,
                               [](const Keyword &k, std::string_view n) { return k.name < n; });
    const Keyword *anywhere = nullptr;
    for (; it != kKeywords.end() && it->name == name; ++it) {
        if (it->kind == K::Destination)
            anywhere = &*it;
        else if (it->dest == dest)
            return &*it;
    }
    return anywhere;
}

void runKeyword(Parser &parser, const Keyword &keyword, bool hasParam, int param)
{
    kClassHandlers[int(keyword.kind)](parser, keyword, hasParam, param);
}

} // namespace zorv::rtf

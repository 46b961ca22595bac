#pragma once

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QTextCharFormat>

#include <vector>

namespace zorv::rtf {

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

// The state a '{' saves and its '}' brings back.
struct GroupState
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

// What the document's header and fields define for the text that follows: code page,
// fonts, colours and the fields read so far.
struct DocumentTables
{
    int ansiCp = 1252;
    int defaultFont = 0;
    QHash<int, FontEntry> fonts;
    int fontEntry = -1; // font being defined in the font table
    QString fontName;
    QList<QColor> colors; // index 0 may be invalid (auto)
    int red = -1, green = -1, blue = -1;
    std::vector<FieldRecord> fields;

    // The code page text in font `font` (-1: the default font) is written in.
    int codePage(int font) const;
    QTextCharFormat charFormat(const CharProps &p) const;
};

} // namespace zorv::rtf

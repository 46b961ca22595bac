#include "rtfreadstate.h"

#include "rtfcodepages.h"
#include "rtfreader.h"

#include <algorithm>

namespace zorv::rtf {

int DocumentTables::codePage(int font) const
{
    auto f = fonts.constFind(font >= 0 ? font : defaultFont);
    if (f == fonts.cend())
        f = fonts.constFind(defaultFont);
    if (f == fonts.cend())
        return ansiCp;
    const int cp = f->codePage > 0 ? f->codePage : codePageOfCharset(f->charset);
    return cp > 0 ? cp : ansiCp;
}

QTextCharFormat DocumentTables::charFormat(const CharProps &p) const
{
    QTextCharFormat f;
    const int fontIndex = p.font >= 0 ? p.font : defaultFont;
    auto font = fonts.constFind(fontIndex);
    if (font == fonts.cend() && p.font >= 0)
        font = fonts.constFind(defaultFont);
    if (font != fonts.cend() && !font->name.isEmpty()) {
        f.setFontFamilies(QStringList{font->name});
        f.setProperty(kFontNameKeyProperty, font->name);
        if (font->charset == 2)
            f.setProperty(kSymbolFontProperty, true);
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
    if (p.fg > 0 && p.fg < colors.size() && colors[p.fg].isValid())
        f.setForeground(colors[p.fg]);
    if (p.bg > 0 && p.bg < colors.size() && colors[p.bg].isValid())
        f.setBackground(colors[p.bg]);
    if (p.link >= 0 && size_t(p.link) < fields.size() && !fields[p.link].href.isEmpty()) {
        f.setAnchor(true);
        f.setAnchorHref(fields[p.link].href);
    }
    return f;
}

} // namespace zorv::rtf

#pragma once

#include <QString>
#include <QStringList>

namespace zorv {

// The dictionary whose page for a word is this address followed by the word.
inline const QString kDictionaryBase = QStringLiteral("https://www.dicio.com.br/");

// The word with the accented Latin-1 vowels, "ç" and "ñ" (either case) replaced by their
// plain letters; every other character stays as it is ("Å", "Æ", "Ø", "Ý" included).
QString foldAccents(const QString &word);

// The dictionary page of `word`: `base` followed by the word, lower case and folded, as
// one path segment: letters and digits stay as they are, anything that would be address
// structure ("/", "?", "#", "%", spaces) is percent-encoded.
QString dictionaryAddress(const QString &base, const QString &word);

// The lines the meaning's inner markup leaves once each "<BR>" became two line ends and
// each "*" one, and every line containing "<SPAN" was dropped. Tags are matched exactly
// as the page model writes them, upper case.
QStringList meaningLines(const QString &innerHtml);

// The same lines for reading: remaining tags removed, character entities decoded
// ("&amp;" is "&", "&nbsp;" a space).
QStringList readableLines(const QStringList &lines);

} // namespace zorv

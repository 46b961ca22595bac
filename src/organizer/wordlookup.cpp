#include "organizer/wordlookup.h"

#include "store/textcodec.h"

#include <libxml/HTMLparser.h>

#include <string_view>

namespace zorv {

namespace {

// Each plain letter with the accented letters that fold into it.
struct FoldedLetters
{
    char16_t plain;
    std::u16string_view accented;
};

constexpr FoldedLetters kFoldedLetters[] = {
    {u'A', u"\u00C0\u00C1\u00C2\u00C3\u00C4"},
    {u'C', u"\u00C7"},
    {u'E', u"\u00C8\u00C9\u00CA\u00CB"},
    {u'I', u"\u00CC\u00CD\u00CE\u00CF"},
    {u'N', u"\u00D1"},
    {u'O', u"\u00D2\u00D3\u00D4\u00D5\u00D6"},
    {u'U', u"\u00D9\u00DA\u00DB\u00DC"},
    {u'a', u"\u00E0\u00E1\u00E2\u00E3\u00E4"},
    {u'c', u"\u00E7"},
    {u'e', u"\u00E8\u00E9\u00EA\u00EB"},
    {u'i', u"\u00EC\u00ED\u00EE\u00EF"},
    {u'n', u"\u00F1"},
    {u'o', u"\u00F2\u00F3\u00F4\u00F5\u00F6"},
    {u'u', u"\u00F9\u00FA\u00FB\u00FC"},
};

// The folded letter of an accented one, or the letter itself.
QChar folded(QChar c)
{
    for (const FoldedLetters &letters : kFoldedLetters) {
        if (letters.accented.find(c.unicode()) != std::u16string_view::npos)
            return QChar(letters.plain);
    }
    return c;
}

// The character an entity name stands for ("amp", "#233", "#xE9"); empty when unknown.
QString entityText(QStringView name)
{
    if (name.startsWith(u'#')) {
        bool ok = false;
        const uint code = (name.size() > 1 && (name[1] == u'x' || name[1] == u'X'))
                              ? name.mid(2).toUInt(&ok, 16)
                              : name.mid(1).toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return {};
        const char32_t c = code;
        return QString::fromUcs4(&c, 1);
    }
    const QByteArray latin = name.toLatin1();
    const htmlEntityDesc *entity = htmlEntityLookup(reinterpret_cast<const xmlChar *>(latin.constData()));
    if (!entity)
        return {};
    const char32_t c = entity->value;
    return QString::fromUcs4(&c, 1);
}

QString readable(const QString &line)
{
    QString out;
    out.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'<') {
            const qsizetype end = line.indexOf(u'>', i + 1);
            if (end >= 0) {
                i = end;
                continue;
            }
        } else if (c == u'&') {
            const qsizetype end = line.indexOf(u';', i + 1);
            if (end > i + 1 && end - i <= 12) {
                const QString text = entityText(QStringView(line).sliced(i + 1, end - i - 1));
                if (!text.isEmpty()) {
                    out += text == QStringLiteral("\u00A0") ? QStringLiteral(" ") : text;
                    i = end;
                    continue;
                }
            }
        }
        out += c;
    }
    return out;
}

} // namespace

QString foldAccents(const QString &word)
{
    QString out = word;
    for (QChar &c : out)
        c = folded(c);
    return out;
}

QString dictionaryAddress(const QString &base, const QString &word)
{
    const QString segment = foldAccents(word.toLower());
    QString out = base;
    for (QChar c : segment) {
        if (c.isLetterOrNumber() || c == u'-' || c == u'.' || c == u'_' || c == u'~') {
            out += c;
            continue;
        }
        for (const char byte : QString(c).toUtf8())
            out += QStringLiteral("%%1").arg(uint(uchar(byte)), 2, 16, QLatin1Char('0')).toUpper();
    }
    return out;
}

QStringList meaningLines(const QString &innerHtml)
{
    QString text = innerHtml;
    text.replace(QStringLiteral("<BR>"), QStringLiteral("\r\r"));
    text.replace(QLatin1Char('*'), QLatin1Char('\r'));
    QStringList lines;
    forEachLine(text, [&lines](QStringView line) {
        if (!line.contains(QLatin1String("<SPAN")))
            lines.append(line.toString());
    });
    return lines;
}

QStringList readableLines(const QStringList &lines)
{
    QStringList out;
    out.reserve(lines.size());
    for (const QString &line : lines)
        out.append(readable(line));
    return out;
}

} // namespace zorv

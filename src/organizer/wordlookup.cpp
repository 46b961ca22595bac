#include "organizer/wordlookup.h"

#include "store/textcodec.h"

#include <libxml/HTMLparser.h>

namespace zorv {

namespace {

// The folded letter of an accented one, or the letter itself.
QChar folded(QChar c)
{
    switch (c.unicode()) {
    case u'\u00C0':
    case u'\u00C1':
    case u'\u00C2':
    case u'\u00C3':
    case u'\u00C4':
        return u'A';
    case u'\u00C7':
        return u'C';
    case u'\u00C8':
    case u'\u00C9':
    case u'\u00CA':
    case u'\u00CB':
        return u'E';
    case u'\u00CC':
    case u'\u00CD':
    case u'\u00CE':
    case u'\u00CF':
        return u'I';
    case u'\u00D1':
        return u'N';
    case u'\u00D2':
    case u'\u00D3':
    case u'\u00D4':
    case u'\u00D5':
    case u'\u00D6':
        return u'O';
    case u'\u00D9':
    case u'\u00DA':
    case u'\u00DB':
    case u'\u00DC':
        return u'U';
    case u'\u00E0':
    case u'\u00E1':
    case u'\u00E2':
    case u'\u00E3':
    case u'\u00E4':
        return u'a';
    case u'\u00E7':
        return u'c';
    case u'\u00E8':
    case u'\u00E9':
    case u'\u00EA':
    case u'\u00EB':
        return u'e';
    case u'\u00EC':
    case u'\u00ED':
    case u'\u00EE':
    case u'\u00EF':
        return u'i';
    case u'\u00F1':
        return u'n';
    case u'\u00F2':
    case u'\u00F3':
    case u'\u00F4':
    case u'\u00F5':
    case u'\u00F6':
        return u'o';
    case u'\u00F9':
    case u'\u00FA':
    case u'\u00FB':
    case u'\u00FC':
        return u'u';
    default:
        return c;
    }
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

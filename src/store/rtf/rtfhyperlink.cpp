#include "rtfhyperlink.h"

namespace zorv::rtf {

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

} // namespace zorv::rtf

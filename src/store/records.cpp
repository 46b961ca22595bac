#include "records.h"

namespace zorv {

namespace {
constexpr qsizetype kFieldAfterLimit = 255;
}

QString FieldBefore(const QString &text, const QString &marker)
{
    const qsizetype pos = text.indexOf(marker);
    return pos < 0 ? text : text.left(pos);
}

QString FieldAfter(const QString &text, const QString &marker)
{
    const qsizetype pos = text.indexOf(marker);
    return pos < 0 ? QString() : text.mid(pos + marker.size(), kFieldAfterLimit);
}

int LastPos(const QString &sub, const QString &text)
{
    if (sub.size() > text.size())
        return 0;
    for (qsizetype pos = text.size() - sub.size(); pos >= 0; --pos) {
        if (QStringView(text).sliced(pos, sub.size()) == sub)
            return int(pos + 1);
    }
    return 0;
}

TaggedFields extractFields(const QString &line)
{
    TaggedFields f;
    f.f0 = FieldBefore(line, kMarker1);
    f.f1 = FieldBefore(FieldAfter(line, kMarker1), kMarker2);
    f.f2 = FieldBefore(FieldAfter(line, kMarker2), kMarker3);
    const QString rest = FieldAfter(line, kMarker3);
    const QString after4 = FieldAfter(rest, kMarker4);
    if (!after4.isEmpty()) {
        f.f4 = after4;
        f.f3 = FieldBefore(rest, kMarker4);
    } else {
        f.f3 = rest;
    }
    return f;
}

qsizetype findLineByPrefix(const QStringList &lines, const QString &key)
{
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].startsWith(key, Qt::CaseInsensitive))
            return i;
    }
    if (!lines.isEmpty() && lines[0].startsWith(key, Qt::CaseInsensitive))
        return 0;
    return -1;
}

} // namespace zorv

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

namespace {

QStringView viewBefore(QStringView text, QStringView marker)
{
    const qsizetype pos = text.indexOf(marker);
    return pos < 0 ? text : text.first(pos);
}

QStringView viewAfter(QStringView text, QStringView marker)
{
    const qsizetype pos = text.indexOf(marker);
    if (pos < 0)
        return {};
    const QStringView after = text.sliced(pos + marker.size());
    return after.first(qMin(after.size(), kFieldAfterLimit));
}

// The reading marker by marker, each field cut as FieldBefore and FieldAfter cut it.
TaggedFieldViews extractFieldViewsInFull(QStringView line)
{
    TaggedFieldViews f;
    f.f0 = viewBefore(line, kMarker1);
    f.f1 = viewBefore(viewAfter(line, kMarker1), kMarker2);
    f.f2 = viewBefore(viewAfter(line, kMarker2), kMarker3);
    const QStringView rest = viewAfter(line, kMarker3);
    const QStringView after4 = viewAfter(rest, kMarker4);
    if (!after4.isEmpty()) {
        f.f4 = after4;
        f.f3 = viewBefore(rest, kMarker4);
    } else {
        f.f3 = rest;
    }
    return f;
}

} // namespace

TaggedFieldViews extractFieldViews(QStringView line)
{
    // A line of the usual shape is read in one pass over its '<' characters: short enough
    // that no field is cut, and each marker's first occurrence after the previous one's
    // (or missing). Then every field lies between two first occurrences. Any other line
    // is read marker by marker.
    if (line.size() > kFieldAfterLimit + 3)
        return extractFieldViewsInFull(line);
    qsizetype at[5] = {-1, -1, -1, -1, -1};
    const qsizetype n = line.size();
    for (qsizetype i = line.indexOf(u'<'); i >= 0 && i + 2 < n; i = line.indexOf(u'<', i + 1)) {
        const char16_t d = line[i + 1].unicode();
        if (line[i + 2] == u'>' && d >= u'1' && d <= u'4' && at[d - u'0'] < 0)
            at[d - u'0'] = i;
    }
    for (int k = 2; k <= 4; ++k) {
        if (at[k] >= 0 && at[k - 1] >= 0 && at[k] < at[k - 1])
            return extractFieldViewsInFull(line);
    }
    // The text from the end of marker k to marker `next` (or to the end of the line).
    auto between = [&](int k, qsizetype next) {
        if (at[k] < 0)
            return QStringView();
        const qsizetype from = at[k] + 3;
        return next >= 0 ? line.sliced(from, next - from) : line.sliced(from);
    };
    TaggedFieldViews f;
    f.f0 = at[1] < 0 ? line : line.first(at[1]);
    f.f1 = between(1, at[2]);
    f.f2 = between(2, at[3]);
    const QStringView after4 = at[3] >= 0 ? between(4, -1) : QStringView();
    if (!after4.isEmpty()) {
        f.f4 = after4;
        f.f3 = between(3, at[4]);
    } else {
        f.f3 = between(3, -1);
    }
    return f;
}

TaggedFields extractFields(const QString &line)
{
    const TaggedFieldViews v = extractFieldViews(line);
    return {v.f0.toString(), v.f1.toString(), v.f2.toString(), v.f3.toString(), v.f4.toString()};
}

namespace {

// The shared search order: the second line to the last, then the first.
template<typename Match> qsizetype findInOrder(const QStringList &lines, Match matches)
{
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (matches(lines[i]))
            return i;
    }
    if (!lines.isEmpty() && matches(lines[0]))
        return 0;
    return -1;
}

// The search in that order with the letter case kept, and only when it finds nothing, the
// same search without regard to case: on a case-sensitive file system "A.txt" and "a.txt"
// are two files, while a list copied from Windows may spell a name in another case.
template<typename Match> qsizetype findLine(const QStringList &lines, Match matches)
{
    const qsizetype exact =
        findInOrder(lines, [&matches](const QString &l) { return matches(l, Qt::CaseSensitive); });
    if (exact >= 0)
        return exact;
    return findInOrder(lines, [&matches](const QString &l) { return matches(l, Qt::CaseInsensitive); });
}

} // namespace

qsizetype findLineByPrefix(const QStringList &lines, const QString &key)
{
    return findLine(lines,
                    [&key](const QString &l, Qt::CaseSensitivity cs) { return l.startsWith(key, cs); });
}

qsizetype findWholeLine(const QStringList &lines, const QString &line)
{
    return findLine(lines,
                    [&line](const QString &l, Qt::CaseSensitivity cs) { return l.compare(line, cs) == 0; });
}

QString oneLineText(QString text)
{
    for (QChar &c : text) {
        if (c == u'\r' || c == u'\n' || c == u'\0')
            c = u' ';
    }
    return text;
}

QString withoutMarkers(QString text, const QStringList &extra)
{
    static const QString markers[] = {kMarker1, kMarker2, kMarker3, kMarker4};
    for (;;) {
        const qsizetype before = text.size();
        for (const QString &m : markers)
            text.remove(m);
        for (const QString &m : extra) {
            if (!m.isEmpty())
                text.remove(m);
        }
        if (text.size() == before)
            return text;
    }
}

} // namespace zorv

#pragma once

#include <QString>
#include <QStringList>

namespace zorv {

// Marker texts that separate the fields of a tagged record line.
inline const QString kMarker1 = QStringLiteral("<1>");
inline const QString kMarker2 = QStringLiteral("<2>");
inline const QString kMarker3 = QStringLiteral("<3>");
inline const QString kMarker4 = QStringLiteral("<4>");

// The text before the first occurrence of `marker`; the whole text when it does not occur.
QString FieldBefore(const QString &text, const QString &marker);
// At most 255 characters after the first occurrence of `marker`; empty when it does not occur.
QString FieldAfter(const QString &text, const QString &marker);
// 1-based position of the last occurrence of `sub` in `text`, 0 when none; an empty
// `sub` matches at length(text) + 1.
int LastPos(const QString &sub, const QString &text);

// The five fields of a tagged record: F0 <1> F1 <2> F2 <3> F3 [<4> F4].
struct TaggedFields
{
    QString f0, f1, f2, f3, f4;
};

// The standard reading of one line; missing markers give whole-text or empty fields, and
// anything more than 255 characters after a marker is lost, as the field routines cut it.
TaggedFields extractFields(const QString &line);

// The same reading as views into the line, for readers that walk many lines without
// copying their fields.
struct TaggedFieldViews
{
    QStringView f0, f1, f2, f3, f4;
};
TaggedFieldViews extractFieldViews(QStringView line);

// Index of the first line that begins with `key`, searching from the second line to the
// last and then the first; -1 when none. Letters are compared with their case first; only
// when no line matches so is the first line that matches without regard to case taken
// ("A.txt" and "a.txt" are two files here; a list copied from Windows still works). Every
// delete from a list mirrored in a file looks its line up this way.
qsizetype findLineByPrefix(const QStringList &lines, const QString &key);
// The same search for the line equal to `line` as a whole, exact letter case first: a
// delete that must not take a longer line sharing the key's beginning ("/usr/bin/gimp" is
// not "/usr/bin/gimp-2.10").
qsizetype findWholeLine(const QStringList &lines, const QString &line);

// Typed text made safe to store as one line: CR, LF and NUL become spaces (a pasted line
// break would otherwise split the record in two).
QString oneLineText(QString text);

// `text` with every field marker ("<1>" … "<4>") and every text of `extra` (the "<>" or "|"
// a record also splits on) removed, repeated until none is left: a single pass would turn
// "<<4>4>" into "<4>". Every writer of a tagged record passes its fields through this.
QString withoutMarkers(QString text, const QStringList &extra = {});

} // namespace zorv

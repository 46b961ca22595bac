#pragma once

#include "store/rtf/rtfreader.h"

#include <QFile>
#include <QString>
#include <QTextDocument>

// The plain text of a rich-text file as the program reads it back; "<missing>" when the file
// cannot be opened, so a comparison names the fault.
inline QString plainTextOf(const QString &richTextFile)
{
    QFile f(richTextFile);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("<missing>");
    QTextDocument doc;
    zorv::readRtf(f.readAll(), doc);
    return doc.toPlainText();
}

#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <map>
#include <optional>

namespace zorv::rtf {

// The code page of a font's \fcharset; 0 for ANSI and the default (the document's page),
// 42 for the symbol charset (characters U+F000 + byte).
int codePageOfCharset(int charset);

// Decodes byte runs by code page; unknown pages and 1252 use the exact Windows-1252 table.
class PageDecoders
{
public:
    QString decode(int codePage, QByteArrayView bytes);

private:
    std::map<int, std::optional<QStringDecoder>> m_decoders;
};

} // namespace zorv::rtf

#include "rtfcodepages.h"

#include "store/textcodec.h"

namespace zorv::rtf {

namespace {

const char *converterName(int codePage)
{
    switch (codePage) {
    case 874:
        return "windows-874";
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 1250:
        return "windows-1250";
    case 1251:
        return "windows-1251";
    case 1253:
        return "windows-1253";
    case 1254:
        return "windows-1254";
    case 1255:
        return "windows-1255";
    case 1256:
        return "windows-1256";
    case 1257:
        return "windows-1257";
    case 1258:
        return "windows-1258";
    case 10000:
        return "macintosh";
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    default:
        return nullptr;
    }
}

} // namespace

int codePageOfCharset(int charset)
{
    switch (charset) {
    case 2:
        return 42; // symbol: U+F000 + byte
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0; // ANSI and default: the document's code page
    }
}

QString PageDecoders::decode(int codePage, QByteArrayView bytes)
{
    if (codePage == 42) {
        QString s(bytes.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            s[i] = QChar(char16_t(0xF000 + quint8(bytes[i])));
        return s;
    }
    if (codePage == 1252)
        return decodeWindows1252(bytes);
    auto it = m_decoders.find(codePage);
    if (it == m_decoders.end()) {
        std::optional<QStringDecoder> decoder;
        if (const char *name = converterName(codePage)) {
            QStringDecoder d(name, QStringConverter::Flag::Stateless);
            if (d.isValid())
                decoder.emplace(std::move(d));
        }
        // EUC-KR where the wider Korean page is not known.
        if (!decoder && codePage == 949) {
            QStringDecoder d("EUC-KR", QStringConverter::Flag::Stateless);
            if (d.isValid())
                decoder.emplace(std::move(d));
        }
        it = m_decoders.emplace(codePage, std::move(decoder)).first;
    }
    if (!it->second)
        return decodeWindows1252(bytes);
    return it->second->decode(bytes);
}

} // namespace zorv::rtf

// Synthetic file contents the benchmarks read: a stress RTF, a dictionary page and a bank
// statement of a chosen size.
#include "benchdata.h"

#include <QByteArray>
#include <QFileInfo>
#include <QString>

#include <random>

namespace zorv::bench {

QString stressRtf()
{
    const QString path = benchFile(QStringLiteral("richtext/stress.rtf"));
    if (!QFileInfo::exists(path))
        generateRichTextFiles(benchRoot());
    return path;
}

QByteArray syntheticDictionaryPage(qsizetype bytes)
{
    QByteArray page =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>significado</title></head>\n"
        "<body>\n";
    page.reserve(bytes + 4096);
    constexpr int depth = 48;
    int id = 0;
    while (page.size() < bytes) {
        for (int d = 0; d < depth; ++d) {
            page += d % 3 == 2 ? "<span" : "<div";
            if (d % 4 != 3)
                page += " id=\"e" + QByteArray::number(id++) + "\"";
            page += " class=\"nivel n" + QByteArray::number(d) + "\">";
            if (d % 6 == 0)
                page += "Texto de navega&ccedil;&atilde;o com <a href=\"/palavra/" + QByteArray::number(id) +
                        "\">liga\xc3\xa7\xc3\xa3o</a> &amp; mais";
        }
        for (int d = depth - 1; d >= 0; --d)
            page += d % 3 == 2 ? "</span>" : "</div>";
        page += '\n';
    }
    page += "<div id=\"significado\" class=\"significado textonovo\"><span class=\"cl\">substantivo "
            "feminino</span><br>A\xc3\xa7\xc3\xa3o ou efeito de agir*Movimento que alguma coisa "
            "faz<br><span class=\"etim\">Etimologia (origem da palavra)</span><br>Do latim actio</div>\n"
            "</body></html>\n";
    return page;
}

QByteArray syntheticStatement(int transactions)
{
    static const char *const names[] = {"PADARIA S\xc3O JO\xc3O",
                                        "SUPERMERCADO P\xc3O DE A\xc7\xda"
                                        "CAR",
                                        "TOK & STOK PARC 02/05",
                                        "C&A MODAS",
                                        "FARM\xc1"
                                        "CIA DROGA RAIA",
                                        "POSTO IPIRANGA",
                                        "SAL\xc1RIO EMPRESA LTDA",
                                        "PIX RECEBIDO JOS\xc9 SILVA",
                                        "TARIFA PACOTE SERVI\xc7OS",
                                        "CONTA DE LUZ ENEL"};
    std::mt19937 rng(20250101);
    QByteArray out(
        "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\nENCODING:USASCII\r\n"
        "CHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n\r\n<OFX>\r\n"
        "<SIGNONMSGSRSV1>\r\n<SONRS>\r\n<STATUS>\r\n<CODE>0\r\n<SEVERITY>INFO\r\n</STATUS>\r\n"
        "<DTSERVER>20251231120000[-3:BRT]\r\n<LANGUAGE>POR\r\n</SONRS>\r\n</SIGNONMSGSRSV1>\r\n"
        "<BANKMSGSRSV1>\r\n<STMTTRNRS>\r\n<TRNUID>1001\r\n<STATUS>\r\n<CODE>0\r\n<SEVERITY>INFO\r\n"
        "</STATUS>\r\n<STMTRS>\r\n<CURDEF>BRL\r\n<BANKACCTFROM>\r\n<BANKID>0341\r\n<BRANCHID>1234\r\n"
        "<ACCTID>56789-0\r\n<ACCTTYPE>CHECKING\r\n</BANKACCTFROM>\r\n<BANKTRANLIST>\r\n"
        "<DTSTART>20250101\r\n<DTEND>20251231\r\n");
    for (int i = 0; i < transactions; ++i) {
        const int day = int(qint64(i) * 365 / qMax(1, transactions));
        const QDate date = QDate(2025, 1, 1).addDays(day);
        const bool credit = rng() % 5 == 0;
        const int cents = int(rng() % 250000) + 1;
        QByteArray amount = QByteArray::number(cents / 100) + (rng() % 3 == 0 ? "," : ".") +
                            QByteArray::number(cents % 100).rightJustified(2, '0');
        if (!credit)
            amount.prepend('-');
        QByteArray fitId = QByteArray::number(20250000000LL + i);
        const unsigned pick = rng() % 50;
        if (pick == 0)
            fitId = "0"; // one FITID on many movements
        else if (pick == 1)
            fitId.clear();
        out += "<STMTTRN>\r\n<TRNTYPE>" + QByteArray(credit ? "CREDIT" : "DEBIT") + "\r\n<DTPOSTED>" +
               date.toString(QStringLiteral("yyyyMMdd")).toLatin1() + "120000[-3:BRT]\r\n<TRNAMT>" + amount +
               "\r\n<FITID>" + fitId + "\r\n<CHECKNUM>" + QByteArray::number(100000 + i) + "\r\n<MEMO>" +
               names[rng() % std::size(names)] + "\r\n</STMTTRN>\r\n";
    }
    out +=
        "</BANKTRANLIST>\r\n<LEDGERBAL>\r\n<BALAMT>0.00\r\n<DTASOF>20251231\r\n</LEDGERBAL>\r\n</STMTRS>\r\n"
        "</STMTTRNRS>\r\n</BANKMSGSRSV1>\r\n</OFX>\r\n";
    return out;
}

} // namespace zorv::bench

#include "benchdata.h"

#include "store/textlist.h"

#include <QBuffer>
#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <random>

namespace zorv::bench {

namespace {

const QStringList kOperations = {"Entrance", "Exit", "To pay", "To receive", "Quarrels"};
const QStringList kForms = {"Dinheiro", "Cartão", "Cheque", "Boleto", "Duplicata"};
const QStringList kSources = {"Supermercado Pão de Açúcar",
                              "Padaria São João",
                              "Farmácia Drogasil",
                              "Posto Ipiranga",
                              "Salário",
                              "Aluguel",
                              "Condomínio",
                              "Conta de luz",
                              "Conta de água",
                              "Internet e telefone",
                              "Escola das crianças",
                              "Plano de saúde",
                              "Açougue do Zé",
                              "Feira livre",
                              "Restaurante Sabor Mineiro",
                              "Cinema",
                              "Loja de roupas",
                              "Manutenção do carro",
                              "IPVA",
                              "IPTU",
                              "Presente de aniversário",
                              "Venda de bolos",
                              "Aulas particulares",
                              "Reembolso da empresa",
                              "Dentista",
                              "Academia",
                              "Livraria Cultura",
                              "Pet shop",
                              "Cabeleireiro",
                              "Material de construção"};
const QStringList kContacts = {"Ana Beatriz", "Bruno Costa",  "Carla Souza",  "Diego Lima",    "Elaine Rocha",
                               "Fábio Nunes", "Gisele Alves", "Hugo Martins", "Íris Ferreira", "João Pedro"};

// Cents as the ledgers write amounts: thousands grouped with ".", two decimals after ",".
QString ledgerAmount(qint64 cents)
{
    const bool negative = cents < 0;
    const qint64 abs = negative ? -cents : cents;
    QString whole = QString::number(abs / 100);
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
        whole.insert(i, QLatin1Char('.'));
    return (negative ? QStringLiteral("-") : QString()) + whole + QLatin1Char(',') +
           QStringLiteral("%1").arg(abs % 100, 2, 10, QLatin1Char('0'));
}

bool save(const QString &path, const QStringList &lines)
{
    return zorv::TextList(lines).save(path);
}

} // namespace

bool generateDataFolder(const QString &root, const GeneratedData &shape)
{
    const QString dados = root + QStringLiteral("/dados");
    for (const char *sub : {"Finance", "Notas", "Diary", "Media"}) {
        if (!QDir().mkpath(dados + QLatin1Char('/') + QLatin1String(sub)))
            return false;
    }
    std::mt19937 rng(20130305);
    bool ok = true;
    for (int y = shape.firstYear; y < shape.firstYear + shape.years; ++y) {
        QStringList yearLines;
        for (int m = 1; m <= 12; ++m) {
            QStringList monthLines;
            const int days = QDate(y, m, 1).daysInMonth();
            for (int i = 0; i < shape.entriesPerMonth; ++i) {
                const int op = int(rng() % 10 < 4 ? 1 : rng() % 5);
                const qint64 cents = qint64(rng() % 250000) + 100;
                const QString line =
                    ledgerAmount(cents) + QStringLiteral("<1>") +
                    QDate(y, m, 1 + int(rng() % days)).toString(QStringLiteral("dd/MM/yyyy")) +
                    QStringLiteral("<2>") + kOperations[op] + QStringLiteral("<3>") +
                    kSources[rng() % kSources.size()] + QStringLiteral("<4>") + kForms[rng() % kForms.size()];
                monthLines.append(line);
            }
            yearLines += monthLines;
            ok =
                save(QStringLiteral("%1/Finance/%2.%3.fin").arg(dados).arg(m, 2, 10, QLatin1Char('0')).arg(y),
                     monthLines) &&
                ok;
        }
        ok = save(QStringLiteral("%1/Finance/%2.CX").arg(dados).arg(y), yearLines) && ok;
    }
    ok = save(dados + QStringLiteral("/Fontes.cad"), kSources) && ok;
    ok = save(dados + QStringLiteral("/Money.sbm"), {QStringLiteral("R$")}) && ok;

    QStringList shortcuts, aliases;
    for (int i = 0; i < 60; ++i) {
        shortcuts << QStringLiteral("Programa %1<>/usr/bin/programa%1<>Aplicativos").arg(i);
        aliases << QStringLiteral("p%1<>/usr/bin/programa%1").arg(i);
    }
    ok = save(dados + QStringLiteral("/ma.list"), shortcuts) && ok;
    ok = save(dados + QStringLiteral("/Speed.Run"), aliases) && ok;
    for (const QString &c : kContacts) {
        ok = save(dados + QStringLiteral("/Notas/") + c + QStringLiteral(".tel"),
                  {c, QStringLiteral("(11) 5555-%1").arg(rng() % 10000, 4, 10, QLatin1Char('0')),
                   QStringLiteral("Rua das Flores, %1").arg(rng() % 900 + 1)}) &&
             ok;
    }
    ok = generateRichTextFiles(root) && ok;
    return ok;
}

namespace {

// One paragraph of rich-edit text: Portuguese words with accents as \'xx, a few formats
// and colours, and now and then a character outside Windows-1252 as \uN.
QByteArray richParagraph(std::mt19937 &rng, int words)
{
    static const char *const kWords[] = {
        "Lembrar",    "de",       "pagar",         "a",          "conta",        "luz",      "reuni\\'e3o",
        "amanh\\'e3", "caf\\'e9", "li\\'e7\\'e3o", "m\\'e9dico", "farm\\'e1cia", "\\u8364?", "\\u1046?",
        "sa\\'fade",  "escola"};
    QByteArray p;
    for (int w = 0; w < words; ++w) {
        const unsigned pick = rng() % 16;
        switch (rng() % 12) {
        case 0:
            p += "{\\b " + QByteArray(kWords[pick]) + "} ";
            break;
        case 1:
            p += "{\\i " + QByteArray(kWords[pick]) + "} ";
            break;
        case 2:
            p += "\\cf" + QByteArray::number(rng() % 6 + 1) + ' ' + kWords[pick] + "\\cf1 ";
            break;
        case 3:
            p += "{\\f1\\fs28 " + QByteArray(kWords[pick]) + "} ";
            break;
        default:
            p += QByteArray(kWords[pick]) + ' ';
            break;
        }
    }
    return p;
}

const QByteArray kRichHeader =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1046{\\fonttbl{\\f0\\fnil\\fcharset0 "
    "Verdana;}{\\f1\\fnil\\fcharset0 Tahoma;}{\\f2\\fnil\\fcharset238 Arial CE;}}\r\n"
    "{\\colortbl ;\\red192\\green192\\blue192;\\red255\\green0\\blue0;\\red0\\green128"
    "\\blue0;\\red0\\green0\\blue255;\\red128\\green0\\blue128;\\red0\\green128\\blue128;}\r\n"
    "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs24 ";

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace

bool generateRichTextFiles(const QString &root)
{
    std::mt19937 rng(20130315);
    bool ok = QDir().mkpath(root + QStringLiteral("/richtext"));

    // The stress document: paragraphs, a table every 40 paragraphs, one large picture.
    QByteArray stress = kRichHeader;
    QImage noise(300, 340, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, rng() & 0xFFFFFF);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    noise.save(&buffer, "PNG");
    const qsizetype target = 2 * 1024 * 1024;
    for (int n = 0; stress.size() < target; ++n) {
        if (n % 40 == 39) {
            for (int r = 0; r < 4; ++r) {
                stress += "\\trowd\\trgaph108\\cellx3000\\cellx6000\\cellx9000\r\n\\pard\\intbl ";
                for (int c = 0; c < 3; ++c)
                    stress += richParagraph(rng, 3) + "\\cell ";
                stress += "\\row\r\n";
            }
            stress += "\\pard ";
        }
        if (n % 7 == 0)
            stress += "\\f2 \\'8a\\'9e\\'e8 \\f0 ";
        stress += richParagraph(rng, 24) + "\\par\r\n";
        if (n == 200) {
            stress += "{\\pict\\pngblip\\picw300\\pich340\\picwgoal4500\\pichgoal5100\r\n";
            const QByteArray hex = png.toHex();
            for (qsizetype i = 0; i < hex.size(); i += 128)
                stress += hex.mid(i, 128) + "\r\n";
            stress += "}\\par\r\n";
        }
    }
    stress += "}\r\n";
    ok = writeBytes(root + QStringLiteral("/richtext/stress.rtf"), stress) && ok;

    // The quick notes: 50 KB in the rich-edit shape.
    QByteArray notes = kRichHeader;
    while (notes.size() < 50 * 1024)
        notes += richParagraph(rng, 20) + "\\par\r\n";
    notes += "}\r\n";
    ok = writeBytes(root + QStringLiteral("/dados/Notas/Notas.speed"), notes) && ok;

    // A diary page of about 2 KB for every day of 2013.
    for (QDate day(2013, 1, 1); day.year() == 2013; day = day.addDays(1)) {
        QByteArray page = kRichHeader;
        while (page.size() < 2000)
            page += richParagraph(rng, 16) + "\\par\r\n";
        page += "}\r\n";
        ok = writeBytes(root + QStringLiteral("/dados/Diary/") + day.toString(QStringLiteral("dd.MM.yyyy")),
                        page) &&
             ok;
    }
    return ok;
}

QString stressRtf()
{
    const QString path = benchFile(QStringLiteral("richtext/stress.rtf"));
    if (!QFileInfo::exists(path))
        generateRichTextFiles(benchRoot());
    return path;
}

QString benchRoot()
{
    QString root = qEnvironmentVariable("ZORV_BENCH_DATA");
    if (root.isEmpty())
        root = QDir::tempPath() + QStringLiteral("/zorv-bench-data");
    if (!QFileInfo::exists(root + QStringLiteral("/dados/Finance")))
        generateDataFolder(root);
    return root;
}

QString benchFile(const QString &relative)
{
    return benchRoot() + QLatin1Char('/') + relative;
}

namespace {
QString largestBy(const QString &pattern, bool byLines)
{
    QString best;
    qint64 bestSize = -1;
    QDirIterator it(benchFile(QStringLiteral("dados/Finance")), {pattern}, QDir::Files);
    while (it.hasNext()) {
        const QString path = it.next();
        qint64 size = it.fileInfo().size();
        if (byLines) {
            zorv::TextList list;
            list.load(path);
            size = list.lines().size();
        }
        if (size > bestSize) {
            bestSize = size;
            best = path;
        }
    }
    return best;
}
} // namespace

QString largestYearLedger()
{
    return largestBy(QStringLiteral("*.CX"), false);
}

QString largestMonthLedger()
{
    return largestBy(QStringLiteral("*.fin"), true);
}

} // namespace zorv::bench

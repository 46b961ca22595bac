#include "benchdata.h"

#include "store/textlist.h"

#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

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
    ok = save(dados + QStringLiteral("/Notas/Notas.speed"),
              {QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Tahoma;}}"),
               QStringLiteral("\\f0\\fs16 Lembrar de pagar a conta de luz.\\par"), QStringLiteral("}")}) &&
         ok;
    ok = generateAppointments(root) && ok;
    for (int d = 1; d <= 28; ++d) {
        ok = save(QStringLiteral("%1/Diary/%2.03.2013").arg(dados).arg(d, 2, 10, QLatin1Char('0')),
                  {QStringLiteral("{\\rtf1\\ansi Dia tranquilo.\\par}")}) &&
             ok;
    }
    ok = generateAccessPassword(root) && ok;
    return ok;
}

bool generateAppointments(const QString &root)
{
    static const QStringList subjects = {
        QStringLiteral("Reunião com o contador"),         QStringLiteral("Consulta no dentista"),
        QStringLiteral("Pagar a conta de luz"),           QStringLiteral("Aniversário da Conceição"),
        QStringLiteral("Levar o carro à revisão"),        QStringLiteral("Aula de inglês"),
        QStringLiteral("Entregar relatório à diretoria"), QStringLiteral("Buscar as crianças na escola")};
    std::mt19937 rng(20130306);
    QStringList lines;
    lines.reserve(kAppointmentRecords);
    const QDate first(2006, 1, 1);
    for (int i = 0; i < kAppointmentRecords; ++i) {
        const QDate day = first.addDays(qint64(i) * 7305 / kAppointmentRecords + int(rng() % 3));
        const QString time = rng() % 10 == 0 ? QStringLiteral("  :  :  ")
                                             : QStringLiteral("%1:%2:00")
                                                   .arg(int(rng() % 24), 2, 10, QLatin1Char('0'))
                                                   .arg(int(rng() % 60), 2, 10, QLatin1Char('0'));
        QString text = subjects[rng() % subjects.size()];
        const int extra = int(rng() % 8);
        for (int k = 0; k < extra && text.size() < 300; ++k)
            text += QStringLiteral(", ") + subjects[rng() % subjects.size()];
        lines.append(day.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral("<>") + time +
                     QLatin1Char('|') + text.left(300));
    }
    const QString notas = root + QStringLiteral("/dados/Notas");
    return QDir().mkpath(notas) && save(notas + QStringLiteral("/Tasks.go"), lines) &&
           save(notas + QStringLiteral("/Music.comp"), {QStringLiteral("/home/usuario/Música/alerta.wav")});
}

bool generateAccessPassword(const QString &root)
{
    // "20130305" scrambled (each character XOR 0x6F) as the password file's one line.
    const QString windows = root + QStringLiteral("/windows");
    return QDir().mkpath(windows) &&
           save(windows + QStringLiteral("/MSDoc.dat"), {QStringLiteral("]_^\\_\\_Z")});
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

QString benchRoot()
{
    QString root = qEnvironmentVariable("ZORV_BENCH_DATA");
    if (root.isEmpty())
        root = QDir::tempPath() + QStringLiteral("/zorv-bench-data");
    if (!QFileInfo::exists(root + QStringLiteral("/dados/Finance")))
        generateDataFolder(root);
    else if (!QFileInfo::exists(root + QStringLiteral("/dados/Notas/Tasks.go")))
        generateAppointments(root); // a folder generated before the appointments existed
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

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
const QStringList kFirstNames = {"ANA",    "BRUNO",    "CARLA",  "DIEGO",  "ELAINE", "FÁBIO",  "GISELE",
                                 "HUGO",   "ÍRIS",     "JOÃO",   "KÁTIA",  "LUÍS",   "MÁRCIA", "NÍCOLAS",
                                 "OTÁVIO", "PATRÍCIA", "RAFAEL", "SÉRGIO", "TÂNIA",  "VÍTOR"};
const QStringList kLastNames = {"ALVES",   "BARBOSA", "COSTA",    "DIAS",    "FERREIRA", "GOMES", "LIMA",
                                "MARTINS", "NUNES",   "OLIVEIRA", "PEREIRA", "ROCHA",    "SOUZA", "TEIXEIRA"};
const QStringList kPhoneCategories = {"Pessoal", "Trabalho", "Negócios", "Religião", "Lazer"};
const QStringList kActivityCategories = {"Vendas", "Negócios", "Trabalho", "Pessoal"};
const QStringList kTopics = {"PROPOSTA ENVIADA", "REUNIÃO MARCADA", "RETORNO POR TELEFONE",
                             "CONTRATO ASSINADO", "ORÇAMENTO REVISADO"};

// The i-th contact's name: first and last name, a number once the pairs run out.
QString contactName(int i)
{
    const int pairs = int(kFirstNames.size() * kLastNames.size());
    QString name = kFirstNames[i % kFirstNames.size()] + QLatin1Char(' ') +
                   kLastNames[(i / kFirstNames.size()) % kLastNames.size()];
    if (i >= pairs)
        name += QStringLiteral(" %1").arg(i / pairs + 1);
    return name;
}

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
    ok = generateContactFiles(root, shape.contacts) && ok;
    ok = save(dados + QStringLiteral("/Notas/Notas.speed"),
              {QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Tahoma;}}"),
               QStringLiteral("\\f0\\fs16 Lembrar de pagar a conta de luz.\\par"), QStringLiteral("}")}) &&
         ok;
    for (int d = 1; d <= 28; ++d) {
        ok = save(QStringLiteral("%1/Diary/%2.03.2013").arg(dados).arg(d, 2, 10, QLatin1Char('0')),
                  {QStringLiteral("{\\rtf1\\ansi Dia tranquilo.\\par}")}) &&
             ok;
    }
    return ok;
}

bool generateContactFiles(const QString &root, int count)
{
    const QString notas = root + QStringLiteral("/dados/Notas/");
    std::mt19937 rng(20130315);
    bool ok = true;
    for (int i = 0; i < count; ++i) {
        const QString name = contactName(i);
        const int saves = 1 + int(rng() % 3);
        QStringList phone, activities;
        for (int s = 0; s < saves; ++s) {
            const QString number = QStringLiteral("(%1) %2-%3")
                                       .arg(11 + rng() % 89)
                                       .arg(2000 + rng() % 8000, 4, 10, QLatin1Char('0'))
                                       .arg(rng() % 10000, 4, 10, QLatin1Char('0'));
            const QString email = rng() % 3 == 0 ? QStringLiteral("Não informado")
                                                 : QStringLiteral("contato%1@exemplo.com.br").arg(i);
            const QString note =
                rng() % 2 == 0 ? QStringLiteral("Sem observação") : QStringLiteral("Ligar à tarde");
            phone << name + QStringLiteral("<1>") + number + QStringLiteral("<2>") +
                         kPhoneCategories[rng() % kPhoneCategories.size()] + QStringLiteral("<3>") + email +
                         QStringLiteral("<4>") + note;
            const QDate day = QDate(2013, 1, 1).addDays(rng() % 365);
            activities << name + QStringLiteral("<1>") + day.toString(QStringLiteral("dd/MM/yyyy")) +
                              QStringLiteral("<2>") +
                              kActivityCategories[rng() % kActivityCategories.size()] +
                              QStringLiteral("<3>") + kTopics[rng() % kTopics.size()];
        }
        ok = save(notas + name + QStringLiteral(".tel"), phone) && ok;
        ok = save(notas + name + QStringLiteral(".map"), activities) && ok;
    }
    ok = save(notas + QStringLiteral("Map.next"), {QStringLiteral("Clientes de março: ligar antes das 10h."),
                                                   QStringLiteral("Enviar tabela nova.")}) &&
         ok;
    return ok;
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

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
    return zorv::TextList(lines).save(path).ok();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The item `i` of the launcher's targets under root/alvos: documents of several types,
// folders, symbolic links, desktop entries, programs, and some paths with nothing there.
// Returns its path; false in `ok` when it could not be made.
QString makeTarget(const QString &alvos, int i, bool &ok)
{
    static const char *const kExtensions[] = {".txt", ".pdf", ".odt", ".png", ".mp3", ".html"};
    const QString base = alvos + QStringLiteral("/item%1").arg(i, 3, 10, QLatin1Char('0'));
    switch (i % 8) {
    case 0:
    case 1:
    case 2: {
        const QString path = base + QLatin1String(kExtensions[i % 6]);
        ok = writeBytes(path, "conteudo\n") && ok;
        return path;
    }
    case 3:
        ok = QDir().mkpath(base) && ok;
        return base;
    case 4: { // a link to a document
        const QString path = base + QStringLiteral(".lnk");
        const QString target = base + QStringLiteral("-alvo.pdf");
        ok = writeBytes(target, "%PDF-1.4\n") && ok;
        QFile::remove(path);
        ok = QFile::link(target, path) && ok;
        return path;
    }
    case 5: { // a desktop entry with its own picture
        const QString path = base + QStringLiteral(".desktop");
        ok = writeBytes(path, "[Desktop Entry]\nType=Application\nName=Item\nExec=true\nIcon=" +
                                  (alvos + QStringLiteral("/icone.png")).toUtf8() + "\n") &&
             ok;
        return path;
    }
    case 6: { // a program
        const QString path = base + QStringLiteral(".sh");
        ok = writeBytes(path, "#!/bin/sh\nexit 0\n") && ok;
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    default: // gone since it was added
        return base + QStringLiteral("-ausente.doc");
    }
}

// The shortcut list (300 items), the aliases (100), the automatic tasks (40) and a folder
// history of 60 folders, all naming items under root/alvos.
bool writeLauncherLists(const QString &root, const QString &dados)
{
    const QString alvos = root + QStringLiteral("/alvos");
    bool ok = QDir().mkpath(alvos);
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::darkCyan);
    ok = icon.save(alvos + QStringLiteral("/icone.png")) && ok;
    QStringList shortcuts, aliases, tasks, historyNames, historyPaths;
    for (int i = 0; i < 300; ++i) {
        const QString path = makeTarget(alvos, i, ok);
        shortcuts << QStringLiteral("Item %1<>").arg(i) + path;
        if (i < 100)
            aliases << QStringLiteral("A%1<>").arg(i) + path;
        if (i < 40)
            tasks << path;
    }
    for (int i = 0; i < 60; ++i) {
        const QString folder = alvos + QStringLiteral("/pasta%1").arg(i, 2, 10, QLatin1Char('0'));
        ok = QDir().mkpath(folder) && ok;
        historyNames << QStringLiteral("pasta%1").arg(i, 2, 10, QLatin1Char('0'));
        historyPaths << folder;
    }
    ok = save(dados + QStringLiteral("/ma.list"), shortcuts) && ok;
    ok = save(dados + QStringLiteral("/Speed.Run"), aliases) && ok;
    ok = save(dados + QStringLiteral("/Task.list"), tasks) && ok;
    ok = save(dados + QStringLiteral("/history.nav"), historyNames) && ok;
    ok = save(dados + QStringLiteral("/history.naveg"), historyPaths) && ok;
    return ok;
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

    ok = writeLauncherLists(root, dados) && ok;
    ok = generateContactFiles(root, shape.contacts) && ok;
    ok = generateAppointments(root) && ok;
    ok = generateRichTextFiles(root) && ok;
    ok = generateAccessPassword(root) && ok;
    ok = generateMusicFolder(root) && ok;
    ok = generateEmployeeList(root) && ok;
    ok = generatePictureFolder(root) && ok;
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
    ok = generateAccessPassword(root) && ok;
    ok = generateMusicFolder(root) && ok;
    ok = generateEmployeeList(root) && ok;
    ok = generatePictureFolder(root) && ok;
    return ok;
}

bool generateAccessPassword(const QString &root)
{
    // "20130305" scrambled (each character XOR 0x6F) as the password file's one line.
    const QString windows = root + QStringLiteral("/windows");
    return QDir().mkpath(windows) &&
           save(windows + QStringLiteral("/MSDoc.dat"), {QStringLiteral("]_^\\_\\_Z")});
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

bool generateMusicFolder(const QString &root)
{
    const QString folder = root + QStringLiteral("/Musicas");
    if (!QDir().mkpath(folder))
        return false;
    static const QStringList words = {"Água",  "Zeca",    "canção", "Órfã",   "samba", "Forró",
                                      "BAIÃO", "frevo",   "Choro",  "éramos", "Luar",  "sertão",
                                      "MPB",   "ciranda", "Xote",   "ação"};
    static const QStringList music = {".mp3", ".MP3", ".wma", ".Wma"};
    static const QStringList others = {".txt", ".jpg", ".m3u", ".mp3.bak"};
    std::mt19937 rng(20130306);
    bool ok = true;
    for (int i = 0; i < 2000; ++i) {
        const QString base = QStringLiteral("%1 %2 %3")
                                 .arg(words[rng() % words.size()], words[rng() % words.size()])
                                 .arg(i, 4, 10, QLatin1Char('0'));
        const QString ending = i % 5 == 4 ? others[rng() % others.size()] : music[rng() % music.size()];
        QFile f(folder + QLatin1Char('/') + base + ending);
        ok = f.open(QIODevice::WriteOnly) && ok;
    }
    return save(root + QStringLiteral("/dados/Play.list"),
                {QDir::toNativeSeparators(folder) + QDir::separator()}) &&
           ok;
}

bool generateEmployeeList(const QString &root)
{
    const QString programs = root + QStringLiteral("/Aplicativos");
    if (!QDir().mkpath(programs) || !QDir().mkpath(root + QStringLiteral("/windows")))
        return false;
    bool ok = true;
    QStringList lines;
    for (int i = 0; i < 200; ++i) {
        const QString name = QStringLiteral("programa%1.exe").arg(i, 3, 10, QLatin1Char('0'));
        const QString path = programs + QLatin1Char('/') + name;
        lines << QStringLiteral("Programa %1<>%2@%3").arg(i).arg(name, path);
        if (i % 10 == 9) {
            QFile::remove(path);
            continue;
        }
        QFile file(path);
        ok = file.open(QIODevice::WriteOnly) && file.write("#!/bin/sh\n") > 0 && ok;
        file.close();
        ok = file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther) &&
             ok;
    }
    return save(root + QStringLiteral("/windows/MSWinDirBase.vxd"), lines) && ok;
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

bool generatePictureFolder(const QString &root)
{
    const QString folder = root + QStringLiteral("/Imagens");
    if (!QDir().mkpath(folder))
        return false;
    bool ok = true;
    // A gradient with a grid: deterministic, and not trivially compressible.
    auto paint = [](int w, int h, int seed) {
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < w; ++x) {
                const bool grid = (x % 97 == 0) || (y % 89 == 0);
                line[x] = grid ? qRgb(255, 255, 255)
                               : qRgb((x * 255 / w + seed * 40) & 255, (y * 255 / h) & 255,
                                      ((x ^ y) + seed * 17) & 255);
            }
        }
        return image;
    };
    static const char *const formats[] = {"jpg", "png", "bmp", "tiff"};
    for (int i = 0; i < 12; ++i) {
        const QString name = QStringLiteral("%1/foto%2.%3")
                                 .arg(folder)
                                 .arg(i + 1, 2, 10, QLatin1Char('0'))
                                 .arg(QLatin1String(formats[i % 4]));
        ok = paint(320, 240, i).save(name, nullptr, 85) && ok;
    }
    ok = paint(6000, 4000, 7).save(folder + QStringLiteral("/grande.jpg"), "JPEG", 85) && ok;
    return save(root + QStringLiteral("/dados/Slide.list"),
                {QDir::toNativeSeparators(folder) + QDir::separator()}) &&
           ok;
}

QString benchRoot()
{
    QString root = qEnvironmentVariable("ZORV_BENCH_DATA");
    if (root.isEmpty())
        root = QDir::tempPath() + QStringLiteral("/zorv-bench-data");
    if (!QFileInfo::exists(root + QStringLiteral("/dados/Finance"))) {
        generateDataFolder(root);
        return root;
    }
    // A folder generated before a page's files existed gets them now.
    if (!QFileInfo::exists(root + QStringLiteral("/dados/Notas/Tasks.go")))
        generateAppointments(root);
    if (!QFileInfo::exists(root + QStringLiteral("/Musicas")))
        generateMusicFolder(root);
    if (!QFileInfo::exists(root + QStringLiteral("/Imagens/grande.jpg")))
        generatePictureFolder(root);
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

bool generateFullSuite(const QString &root)
{
    bool ok = writeBytes(root + QStringLiteral("/dados/Suite.full"), "57948579487593465966\r\n");
    ok = writeBytes(root + QStringLiteral("/dados/Personal.not"), "45\r\n") && ok;
    return ok;
}

} // namespace zorv::bench

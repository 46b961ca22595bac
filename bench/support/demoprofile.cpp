// Writes the demo installation with the program's own writers, so every file holds the
// bytes the pages would have written for what a user typed.
#include "demoprofile.h"

#include "finance/ledger.h"
#include "organizer/appointments.h"
#include "organizer/contactfolder.h"
#include "organizer/contactrecords.h"
#include "organizer/diaryfiles.h"
#include "settings/backupsettings.h"
#include "store/paths.h"
#include "store/richtextfile.h"
#include "store/textlist.h"

#include <QColor>
#include <QDir>
#include <QtEndian>
#include <QTextCursor>
#include <QtMath>

namespace zorv::bench {

namespace {

bool writeLedgers(const Paths &paths, const DemoLedger &ledger)
{
    QList<LedgerAppend> appends;
    appends.reserve(ledger.entries.size() * 2);
    for (const LedgerEntry &entry : ledger.entries) {
        const QString line = buildLedgerLine(entry);
        appends.append({monthLedgerName(monthKey(entry.date)), line});
        appends.append({yearLedgerName(yearKey(entry.date)), line});
    }
    // The source field's list and the symbol field's line, as the entry row stores them.
    return LedgerFiles(paths).appendLines(appends).ok() &&
           TextList(ledger.sources).save(paths.resolve(kSourcesFile)).ok() &&
           TextList(QStringList{QStringLiteral("R$")}).save(paths.resolve(kSymbolFile)).ok();
}

bool writeAppointments(const Paths &paths, const QDate &today)
{
    struct Appointment
    {
        int days;
        const char *time;
        const char *text;
    };
    static const Appointment kAppointments[] = {
        {-9, "14:30:00", "Consulta no dentista (Dra. Helena)"},
        {-3, "19:00:00", "Reunião de pais na escola"},
        {0, "10:00:00", "Ligar para o seguro do carro"},
        {2, "08:00:00", "Levar o carro à revisão"},
        {5, "  :  :  ", "Aniversário da Conceição - comprar presente"},
        {11, "16:15:00", "Vacina do Tobias no pet shop"},
    };
    // The appointments page's own list: a text UTF-8 only can hold moves it to UTF-8.
    TextList lines(TextList::SavePolicy::Utf8WhenNeeded);
    for (const Appointment &a : kAppointments)
        lines.lines().append(
            appointmentLine(today.addDays(a.days), QString::fromUtf8(a.time), QString::fromUtf8(a.text)));
    return lines.save(paths.resolve(kAppointmentsFile)).ok();
}

// A rich-text page as the diary and the notes editors write one: Verdana, the text typed
// in the editors' typing format, paragraph by paragraph.
bool writeRichText(const QString &path, const QStringList &paragraphs, const QColor &colour)
{
    ContainedTextDocument document;
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPixelSize(16);
    document.setDefaultFont(verdana);
    QTextCharFormat typing;
    typing.setFontFamilies({QStringLiteral("Verdana")});
    typing.setFontPointSize(12);
    if (colour.isValid())
        typing.setForeground(colour);
    QTextCursor cursor(&document);
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            cursor.insertBlock();
        cursor.insertText(paragraphs[i], typing);
    }
    return saveRichTextFile(path, document);
}

bool writeDiaryAndNotes(const Paths &paths, const QDate &today)
{
    const QColor silver = QColor::fromRgb(0xC0C0C0); // the diary editor's text colour
    const QString diary = paths.resolve(QStringLiteral("dados\\Diary")) + QLatin1Char('/');
    bool ok = writeRichText(
        diary + diaryPageName(today.addDays(-6)),
        {QStringLiteral("Domingo de sol. Fomos ao parque com as crianças e almoçamos na "
                        "casa da vó Conceição."),
         QStringLiteral("Combinamos de guardar R$ 500,00 por mês para a viagem de fim de ano.")},
        silver);
    ok = writeRichText(diary + diaryPageName(today.addDays(-1)),
                       {QStringLiteral("Reunião de pais: a Júlia vai muito bem em matemática."),
                        QStringLiteral("Lembrar: a conta de luz veio mais alta, conferir o chuveiro.")},
                       silver) &&
         ok;
    ok = writeRichText(paths.resolve(QStringLiteral("dados\\Notas\\Notas.speed")),
                       {QStringLiteral("Lista do mercado: arroz, feijão, café, leite, frutas, pão de forma."),
                        QStringLiteral("Senha do Wi-Fi da casa da praia: está no caderno azul."),
                        QStringLiteral("Renovar a carteira de motorista até março."),
                        QStringLiteral("Ideia: juntar as notas fiscais do ano para a declaração do IR.")},
                       QColor()) &&
         ok;
    return ok;
}

bool writeContacts(const Paths &paths)
{
    static const ContactEntry kContacts[] = {
        {QStringLiteral("CONCEIÇÃO SILVA"), QStringLiteral("(11) 3456-7890"), QStringLiteral("Pessoal"),
         QStringLiteral("conceicao.silva@exemplo.com.br"), QStringLiteral("Vó das crianças")},
        {QStringLiteral("DRA. HELENA COSTA"), QStringLiteral("(11) 2233-4455"), QStringLiteral("Pessoal"),
         QStringLiteral("Não informado"), QStringLiteral("Dentista, atende às terças e quintas")},
        {QStringLiteral("MARCOS OLIVEIRA"), QStringLiteral("(11) 9876-5432"), QStringLiteral("Trabalho"),
         QStringLiteral("marcos.oliveira@exemplo.com.br"), QStringLiteral("Sem observação")},
    };
    // The phone book appends each save to the contact's own file.
    const ContactFolder folder(paths, kPhoneBookExtension);
    TextList list(TextList::SavePolicy::Utf8WhenNeeded);
    bool ok = true;
    for (const ContactEntry &contact : kContacts)
        ok = folder.appendLine(list, contact.name, contactLine(contact)) && ok;
    return ok;
}

// Two short tracks in a music folder and the playlist naming it. The track list shows
// ".mp3" and ".wma" names only; the tracks are WAV inside, which playback recognises by
// their header.
bool writeMusic(const QString &root, const Paths &paths)
{
    const QString folder = QDir(root).filePath(kDemoMusicFolder);
    if (!QDir().mkpath(folder))
        return false;
    // A rising C major arpeggio and a falling A minor one.
    bool ok = writeFileAtomically(folder + QStringLiteral("/Acorde de Dó maior.mp3"),
                                  demoToneWav({261.63, 329.63, 392.00, 523.25}, 750))
                  .ok();
    ok = writeFileAtomically(folder + QStringLiteral("/Acorde de Lá menor.mp3"),
                             demoToneWav({880.00, 659.25, 523.25, 440.00}, 750))
             .ok() &&
         ok;
    TextList playlist(TextList::SavePolicy::Utf8WhenNeeded);
    playlist.lines().append(QDir::toNativeSeparators(folder) + QDir::separator());
    return playlist.save(paths.resolve(QStringLiteral("dados\\Play.list"))).ok() && ok;
}

bool writeBackupSettings(const QString &root, const Paths &paths)
{
    const QString folder = QDir::toNativeSeparators(QDir(root).filePath(kDemoBackupFolder));
    return QDir().mkpath(folder) && saveBackupSettings(paths, kDemoBackupHour, folder).ok();
}

} // namespace

QByteArray demoToneWav(const QList<double> &notes, int noteMs)
{
    constexpr int kRate = 22050;
    const int perNote = kRate * noteMs / 1000;
    const int fade = kRate / 100; // 10 ms
    QByteArray samples;
    samples.reserve(qsizetype(perNote) * notes.size() * 2);
    for (double hertz : notes) {
        for (int i = 0; i < perNote; ++i) {
            const double envelope = qMin(1.0, qMin(i, perNote - 1 - i) / double(fade));
            const double value = 0.3 * envelope * qSin(2.0 * M_PI * hertz * i / kRate);
            char bytes[2];
            qToLittleEndian<qint16>(qint16(qRound(value * 32767)), bytes);
            samples.append(bytes, 2);
        }
    }
    auto le32 = [](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        return QByteArray(b, 4);
    };
    auto le16 = [](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        return QByteArray(b, 2);
    };
    return "RIFF" + le32(quint32(36 + samples.size())) + "WAVEfmt " + le32(16) + le16(1) /* PCM */ +
           le16(1) /* mono */ + le32(kRate) + le32(kRate * 2) + le16(2) + le16(16) + "data" +
           le32(quint32(samples.size())) + samples;
}

bool generateDemoFolder(const QString &root, const QDate &today, quint32 seed)
{
    // Sample data is laid out once: over an existing data folder it would add a second
    // household to the user's own.
    const QDir rootDir(QDir(root).absolutePath());
    if (!rootDir.entryList({QStringLiteral("dados")}, QDir::Dirs | QDir::Hidden).isEmpty())
        return false;
    for (const char *sub : {"Finance", "Notas", "Diary", "Media"}) {
        if (!QDir().mkpath(rootDir.filePath(QStringLiteral("dados/") + QLatin1String(sub))))
            return false;
    }
    // The demo writes nothing into the Windows-directory stand-in.
    const Paths paths(rootDir.absolutePath(), rootDir.absoluteFilePath(QStringLiteral("windows")));
    bool ok = writeLedgers(paths, demoLedger(today, seed));
    ok = writeAppointments(paths, today) && ok;
    ok = writeDiaryAndNotes(paths, today) && ok;
    ok = writeContacts(paths) && ok;
    ok = writeMusic(rootDir.path(), paths) && ok;
    ok = writeBackupSettings(rootDir.path(), paths) && ok;
    return ok;
}

} // namespace zorv::bench

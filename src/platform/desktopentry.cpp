#include "desktopentry.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

namespace zorv {

namespace {

// The general escapes of string values.
QString unescapeValue(QStringView value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 >= value.size()) {
            out.append(c);
            continue;
        }
        const QChar next = value[++i];
        switch (next.unicode()) {
        case u's':
            out.append(u' ');
            break;
        case u'n':
            out.append(u'\n');
            break;
        case u't':
            out.append(u'\t');
            break;
        case u'r':
            out.append(u'\r');
            break;
        case u'\\':
            out.append(u'\\');
            break;
        default: // not an escape of the value syntax: kept for the Exec quoting rules
            out.append(u'\\');
            out.append(next);
        }
    }
    return out;
}

bool isTrue(const QString &value)
{
    return value == QLatin1String("true") || value == QLatin1String("1");
}

// Splits an Exec line into its words. Inside double quotes a backslash escapes one of
// " ` $ \ ; outside quotes words end at blanks.
std::optional<QStringList> splitExec(const QString &exec)
{
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == u'"') {
                quoted = false;
            } else if (c == u'\\' && i + 1 < exec.size()) {
                word.append(exec[++i]);
            } else {
                word.append(c);
            }
            continue;
        }
        if (c == u'"') {
            quoted = true;
            inWord = true;
        } else if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') {
            if (inWord)
                words.append(word);
            word.clear();
            inWord = false;
        } else {
            word.append(c);
            inWord = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (inWord)
        words.append(word);
    return words;
}

} // namespace

std::optional<DesktopEntry> parseDesktopEntry(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    DesktopEntry entry;
    bool inGroup = false;
    bool found = false;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inGroup = line == u"[Desktop Entry]";
            found = found || inGroup;
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        const QStringView key = line.first(eq).trimmed();
        const QString value = unescapeValue(line.sliced(eq + 1).trimmed());
        if (key == u"Type")
            entry.type = value;
        else if (key == u"Name")
            entry.name = value;
        else if (key == u"Icon")
            entry.icon = value;
        else if (key == u"Exec")
            entry.exec = value;
        else if (key == u"URL")
            entry.url = value;
        else if (key == u"Path")
            entry.path = value;
        else if (key == u"Terminal")
            entry.terminal = isTrue(value);
    }
    if (!found)
        return std::nullopt;
    return entry;
}

std::optional<DesktopEntry> readDesktopEntry(const QString &file)
{
    // Only a regular file is opened (a pipe would block the open, a device never ends), and
    // entries are small: a huge file is not one, and is not read whole.
    constexpr qint64 limit = 1024 * 1024;
    if (!QFileInfo(file).isFile())
        return std::nullopt;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly) || f.size() > limit)
        return std::nullopt;
    const QByteArray bytes = f.read(limit + 1);
    if (bytes.size() > limit || f.error() != QFileDevice::NoError)
        return std::nullopt;
    return parseDesktopEntry(bytes);
}

bool isDesktopEntryFile(const QString &file)
{
    static const QMimeDatabase mime;
    return mime.mimeTypeForFile(file, QMimeDatabase::MatchExtension)
        .inherits(QStringLiteral("application/x-desktop"));
}

std::optional<QStringList> execArguments(const DesktopEntry &entry, const QString &entryFile)
{
    const std::optional<QStringList> words = splitExec(entry.exec);
    if (!words)
        return std::nullopt;
    QStringList args;
    for (const QString &word : *words) {
        if (word == QLatin1String("%f") || word == QLatin1String("%F") || word == QLatin1String("%u") ||
            word == QLatin1String("%U"))
            continue;
        if (word == QLatin1String("%i")) {
            if (!entry.icon.isEmpty())
                args << QStringLiteral("--icon") << entry.icon;
            continue;
        }
        QString expanded;
        for (qsizetype i = 0; i < word.size(); ++i) {
            if (word[i] != u'%' || i + 1 >= word.size()) {
                expanded.append(word[i]);
                continue;
            }
            switch (word[++i].unicode()) {
            case u'%':
                expanded.append(u'%');
                break;
            case u'c':
                expanded.append(entry.name);
                break;
            case u'k':
                expanded.append(entryFile);
                break;
            default: // %f and the others inside a word, and unknown codes: nothing
                break;
            }
        }
        args.append(expanded);
    }
    if (args.isEmpty() || args.first().isEmpty())
        return std::nullopt;
    return args;
}

} // namespace zorv

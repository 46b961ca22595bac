#include "backupsettings.h"

#include "store/textlist.h"

namespace zorv {

namespace {

bool fitsWindows1252(const QString &text)
{
    return decodeWindows1252(encodeWindows1252(text)) == text;
}

} // namespace

std::optional<BackupSettings> loadBackupSettings(const Paths &paths)
{
    TextList list;
    if (list.load(paths.resolve(QString::fromLatin1(kBackupSettingsFile))) != TextList::LoadResult::Loaded)
        return std::nullopt;
    if (list.lines().isEmpty())
        return std::nullopt;
    BackupSettings settings;
    settings.hour = list.lines().at(0);
    if (list.lines().size() > 1)
        settings.folder = list.lines().at(1);
    settings.encoding = list.encoding();
    return settings;
}

bool saveBackupSettings(const Paths &paths, const QString &hour, const QString &folder, TextEncoding encoding)
{
    TextList list({hour, folder});
    if (encoding == TextEncoding::Ansi && !(fitsWindows1252(hour) && fitsWindows1252(folder)))
        encoding = TextEncoding::Utf8Bom;
    list.setEncoding(encoding);
    return list.save(paths.resolve(QString::fromLatin1(kBackupSettingsFile)));
}

} // namespace zorv

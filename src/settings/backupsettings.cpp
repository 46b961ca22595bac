#include "backupsettings.h"

#include "store/textlist.h"

namespace zorv {

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

WriteResult saveBackupSettings(const Paths &paths, const QString &hour, const QString &folder,
                               TextEncoding encoding)
{
    TextList list({hour, folder});
    list.setEncoding(encoding);
    list.setSavePolicy(TextList::SavePolicy::Utf8WhenNeeded);
    return list.save(paths.resolve(QString::fromLatin1(kBackupSettingsFile)));
}

} // namespace zorv

#pragma once

#include "store/paths.h"
#include "store/textcodec.h"
#include "store/writeresult.h"

#include <QString>

#include <optional>

namespace zorv {

// The backup settings file "dados\Back.auto": line 1 the backup hour as the hour field's
// text (8 characters, "hh:mm:ss", blanks where nothing was typed), line 2 the backup folder.
struct BackupSettings
{
    QString hour;
    std::optional<QString> folder; // missing when the file has a single line
    TextEncoding encoding = TextEncoding::Ansi;
};

inline constexpr char kBackupSettingsFile[] = "dados\\Back.auto";

// The settings when the file exists and has at least one line.
std::optional<BackupSettings> loadBackupSettings(const Paths &paths);

// Writes both lines together. The file keeps the encoding it was read with; a folder name
// that Windows-1252 cannot hold is written in UTF-8 (with its mark) instead of being lost
// to question marks. A failure, with its reason, when the file could not be written (the
// data folder is missing, the disk refuses).
WriteResult saveBackupSettings(const Paths &paths, const QString &hour, const QString &folder,
                               TextEncoding encoding = TextEncoding::Ansi);

} // namespace zorv

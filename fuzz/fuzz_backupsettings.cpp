// The "dados\Back.auto" reader: any file loads or is refused without a fault, and settings
// it loads save back, in the file's own encoding, to a file that loads the same settings.
#include "fuzzcheck.h"
#include "settings/backupsettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace zorv;

namespace {

struct Install
{
    QTemporaryDir dir;
    Paths paths{dir.path(), dir.path() + QStringLiteral("/windows")};
    QString file;
    Install()
    {
        QDir(dir.path()).mkpath(QStringLiteral("dados"));
        file = paths.resolve(QString::fromLatin1(kBackupSettingsFile));
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Install install;
    {
        QFile f(install.file);
        FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(f.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size) && f.flush());
    }
    const auto loaded = loadBackupSettings(install.paths);
    if (!loaded || !loaded->folder)
        return 0;
    FUZZ_CHECK(saveBackupSettings(install.paths, loaded->hour, *loaded->folder, loaded->encoding));
    const auto again = loadBackupSettings(install.paths);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(again->hour == loaded->hour);
    FUZZ_CHECK(again->folder == loaded->folder);
    return 0;
}

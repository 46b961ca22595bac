#include "datafolder.h"

#include "dialogs.h"
#include "store/logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#endif

namespace zorv {

namespace {

// Where the mode for new files the user had before the program restricted its own is noted.
constexpr char kUsualModeVariable[] = "ZORV_DESK_USUAL_UMASK";

QString tr(const char *text)
{
    return QCoreApplication::translate("zorv::DataFolder", text);
}

// The reason in a few words, for the log (never the user's data, only what stands there).
const char *logReason(FolderTrust trust)
{
    switch (trust) {
    case FolderTrust::Own:
        return "usable";
    case FolderTrust::Missing:
        return "it could not be created";
    case FolderTrust::NotAFolder:
        return "it is not a folder";
    case FolderTrust::Link:
        return "it is a symbolic link";
    case FolderTrust::OtherOwner:
        return "it belongs to another user";
    case FolderTrust::OpenToOthers:
        return "its group or other users can write it";
    }
    return "unknown";
}

} // namespace

FolderTrust claimUserDataFolder(const QString &folder)
{
    if (folder.isEmpty())
        return FolderTrust::Missing;
    const QString clean = QDir::cleanPath(folder);
#ifdef Q_OS_UNIX
    // Parents made here follow the restricted mode for new files; the folder itself is made
    // owner-only whatever that mode is. A folder already there is never changed: one that
    // others could write may already hold what they put there.
    QDir().mkpath(QFileInfo(clean).absolutePath());
    if (::mkdir(QFile::encodeName(clean).constData(), 0700) != 0 && errno != EEXIST)
        return folderTrust(clean, kDataFolderForbiddenModes);
#else
    QDir().mkpath(clean);
#endif
    return folderTrust(clean, kDataFolderForbiddenModes);
}

QString dataFolderProblem(FolderTrust trust)
{
    switch (trust) {
    case FolderTrust::Own:
        return {};
    case FolderTrust::Missing:
        return tr("ela não existe e não pôde ser criada.");
    case FolderTrust::NotAFolder:
        return tr("o que existe nesse lugar não é uma pasta.");
    case FolderTrust::Link:
        return tr("ela é um link para outro lugar, e não uma pasta sua.");
    case FolderTrust::OtherOwner:
        return tr("ela pertence a outro usuário.");
    case FolderTrust::OpenToOthers:
        return tr("outros usuários (o grupo ou todos) podem alterar o que há nela.");
    }
    return {};
}

QString dataFolderRefusal(const QString &folder, FolderTrust trust)
{
    return tr("A pasta dos dados não pode ser usada:\n\n%1\n\nMotivo: %2\n\n"
              "Os dados ficariam ao alcance de outra pessoa, por isso o programa não será iniciado. "
              "Use uma pasta que seja só sua, que mais ninguém possa alterar.")
        .arg(QDir::toNativeSeparators(folder), dataFolderProblem(trust));
}

void refuseDataFolder(Dialogs &dialogs, const QString &folder, FolderTrust trust)
{
    qCWarning(lcApp).noquote() << "Not starting: the data folder" << QDir::toNativeSeparators(folder)
                               << "cannot be used:" << logReason(trust);
    dialogs.message(dataFolderRefusal(folder, trust), {}, MessageIcon::Error);
}

void restrictNewFilesToOwner()
{
#ifdef Q_OS_UNIX
    const mode_t usual = ::umask(077);
    // A process started from a restricted one keeps the note it already has: the mode is
    // then 077 already and the note holds the user's real one.
    if (!qEnvironmentVariableIsSet(kUsualModeVariable))
        qputenv(kUsualModeVariable, QByteArray::number(uint(usual), 8));
#endif
}

void restoreUsualNewFileMode()
{
#ifdef Q_OS_UNIX
    const QByteArray noted = qgetenv(kUsualModeVariable);
    qunsetenv(kUsualModeVariable);
    bool ok = false;
    const uint mode = noted.toUInt(&ok, 8);
    if (ok && !noted.isEmpty() && mode <= 0777)
        ::umask(mode_t(mode));
#endif
}

} // namespace zorv

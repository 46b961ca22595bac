#pragma once

#include "store/paths.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A throw-away installation: an exe folder with the data skeleton
// dados/{Finance,Notas,Diary,Media} and a Windows-directory stand-in beside it.
class TempDataFolder
{
public:
    TempDataFolder();

    bool isValid() const { return m_dir.isValid(); }
    const zorv::Paths &paths() const { return m_paths; }
    QString root() const { return m_dir.path(); }

    // Native path of a data file named relative to the exe folder ("dados/Fontes.cad").
    QString file(const QString &relative) const { return m_paths.resolve(relative); }
    // Writes raw bytes to a file relative to the exe folder; the folder must exist.
    bool write(const QString &relative, const QByteArray &bytes) const;
    QByteArray read(const QString &relative) const;

private:
    QTemporaryDir m_dir;
    zorv::Paths m_paths;
};

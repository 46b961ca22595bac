#include "tempdatafolder.h"

#include <QDir>
#include <QFile>

TempDataFolder::TempDataFolder()
    : m_paths(m_dir.path() + QStringLiteral("/app"), m_dir.path() + QStringLiteral("/windows"))
{
    QDir root(m_dir.path());
    for (const char *sub :
         {"app/dados/Finance", "app/dados/Notas", "app/dados/Diary", "app/dados/Media", "windows"})
        root.mkpath(QString::fromLatin1(sub));
}

bool TempDataFolder::write(const QString &relative, const QByteArray &bytes) const
{
    QFile f(file(relative));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

QByteArray TempDataFolder::read(const QString &relative) const
{
    QFile f(file(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

#pragma once

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <filesystem>

// Everything under a folder, by relative path: a file's bytes, "<folder>" for a folder,
// "-> target" for a symbolic link. Two trees are equal when their snapshots are.
inline QMap<QString, QByteArray> snapshot(const QString &root)
{
    QMap<QString, QByteArray> tree;
    const QDir base(root);
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString rel = base.relativeFilePath(path);
        if (info.isSymbolicLink()) {
            const auto target = std::filesystem::read_symlink(QFile::encodeName(path).toStdString());
            tree.insert(rel, "-> " + QByteArray::fromStdString(target.string()));
        } else if (info.isDir()) {
            tree.insert(rel, "<folder>");
        } else if (!info.isFile()) {
            tree.insert(rel, "<special>"); // a pipe: opening it would wait for a writer
        } else {
            QFile f(path);
            tree.insert(rel, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
        }
    }
    return tree;
}

// Names of the entries directly inside a folder, hidden ones included, sorted.
inline QStringList entryNames(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

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

// What a person sees under a folder: each file's bytes and "<folder>" for a folder, with
// symbolic links followed to what they name (a dangling one shows as "<dangling>", one back
// up the tree as "<loop>"), and the names in `leaveOut` at the top left out.
inline void addSeen(QMap<QString, QByteArray> &tree, const QString &folder, const QString &prefix,
                    QStringList &open, const QStringList &leaveOut)
{
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &info : entries) {
        const QString rel = prefix + info.fileName();
        if (prefix.isEmpty() && leaveOut.contains(rel))
            continue;
        if (info.isDir()) {
            const QString canonical = info.canonicalFilePath();
            if (open.contains(canonical)) {
                tree.insert(rel, "<loop>");
                continue;
            }
            tree.insert(rel, "<folder>");
            open.append(canonical);
            addSeen(tree, info.filePath(), rel + QLatin1Char('/'), open, leaveOut);
            open.removeLast();
        } else if (info.isFile()) {
            QFile f(info.filePath());
            tree.insert(rel, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
        } else {
            tree.insert(rel, info.isSymLink() && !info.exists() ? "<dangling>" : "<special>");
        }
    }
}

inline QMap<QString, QByteArray> seenSnapshot(const QString &root, const QStringList &leaveOut = {})
{
    QMap<QString, QByteArray> tree;
    QStringList open{QFileInfo(root).canonicalFilePath()};
    addSeen(tree, root, QString(), open, leaveOut);
    return tree;
}

// Names of the entries directly inside a folder, hidden ones included, sorted.
inline QStringList entryNames(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

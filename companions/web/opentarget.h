#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

namespace zorv {

class Paths;

// What the companion does with a hand-off target.
struct OpenAction
{
    enum Kind {
        Nothing, // no target
        Start,   // a program, started in `folder` with `arguments`
        Open,    // a document, folder or web address: the desktop's handler for the URL
    };
    Kind kind = Nothing;
    QString program;       // Start: the program's absolute path
    QUrl url;              // Open
    QStringList arguments; // Start
    QString folder;        // Start: the working folder
    // Start: a program of the user's own outside the places programs are installed in; it
    // runs only when the user says so to a question that names it.
    bool askFirst = false;
};

// The type of the file system holding a path, as the mount table names it ("ext4", "vfat").
using FileSystemTypeOf = std::function<QByteArray(const QString &path)>;

// True for the file systems that keep no owner or rights per file (FAT, exFAT, NTFS, a CD):
// every file there carries the executable bit.
bool keepsNoFileRights(const QByteArray &fileSystemType);

// A web address ("http://...", "www.example.com", "mailto:...") goes to the browser as a URL;
// a desktop entry is started as it describes (below); any other path (a report, a document,
// a folder) opens as a local file, with the desktop's application for its type. Relative
// paths are taken from the executable's folder.
//
// A program file (a binary or a script with its executable bit) is started, in its own folder
// and without arguments, only from a place programs are installed in: the system's program
// folders (/usr/bin, /bin, /usr/local/bin, /usr/games, ...), the desktop's applications
// folders, or directly the folder of the suite's programs. Anything in the data folder, or on
// a file system that keeps no rights (a FAT stick), is never run, whatever its bits say: it
// opens like a document. A program the user owns, that nobody else can change, elsewhere
// (~/bin) is started after a question (askFirst); any other opens like a document.
// `fileSystemTypeOf` tells the file system of a path (the mount table when empty).
//
// A desktop entry runs only when trusted: it lies in one of the desktop's applications
// folders, carries the desktop's trust mark, or is runnable and lies directly in the
// program's own folder; any other entry does nothing (it is never opened as text), whatever
// its executable bit says. An Application starts its Exec command in its Path folder (else the home folder),
// through x-terminal-emulator -e when Terminal is true; a Link opens its URL; other types
// do nothing.
OpenAction classifyTarget(const QString &target, const Paths &paths,
                          const FileSystemTypeOf &fileSystemTypeOf = {});

} // namespace zorv

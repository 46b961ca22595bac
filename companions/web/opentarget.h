#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

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
};

// A web address ("http://...", "www.example.com", "mailto:...") goes to the browser as a URL;
// an executable program file is started in its own folder, without arguments; a desktop
// entry is started as it describes (below); any other path (a report, a document, a folder)
// opens as a local file. Relative paths are taken from the executable's folder.
//
// A desktop entry runs only when trusted: it lies in one of the desktop's applications
// folders, carries the desktop's trust mark, or is runnable and lies directly in the
// program's own folder; any other entry does nothing (it is never opened as text), whatever
// its executable bit says. An Application starts its Exec command in its Path folder (else the home folder),
// through x-terminal-emulator -e when Terminal is true; a Link opens its URL; other types
// do nothing.
OpenAction classifyTarget(const QString &target, const Paths &paths);

} // namespace zorv

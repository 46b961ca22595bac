#pragma once

#include <QString>
#include <QUrl>

namespace zorv {

class Paths;

// What the companion does with a hand-off target.
struct OpenAction
{
    enum Kind {
        Nothing, // no target
        Start,   // a program: started in its own folder, without arguments
        Open,    // a document, folder or web address: the desktop's handler for the URL
    };
    Kind kind = Nothing;
    QString program; // Start: the program's absolute path
    QUrl url;        // Open
};

// A web address ("http://...", "www.example.com", "mailto:...") goes to the browser as a URL;
// an executable program file is started; any other path (a report, a document, a folder)
// opens as a local file. Relative paths are taken from the executable's folder.
OpenAction classifyTarget(const QString &target, const Paths &paths);

} // namespace zorv

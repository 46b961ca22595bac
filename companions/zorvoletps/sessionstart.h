#pragma once

#include "store/writeresult.h"

#include <QByteArray>
#include <QString>

namespace zorv {

// The user's entry in the desktop's autostart folder that starts the companion, and with it
// the program, when the session begins. Nothing is written there until the user asks.
class SessionStart
{
public:
    // program: the companion the entry starts; entryFile: where the entry lives.
    explicit SessionStart(const QString &program, const QString &entryFile = defaultEntryFile());

    // "zorv-desk.desktop" in the autostart folder of $XDG_CONFIG_HOME; ~/.config when the
    // variable is unset or not an absolute path.
    static QString defaultEntryFile();
    // The entry's text for `program`; empty for a path an entry cannot hold (a line break).
    static QByteArray entryText(const QString &program);

    QString entryFile() const { return m_entryFile; }
    // True while the entry exists and is not switched off by another tool (Hidden=true,
    // X-GNOME-Autostart-enabled=false).
    bool isOn() const;
    // Writes the entry whole (creating the autostart folder when missing) or removes it.
    // Done when the entry is then as asked; otherwise failed with the reason.
    WriteResult setOn(bool on);

private:
    QString m_program;
    QString m_entryFile;
};

} // namespace zorv

#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace zorv {

class Paths;
class ProgramStarter;
struct Services;

// The program never opens a page, a document or another program by itself: it writes the
// target into the hand-off file and starts the companion "Web" (beside the executable, or in
// the companions' install folder), which
// opens it with whatever the desktop associates with it.
inline const QString kHandOffFile = QStringLiteral("dados\\Web.start");

// The companion launcher in the companions' folder ("Web", "Web.exe" on Windows).
QString launcherProgram(const Paths &paths);

// Text in Windows-1252; characters the code page cannot hold become '?'. Empty in, empty out.
QByteArray ToAnsi(const QString &text);

// The hand-off file's content: the target as its only line, followed by CR LF, in
// Windows-1252. A target the code page cannot hold (a folder name in another script) is
// written in UTF-8 with its byte-order mark instead, so the companion still reads it whole.
QByteArray handOffBytes(const QString &target);

// Rewrites the hand-off file with `target` (unless it holds exactly that already), then
// starts the companion hidden, without arguments and without waiting for it. When the
// hand-off file cannot be written the companion is not started. False when the hand-off was not written;
// a companion that did not start leaves a warning but does not change the answer.
bool OpenThroughLauncher(const Paths &paths, ProgramStarter &programs, const QString &target);
bool OpenThroughLauncher(const Paths &paths, Services &services, const QString &target);

// The companion's side: the target named in the hand-off file; empty when the file is
// missing, unreadable, or holds no target.
std::optional<QString> readHandOffTarget(const Paths &paths);

} // namespace zorv

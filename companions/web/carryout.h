#pragma once

#include "opentarget.h"

namespace zorv {

class Dialogs;

// The question put before a program of the user's own outside the places programs are
// installed in is run; it names the program.
QString runProgramQuestion(const QString &program);

// Does what `action` says: starts its program detached, in its folder (a program that asks
// first only after the user answers yes to runProgramQuestion, "Não" being the default), or
// hands its URL to the desktop's application for it. True when something was started or
// opened; a start or an opening that failed leaves a log line.
bool carryOut(const OpenAction &action, Dialogs &dialogs);

} // namespace zorv

#include "carryout.h"

#include "platform/dialogs.h"
#include "store/logging.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QProcess>

namespace zorv {

QString runProgramQuestion(const QString &program)
{
    return QCoreApplication::translate("zorv::WebLauncher",
                                       "Executar o programa abaixo?\n\n%1\n\n"
                                       "Ele não está numa pasta de programas instalados. "
                                       "Execute-o somente se você sabe o que ele faz.")
        .arg(QDir::toNativeSeparators(program));
}

bool carryOut(const OpenAction &action, Dialogs &dialogs)
{
    switch (action.kind) {
    case OpenAction::Nothing:
        return false;
    case OpenAction::Start: {
        if (action.askFirst && !dialogs.question(runProgramQuestion(action.program), {}, MessageIcon::Warning,
                                                 DefaultAnswer::No))
            return false;
        QProcess process;
        process.setProgram(action.program);
        process.setArguments(action.arguments);
        process.setWorkingDirectory(action.folder);
        process.setStandardInputFile(QProcess::nullDevice());
        if (process.startDetached())
            return true;
        qCWarning(lcLauncher).noquote()
            << "Could not start" << QDir::toNativeSeparators(action.program) << ":" << process.errorString();
        return false;
    }
    case OpenAction::Open:
        if (QDesktopServices::openUrl(action.url))
            return true;
        qCWarning(lcLauncher).noquote()
            << "The desktop opened nothing for" << action.url.toDisplayString(QUrl::PreferLocalFile);
        return false;
    }
    return false;
}

} // namespace zorv

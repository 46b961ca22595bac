#include "pagemenu.h"

#include "fullsuite.h"
#include "guarded.h"
#include "hiddenmainwindow.h"
#include "store/logging.h"
#include "suitewindow.h"
#include "taskbarwindow.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace zorv {

namespace {

const QString kMailProgram = QStringLiteral("Aplicativos\\MD.exe");
const QString kContactProgram = QStringLiteral("zorvContact.exe");
const QString kHelpPage = QStringLiteral("https://www.brevance.example/zorv-desk/ajuda");
const QString kFeedbackPage = QStringLiteral("https://www.brevance.example/zorv-desk/feedback");

} // namespace

void buildPageMenu(SuiteWindow &w, HiddenMainWindow &tops)
{
    w.PopupMenu1 = new QMenu(&w);
    w.PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto entry = [&w](QMenu *menu, const char *name, const QString &caption, bool hidden,
                      std::function<void()> act) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setVisible(!hidden);
        action->setProperty(kHiddenPageMenuEntry, hidden);
        QObject::connect(action, &QAction::triggered, &w, [act = std::move(act)] { guarded(act); });
        return action;
    };
    auto page = [&w](int index) { return [&w, index] { w.openPage(index); }; };

    w.readetrabalho1 =
        entry(w.PopupMenu1, "readetrabalho1", QStringLiteral("Centro de atalhos"), true, page(0));
    w.Visualdoambiente1 =
        entry(w.PopupMenu1, "Visualdoambiente1", QStringLiteral("Centro de apelidos"), true, page(1));
    w.Ferramentasdetrabalho1 =
        entry(w.PopupMenu1, "Ferramentasdetrabalho1", QStringLiteral("Minhas finan\u00e7as"), false, page(6));
    w.Visualizadordeimagens1 = entry(w.PopupMenu1, "Visualizadordeimagens1",
                                     QStringLiteral("Anota\u00e7\u00f5es r\u00e1pidas"), false, page(3));
    w.Compromissoseanotaes1 =
        entry(w.PopupMenu1, "Compromissoseanotaes1", QStringLiteral("Compromissos..."), false, page(5));
    w.Algosobremim1 =
        entry(w.PopupMenu1, "Algosobremim1", QStringLiteral("Mapa de atividades"), false, page(7));
    w.Meudiriopessoal1 =
        entry(w.PopupMenu1, "Meudiriopessoal1", QStringLiteral("Meu di\u00e1rio pessoal"), false, page(4));
    w.Agendatelefnica1 =
        entry(w.PopupMenu1, "Agendatelefnica1", QStringLiteral("Agenda telef\u00f4nica"), false, page(8));

    QMenu *help = w.PopupMenu1->addMenu(QStringLiteral("Ajuda"));
    help->setObjectName(QStringLiteral("helpMenu"));
    help->menuAction()->setVisible(false);
    help->menuAction()->setProperty(kHiddenPageMenuEntry, true);
    w.Ajuda1 = entry(help, "Ajuda1", QStringLiteral("Ajuda"), true, [&w] { w.launch(kHelpPage); });

    w.udioplayer1 = entry(w.PopupMenu1, "udioplayer1", QStringLiteral("Player de \u00e1udio"), true, page(2));
    w.Maladireta1 = entry(w.PopupMenu1, "Maladireta1", QStringLiteral("Enviar mala direta"), false, [&w] {
        // Closed, not just hidden: typed notes are saved before the next show reloads them.
        w.close();
        if (w.taskBarWindow() && !w.fullSuite()) // the full suite leaves other windows be
            w.taskBarWindow()->Mini();
        const QString program = w.paths().resolve(kMailProgram);
        if (QFileInfo(program).isFile() &&
            !w.services().programs.startHidden(program, {QStringLiteral("DeL")}))
            qCWarning(lcLauncher) << "mail program not started:" << program;
    });
    w.Dicionrioetradutor1 =
        entry(w.PopupMenu1, "Dicionrioetradutor1", QStringLiteral("Consulta de palavras"), true, page(9));
    w.Personaltrainer1 =
        entry(w.PopupMenu1, "Personaltrainer1", QStringLiteral("Personal trainer"), true, page(10));
    w.Daroseufeedback1 = entry(w.PopupMenu1, "Daroseufeedback1", QStringLiteral("Dar o meu feedback"), false,
                               [&w] { w.launch(kFeedbackPage); });
    w.ContatocomaBrevance1 =
        entry(w.PopupMenu1, "ContatocomaBrevance1", QStringLiteral("Contato com a Brevance"), false, [&w] {
            if (w.taskBarWindow() && !w.fullSuite()) // the full suite leaves other windows be
                w.taskBarWindow()->Mini();
            w.close();
            w.launch(w.paths().resolve(kContactProgram));
        });
    w.Finalizaroprograma1 = entry(w.PopupMenu1, "Finalizaroprograma1",
                                  QStringLiteral("Finalizar o Zorv Ledger"), false, [&w, &tops] {
                                      w.close(); // the close step saves first
                                      tops.Sai();
                                  });
}

} // namespace zorv

#include "services.h"

#include "identity.h"

#include <QFileInfo>

namespace zorv {

RealServices::RealServices(SingleInstance &instance, const QString &policyFile)
    : m_dialogs(QFileInfo(policyFile).absolutePath())
    , m_companion(makeCompanionPresence(companionTitle()))
    , m_policies(policyFile)
    , m_services{.clock = m_clock,
                 .dialogs = m_dialogs,
                 .instance = instance,
                 .companion = *m_companion,
                 .programs = m_programs,
                 .minimizer = m_minimizer,
                 .memory = m_memory,
                 .policies = m_policies,
                 .audio = m_audio,
                 .shell = m_shell,
                 .volume = m_volume,
                 .printer = m_printer,
                 .notifier = m_notifier,
                 .sound = m_sound,
                 .pages = m_pages}
{}

} // namespace zorv

#include "services.h"

#include "identity.h"

namespace zorv {

RealServices::RealServices(SingleInstance &instance)
    : m_companion(makeCompanionPresence(companionTitle()))
    , m_services{.clock = m_clock,
                 .dialogs = m_dialogs,
                 .instance = instance,
                 .companion = *m_companion,
                 .programs = m_programs,
                 .minimizer = m_minimizer,
                 .memory = m_memory,
                 .printer = m_printer}
{}

} // namespace zorv

#pragma once

#include "store/logging.h"

#include <exception>

namespace zorv {

// Runs one step of a handler; whatever it throws ends that step, as every window handler
// must: a failure never reaches the event loop and never shows a message, but it leaves a
// warning saying what was caught.
template<typename Step> void guarded(Step &&step) noexcept
{
    try {
        step();
    } catch (const std::exception &e) {
        qCWarning(lcApp, "a step stopped on an exception: %s", e.what());
    } catch (...) {
        qCWarning(lcApp, "a step stopped on an exception of an unknown type");
    }
}

} // namespace zorv

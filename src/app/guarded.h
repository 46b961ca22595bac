#pragma once

#include <exception>

namespace zorv {

// Runs one step of a handler; whatever it throws ends that step quietly, as every window
// handler must: a failure never reaches the event loop and never shows a message.
template<typename Step> void guarded(Step &&step) noexcept
{
    try {
        step();
    } catch (...) {
    }
}

} // namespace zorv

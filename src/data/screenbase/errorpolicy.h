// The two error policies of the screens' handlers. No exception ever leaves a handler.
#pragma once

#include "dataerror.h"
#include "messageboxes.h"

#include <exception>
#include <utility>

namespace policy {

// Runs one guarded step; a failure skips the step without a message. True when it ran.
template <typename Step> bool skipOnError(Step &&step) {
    try {
        std::forward<Step>(step)();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

// Runs a whole handler; the first failure ends it and its description is shown.
template <typename Handler> bool reportOnError(MessageBoxes &messages, Handler &&handler) {
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const DataError &error) {
        messages.inform(error.description());
    } catch (const std::exception &error) {
        messages.inform(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

} // namespace policy

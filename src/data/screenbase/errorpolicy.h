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

// Runs a whole handler; the first failure ends it and its description is shown, the
// engine's own words as the box's details.
// `advice`, when given, follows the description: what the operator can do next.
template <typename Handler>
bool reportOnError(MessageBoxes &messages, Handler &&handler, const QString &advice = {}) {
    const auto withAdvice = [&advice](const QString &description) {
        return advice.isEmpty() ? description : description + QStringLiteral("\n\n") + advice;
    };
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const DataError &error) {
        messages.inform(withAdvice(error.sentence()), MessageBoxes::Icon::None, QString(),
                        error.details());
    } catch (const std::exception &error) {
        messages.inform(withAdvice(QString::fromLocal8Bit(error.what())));
    }
    return false;
}

} // namespace policy

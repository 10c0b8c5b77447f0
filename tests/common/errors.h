// The message of the program error an action raises, for tests that compare messages.
#pragma once

#include <functional>

#include <QString>

#include "platform/exception.h"

/// The message of the Exception `action` raises; empty when it raises none.
inline QString ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return {};
}

#pragma once

#include <functional>

#include "base/RuntimeError.h"

namespace tess::test {

// The number of the program error that `action` raises, or 0 for none.
inline int errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace tess::test

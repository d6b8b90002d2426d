// Entry points run their bodies through these, so that no C++ exception (an allocation failure,
// a store error) ever crosses the platform's plain C interface.
#pragma once

#include <new>

#include "host/kernel.h"
#include "store.h"

namespace host {

// For functions that report through the last error: returns failure and sets the last error.
template <typename R, typename F>
R Guarded(R failure, F&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    } catch (const StoreError&) {
        SetLastError(ERROR_CANTWRITE);
    } catch (...) {
        SetLastError(ERROR_GEN_FAILURE);
    }
    return failure;
}

// For functions that return an ERROR_* code.
template <typename F>
LONG GuardedCode(F&& body) noexcept {
    try {
        return static_cast<LONG>(body());
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    } catch (const StoreError&) {
        return ERROR_CANTWRITE;
    } catch (...) {
        return ERROR_GEN_FAILURE;
    }
}

} // namespace host

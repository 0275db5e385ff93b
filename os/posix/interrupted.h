#pragma once

#include <cerrno>

namespace velnor {

// Runs a system call that answers -1 and sets errno on failure, again as long
// as a signal interrupts it; 0 on success, otherwise the errno value.
template <typename Call> int RetryInterrupted(Call call) {
    while (true) {
        if (call() != -1)
            return 0;
        if (errno != EINTR)
            return errno;
    }
}

} // namespace velnor

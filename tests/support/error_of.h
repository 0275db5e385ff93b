#pragma once

#include "core/files/file_system.h"

#include <string>

namespace velnor::test {

// What the FileSystemError a call throws says, or "" when it throws none.
template <typename Call> std::string ErrorOf(Call call) {
    try {
        call();
    } catch (const FileSystemError& error) {
        return error.what();
    }
    return "";
}

} // namespace velnor::test

#include "tests/support/system_words.h"

#include "os/win32/win32_error.h"

namespace velnor::test {

std::string SystemWords(Fault fault) {
    // Windows opens no folder as a file and says only that access is denied.
    return Win32Category().message(fault == Fault::NoSuchFile ? ERROR_FILE_NOT_FOUND
                                                              : ERROR_ACCESS_DENIED);
}

} // namespace velnor::test

#include "tests/support/system_words.h"

#include <cerrno>
#include <system_error>

namespace velnor::test {

std::string SystemWords(Fault fault) {
    return std::system_category().message(fault == Fault::NoSuchFile ? ENOENT : EISDIR);
}

} // namespace velnor::test

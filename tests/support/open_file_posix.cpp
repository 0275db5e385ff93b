#include "tests/support/open_file.h"

namespace velnor::test {

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

} // namespace velnor::test

#include "tests/support/open_file.h"

#include <unistd.h>

namespace velnor::test {

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

long long DescriptorOffset(std::FILE* file) {
    return ::lseek(fileno(file), 0, SEEK_CUR);
}

} // namespace velnor::test

#include "tests/support/open_file.h"

#include <io.h>

#include <string>

namespace velnor::test {

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
    const std::string narrow = mode;
    return _wfopen(path.c_str(), std::wstring(narrow.begin(), narrow.end()).c_str());
}

long long DescriptorOffset(std::FILE* file) {
    return _lseeki64(_fileno(file), 0, SEEK_CUR);
}

} // namespace velnor::test

#pragma once

#include <cstdio>
#include <filesystem>

namespace velnor::test {

// fopen for any name the system can hold (on Windows through _wfopen: the
// narrow name would be read in the ANSI code page). Null when it fails.
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

// Where the file's descriptor stands, whatever the FILE has buffered: how far
// a program reading the descriptor itself got.
long long DescriptorOffset(std::FILE* file);

} // namespace velnor::test

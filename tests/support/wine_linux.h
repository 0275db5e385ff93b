#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>

namespace velnor::test {

// The Linux side of a Windows test run under Wine, for what a Windows program
// cannot see or do there: make links, read and set permission bits.

// Whether the test runs under Wine.
bool UnderWine();
// Runs a Linux program, which Wine starts as it would a Windows one, and
// throws when it fails; its standard output, when asked for.
std::string RunLinux(std::initializer_list<std::wstring> words);
// The Linux name of a path (a relative one stays as it is).
std::wstring LinuxPath(const std::filesystem::path& path);

// A file's permission bits, and setting them.
unsigned ModeOf(const std::filesystem::path& path);
void SetMode(const std::filesystem::path& path, unsigned mode);

} // namespace velnor::test

#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>

namespace velnor::test {

// The Linux side of a Windows test run under Wine, for what a Windows program
// cannot do there: make links.

// Whether the test runs under Wine.
bool UnderWine();
// Runs a Linux program, which Wine starts as it would a Windows one, and
// throws when it fails; its standard output, when asked for.
std::string RunLinux(std::initializer_list<std::wstring> words);
// The Linux name of a path (a relative one stays as it is).
std::wstring LinuxPath(const std::filesystem::path& path);

} // namespace velnor::test

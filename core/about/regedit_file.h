#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velnor {

// A REGEDIT4 file that cannot be read; the description names the line.
class RegeditFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct RegeditValue {
    std::uint32_t type = 0;
    std::string data; // the bytes the registry holds
};

// Value names, case-folded.
using RegeditValues = std::map<std::u16string, RegeditValue>;
// Full key paths from the root's name ("hkey_local_machine\software"),
// case-folded: the registry compares names without regard to case.
using RegeditKeys = std::map<std::u16string, RegeditValues>;

// The name with its ASCII letters in lower case; other letters must match as
// written.
std::u16string FoldRegistryName(std::u16string_view name);

// Reads the UTF-8 text of a REGEDIT4 export. Every key's ancestors exist too.
// Text values become their ANSI bytes plus a NUL, as Windows stores them;
// hex(n) values are kept byte for byte. Throws RegeditFileError for anything it
// cannot read rather than guessing: a half-read file would start the wrong tool.
RegeditKeys ParseRegeditFile(std::string_view utf8, const std::string& sourceName);

} // namespace velnor

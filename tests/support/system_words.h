#pragma once

#include <string>

namespace velnor::test {

// Faults every system refuses, each in its own words.
enum class Fault {
    NoSuchFile,  // a name that leads nowhere
    OpenAFolder, // a folder opened as a file
};

// What the system says of the fault, as Velnor shows it after the path.
std::string SystemWords(Fault fault);

} // namespace velnor::test

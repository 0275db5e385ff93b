#pragma once

#include <string>
#include <string_view>

namespace velnor {

// The character in lower case, as the system lower-cases text: every letter
// with a one-character small form, not only ASCII ones.
char16_t LowerCase(char16_t c);
std::u16string LowerCased(std::u16string_view text);

} // namespace velnor

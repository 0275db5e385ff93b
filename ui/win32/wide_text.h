#pragma once

#include <string>
#include <string_view>

namespace velnor {

// Windows' wide text from UTF-8 and back; what is not valid becomes U+FFFD.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

} // namespace velnor

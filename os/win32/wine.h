#pragma once

namespace velnor {

// Whether the program runs under Wine, whose file calls differ from
// Windows' where Linux shows through: links and permission bits.
bool UnderWine();

} // namespace velnor

#pragma once

#include <string>

namespace velnor {

// Tells the user who started the window program an answer that needs no
// window (UTF-8, ending in a line end): into the file or pipe its standard
// output (standard error for a problem) leads to; else on the console of the
// prompt it was started from; else, started with no console, in a message box.
void TellWhoStartedIt(const std::string& answer, bool problem);

} // namespace velnor

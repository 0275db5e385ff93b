#pragma once

// <windows.h> without the macros that would rename the program's own members:
// Yield (WindowSeam::Yield) and ReplaceFile (FileSystemService::ReplaceFile).
#include <windows.h>

#undef ReplaceFile
#undef Yield

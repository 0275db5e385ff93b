#pragma once

// <windows.h> without the macro that would rename the program's own member
// Yield (WindowSeam::Yield).
#include <windows.h>

#undef Yield

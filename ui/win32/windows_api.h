#pragma once

// The window's sources take <windows.h> from here.
#include <windows.h>

// An empty macro of 16-bit Windows that would erase WindowSeam::Yield.
#undef Yield

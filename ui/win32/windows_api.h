#pragma once

// The window's sources take <windows.h> from here: it turns the registry's
// root names (HKEY_LOCAL_MACHINE...) into macros, so the core's registry
// header has to be read first.
#include "core/about/registry.h"

#include <windows.h>

// An empty macro of 16-bit Windows that would erase WindowSeam::Yield.
#undef Yield

#pragma once

// Resource ids, shared by the resource scripts and the code.
#define VELNOR_ICON 1

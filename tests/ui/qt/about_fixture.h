#pragma once

#include "tests/core/about/sys_info_fixture.h"
#include "tests/ui/qt/ui_fixture.h"

#pragma once

#include "core/files/file_system.h"
#include "os/posix/file_ops.h"

#include <memory>

namespace velnor {

// The service over other low-level calls, e.g. ones that fail on purpose.
std::shared_ptr<FileSystemService> MakeFileSystem(std::shared_ptr<FileOps> ops);

} // namespace velnor

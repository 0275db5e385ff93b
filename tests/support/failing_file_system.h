#pragma once

#include "os/posix/posix_file_system.h"
#include "tests/support/failing_file_ops.h"

#include <filesystem>
#include <memory>

namespace velnor::test {

// The service's calls, as a test names them to make them fail.
enum class ServiceCall { ReplaceFile };

// Failures of the service's calls on chosen paths, made by failing the first
// low-level call the service makes for them (for a replacement: the look at
// the page's attributes), so the service reports them in the system's words
// before anything is written.
class ServiceFailures {
public:
    void FailOn(ServiceCall call, const std::filesystem::path& path, int error) {
        (void)call; // a replacement, the one kind
        ops->FailOnPath(FileOpKind::Lstat, path, error);
    }

    const std::shared_ptr<FailingFileOps> ops = std::make_shared<FailingFileOps>();
};

// Real file systems whose calls fail as failures says.
inline FileSystemFactory
MakeFailingFileSystemFactory(const std::shared_ptr<ServiceFailures>& failures) {
    return failures->ops->Factory();
}

} // namespace velnor::test

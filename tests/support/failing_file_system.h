#pragma once

#include "run/file_system.h"

#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace velnor::test {

// The service's calls, as a test names them to make them fail.
enum class ServiceCall { FolderExists, CopyFolder, GetFolder, List, ReadWholeFile, ReplaceFile };

// Which service calls fail, shared by every object a failing factory makes, so
// the failures hold whichever object a run happens to use. A failing call
// throws FileSystemError in the system's words for the errno given and does
// not reach the real service.
class ServiceFailures {
public:
    // Every call of that kind on that path fails (trailing "/" ignored). For
    // List the path is the folder's; for CopyFolder the source's.
    void FailOn(ServiceCall call, const std::filesystem::path& path, int error);
    // The nth call (1-based) of that kind fails, counted over all objects.
    void FailNth(ServiceCall call, std::size_t nth, int error);

    std::size_t Calls(ServiceCall call) const;
    // Paths the calls of that kind were made with, in order.
    const std::vector<std::filesystem::path>& Paths(ServiceCall call) const;

    // Counts the call, then throws if it is to fail.
    void Check(ServiceCall call, const std::filesystem::path& path);

private:
    struct Rule {
        ServiceCall Call;
        std::optional<std::filesystem::path> Path;
        std::size_t Nth = 0;
        int Error = 0;
    };
    std::vector<Rule> rules_;
    std::map<ServiceCall, std::vector<std::filesystem::path>> calls_;
};

// Objects that consult failures before handing each call to an object from inner.
FileSystemFactory MakeFailingFileSystemFactory(std::shared_ptr<ServiceFailures> failures);
FileSystemFactory MakeFailingFileSystemFactory(std::shared_ptr<ServiceFailures> failures,
                                               FileSystemFactory inner);

} // namespace velnor::test

#pragma once

#include "core/files/file_system.h"
#include "tests/support/failure_rules.h"

#include <filesystem>
#include <memory>
#include <string>

namespace velnor::test {

// The service's calls that tests fail or look for. A replacement is StartReplace (refused before
// anything is written), Prepare (written beside the page) and Commit (put in place), even when the
// run asks for it whole with ReplaceFile.
enum class ServiceCall {
    CopyFolder,   // logged with its destination
    RenameFolder, // logged with its destination
    GetFolder,
    ReadPage,
    StartReplace,
    Prepare,
    Commit,
    Flush, // logged with an empty path
};

// The real file system, chosen calls failing without being carried out with a
// FileSystemError "<path>: <words>" (by default "injected failure"): a failing
// disk on every system. Every service its factory makes shares rules and log.
class ServiceFailures : public FailureRules<ServiceCall, std::string>,
                        public std::enable_shared_from_this<ServiceFailures> {
public:
    // What a failing call throws (a call without a path: the words alone).
    static std::string ErrorText(const Path& path, const std::string& words);

    FileSystemFactory Factory();

    // Logs the call and throws when a rule says so.
    void Check(ServiceCall call, const Path& path);
};

} // namespace velnor::test

#pragma once

#include "core/files/file_system.h"
#include "tests/support/failure_rules.h"

#include <filesystem>
#include <memory>
#include <string>

namespace velnor::test {

// The service's calls, as a test names them to make them fail or finds them in
// the log. A replacement is StartReplace (refused before anything is written),
// Prepare (written beside the page) and Commit (put in its place), whether the
// run asks for it in two steps or whole with ReplaceFile.
enum class ServiceCall {
    FolderExists,
    KindOf,
    IsWithin, // logged with the inner folder
    LockFolder,
    CopyFolder,   // logged with its destination
    RenameFolder, // logged with its destination
    RemoveTree,
    RemoveLeftovers,
    GetFolder,
    ReadPage,
    StartReplace,
    Prepare,
    Commit,
    Flush, // logged with an empty path
};

// Chosen calls of the real file system fail, without being carried out, with
// a FileSystemError worded as the system words one, "<path>: <words>" (by
// default "injected failure"); this is how the shared tests meet a failing
// disk on every system. Every service its factory makes shares the rules and
// the log.
class ServiceFailures : public FailureRules<ServiceCall, std::string>,
                        public std::enable_shared_from_this<ServiceFailures> {
public:
    // What a failing call throws (a call without a path: the words alone).
    static std::string ErrorText(const Path& path, const std::string& words);

    // Services over the real file system whose calls fail as these rules say;
    // given a root, they see it as "/": the code's paths are taken inside it
    // and its listings name their items as from "/".
    FileSystemFactory Factory(Path root = {});

    // Logs the call and throws when a rule says so.
    void Check(ServiceCall call, const Path& path);
};

} // namespace velnor::test

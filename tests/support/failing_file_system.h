#pragma once

#include "core/files/file_system.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velnor::test {

// The service's calls, as a test names them to make them fail or finds them in
// the log. A replacement is StartReplace (refused before anything is written),
// Prepare (written beside the page) and Commit (put in its place), whether the
// run asks for it in two steps or whole with ReplaceFile.
enum class ServiceCall {
    FolderExists,
    CopyFolder, // logged with its destination
    GetFolder,
    ReadWholeFile,
    StartReplace,
    Prepare,
    Commit,
    Flush, // logged with an empty path
};

// Chosen calls of the real file system fail, without being carried out, with
// a FileSystemError worded as the system words one, "<path>: <words>"; this
// is how the shared tests meet a failing disk on every system. Every service
// its factory makes shares the rules and the log; safe on several threads.
class ServiceFailures : public std::enable_shared_from_this<ServiceFailures> {
public:
    using Path = std::filesystem::path;

    // Every call of that kind on that path (a folder with or without its
    // trailing separator) fails.
    void FailOn(ServiceCall call, const Path& path, std::string words = "injected failure");
    // The nth call of that kind from now on (1 = the next one) fails.
    void FailNth(ServiceCall call, int nth, std::string words = "injected failure");
    void Heal(); // no more failures

    // What a failing call throws (a call without a path: the words alone).
    static std::string ErrorText(const Path& path, const std::string& words);

    // Every call so far, failed ones included, in order.
    std::vector<std::pair<ServiceCall, Path>> Log() const;
    std::vector<Path> CallPaths(ServiceCall call) const;

    // Services over the real file system whose calls fail as these rules say.
    FileSystemFactory Factory();

    // Logs the call and throws when a rule says so.
    void Check(ServiceCall call, const Path& path);

private:
    struct Rule {
        ServiceCall call;
        std::string words;
        std::optional<int> nth; // counted in calls of its kind; none: on the path
        Path path;
    };

    int CallsLocked(ServiceCall call) const;

    mutable std::mutex mutex_; // guards everything below
    std::vector<Rule> rules_;
    std::vector<std::pair<ServiceCall, Path>> log_;
};

} // namespace velnor::test

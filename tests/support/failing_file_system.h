#pragma once

#include "core/files/folder_handle.h"
#include "tests/support/failure_rules.h"

#include <filesystem>
#include <memory>
#include <string>

namespace velnor::test {

// The file layer's calls that tests fail, watch or make something happen
// before; each is logged with the path of the entry it concerns, as the user
// knows it (a new file: the entry it is for, never its temporary name).
enum class FileCall {
    OpenFolder, // the folder opened, from its path or from the folder around it
    List,       // the folder listed
    OpenFile,   // the file opened to be read
    HoldPage,   // the file about to be replaced
    CreateFile, // a new file for the entry, with or without a name
    WriteFile,  // its content written
    Rename,     // an entry renamed: the path of its new name
    SyncFolder, // a folder's entries flushed
};

// The real file system, chosen calls failing without being carried out with a
// FileSystemError "<path>: <words>" (by default "injected failure"): a failing
// disk on every system. Every service its factory makes shares rules and log.
class FileSystemFailures : public FailureRules<FileCall, std::string>,
                           public std::enable_shared_from_this<FileSystemFailures> {
public:
    // What a failing call throws (a call without a path: the words alone).
    static std::string ErrorText(const Path& path, const std::string& words);

    FileSystemFactory Factory();
    // A folder of the real system whose calls go through these rules.
    std::unique_ptr<FolderHandle> Watch(std::unique_ptr<FolderHandle> real);

    // Logs the call, does what is to happen before it and throws when a rule says so.
    void Check(FileCall call, const Path& path);
};

} // namespace velnor::test

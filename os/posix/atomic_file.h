#pragma once

#include "os/posix/file_attributes.h"
#include "os/posix/file_ops.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

namespace velnor {

// Calls make with new temporary names beside target until one is free (make
// answers anything but EEXIST) and returns that name; make's failure is thrown,
// naming target.
std::filesystem::path MakeTempBeside(const std::filesystem::path& target,
                                     const std::function<int(const std::filesystem::path&)>& make);

// New content for target, complete and flushed to disk beside it but not yet
// in its place. Dropped without Commit, it leaves target as it was and nothing
// beside it.
class PreparedFile {
public:
    PreparedFile(FileOps& ops, std::filesystem::path target, std::filesystem::path temp, int fd);
    PreparedFile(PreparedFile&& other) noexcept;
    PreparedFile& operator=(PreparedFile&& other) noexcept;
    PreparedFile(const PreparedFile&) = delete;
    PreparedFile& operator=(const PreparedFile&) = delete;
    ~PreparedFile();

    // Names the content and renames it over target; beforeRename, when given,
    // may refuse at the last moment by throwing. On failure target is as it
    // was and the temporary file gone. Errors name target.
    void Commit(const std::function<void()>& beforeRename = {});

private:
    friend PreparedFile PrepareAtomically(FileOps&, const std::filesystem::path&,
                                          const std::optional<KeptAttributes>&,
                                          const std::function<void(int fd)>&);
    void Discard() noexcept;

    FileOps* ops_;
    std::filesystem::path target_;
    std::filesystem::path temp_; // empty while the file has no name
    int fd_;                     // open while the file has no name
};

// The first half of a replacement: fill writes the content into a temporary
// file beside target (unnamed where the file system allows), which gets the
// kept attributes (or the usual ones for a new file) and is flushed to disk.
// Safe on several threads at once when ops is. On failure nothing is left
// beside target. Errors name target.
PreparedFile PrepareAtomically(FileOps& ops, const std::filesystem::path& target,
                               const std::optional<KeptAttributes>& keep,
                               const std::function<void(int fd)>& fill);

void WriteAll(FileOps& ops, int fd, std::string_view bytes, const std::filesystem::path& path);

// The folder a path is in ("." for a bare name).
std::filesystem::path FolderOf(const std::filesystem::path& path);

// Makes the entries of a folder (a rename, a new file) last through a crash.
void FsyncFolder(FileOps& ops, const std::filesystem::path& folder);

} // namespace velnor

#pragma once

#include "os/win32/file_info.h"

#include <windows.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace velnor {

// What a rewritten file keeps of the file it replaces, or a copy of its source.
struct KeptAttributes {
    DWORD Attributes = 0; // read-only, hidden, system, archive, not indexed
    FILETIME Created{};
    // The access control list, as a self-relative security descriptor
    // (LocalFree'd); whether it is protected from inheritance comes with it.
    std::shared_ptr<void> Security;
};

// The attributes of an open file (opened with READ_CONTROL).
KeptAttributes AttributesOf(HANDLE file, const FileInfo& info, const std::filesystem::path& path);

// A name beside target for a temporary file: ".<name>.velnor-XXXXXX", the
// same pattern as on Linux.
std::filesystem::path TempNameBeside(const std::filesystem::path& target);

// New content for target, complete and flushed to disk beside it but not yet
// in its place. Dropped without Commit, it leaves target as it was and nothing
// beside it.
class PreparedFile {
public:
    PreparedFile(std::filesystem::path target, std::filesystem::path temp);
    PreparedFile(PreparedFile&& other) noexcept;
    PreparedFile& operator=(PreparedFile&& other) noexcept;
    PreparedFile(const PreparedFile&) = delete;
    PreparedFile& operator=(const PreparedFile&) = delete;
    ~PreparedFile();

    // Renames the content over target, on disk before it returns. On failure
    // target is as it was and the temporary file gone. Errors name target.
    void Commit();

private:
    void Discard() noexcept;

    std::filesystem::path target_;
    std::filesystem::path temp_; // empty once committed or discarded
};

// The first half of a replacement: fill writes the content into a new
// temporary file beside target, which gets the kept attributes (or the
// folder's defaults) and is flushed to disk. The access control list that
// cannot be kept is refused: access is never widened. Safe on several threads
// at once. On failure nothing is left beside target. Errors name target.
PreparedFile PrepareBeside(const std::filesystem::path& target,
                           const std::optional<KeptAttributes>& keep,
                           const std::function<void(HANDLE file)>& fill);

void WriteAll(HANDLE file, std::string_view bytes, const std::filesystem::path& path);

// Removes a file, read-only or not; false when the system refuses.
bool RemoveFile(const std::filesystem::path& path);

} // namespace velnor

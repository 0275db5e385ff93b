#pragma once

#include "os/win32/file_info.h"
#include "os/win32/windows_api.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace velnor {

// What a rewritten file keeps of the file it replaces, or a copy of its source.
struct KeptAttributes {
    DWORD Attributes = 0; // read-only, hidden, system, archive, not indexed
    LARGE_INTEGER Created{};
    // The access control list, as a self-relative security descriptor
    // (LocalFree'd); whether it is protected from inheritance comes with it.
    // None: what the folder hands down, as a new file gets it anyway.
    std::shared_ptr<void> Security;
    std::vector<BYTE> Owner; // the owner's security identifier
    // A replaced page must keep its owner; a copy may take the copier's when
    // the system allows no other.
    bool OwnerRequired = false;
};

// The attributes of an open file (opened with READ_CONTROL).
KeptAttributes AttributesOf(HANDLE file, const FileInfo& info, const std::filesystem::path& path);

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

    // Renames the content over target, on disk before it returns, once
    // lastLook (if any) has not thrown. On failure target is as it was and
    // the temporary file gone. Errors name target.
    void Commit(const std::function<void()>& lastLook = {});

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

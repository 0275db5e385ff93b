#include "os/win32/atomic_file.h"

#include "core/files/temp_name.h"
#include "core/text/display_path.h"
#include "os/win32/long_path.h"
#include "os/win32/win32_error.h"

#include <aclapi.h>

#include <algorithm>
#include <string>
#include <utility>

namespace velnor {
namespace {

constexpr int MaxTempAttempts = 100;
constexpr DWORD MaxWrite = 1 << 30;
constexpr DWORD KeptAttributeMask = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                    FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// A new file under a free temporary name beside target, opened to be written.
UniqueHandle CreateTemp(const std::filesystem::path& target, std::filesystem::path& temp) {
    for (int attempt = 0; attempt < MaxTempAttempts; ++attempt) {
        temp = TempNameBeside(target);
        // READ_CONTROL and WRITE_DAC, which the creator always holds, to give
        // it the page's list and owner
        UniqueHandle file(CreateFileW(LongPath(temp).c_str(),
                                      GENERIC_WRITE | READ_CONTROL | WRITE_DAC, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            return file;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            throw Win32Error(error, target);
        }
    }
    throw Win32Error(ERROR_FILE_EXISTS, target);
}

// A list of entries all handed down by the folder, and open to them: a new
// file gets the same from its own folder, so there is nothing to copy (and
// setting it would cost the system a pass over the folder's list).
bool OnlyHandedDown(PSECURITY_DESCRIPTOR descriptor, PACL list) {
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (list == nullptr || !GetSecurityDescriptorControl(descriptor, &control, &revision) ||
        (control & SE_DACL_PROTECTED) != 0) {
        return false;
    }
    for (DWORD i = 0; i < list->AceCount; ++i) {
        ACE_HEADER* entry = nullptr;
        if (!GetAce(list, i, reinterpret_cast<void**>(&entry)) ||
            (entry->AceFlags & INHERITED_ACE) == 0) {
            return false;
        }
    }
    return true;
}

// Giving a file away takes a privilege (to restore files) that only
// administrators may hold. A page must not change hands; a copy is the
// copier's where nothing else is allowed. The new file is given its owner by
// name: its own handle may not, and WRITE_OWNER asks for no data, so the
// handle's sharing lets it through.
void KeepOwner(HANDLE file, const std::filesystem::path& temp, const KeptAttributes& keep,
               const std::filesystem::path& target) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    DWORD error = GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                                  nullptr, nullptr, &descriptor);
    if (error != ERROR_SUCCESS) {
        throw Win32Error(error, target);
    }
    const bool same = EqualSid(owner, const_cast<BYTE*>(keep.Owner.data()));
    LocalFree(descriptor);
    if (same) {
        return;
    }
    std::wstring name = LongPath(temp);
    error = SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION,
                                  const_cast<BYTE*>(keep.Owner.data()), nullptr, nullptr, nullptr);
    if (error != ERROR_SUCCESS && keep.OwnerRequired) {
        throw FileSystemError(DisplayPath(target) + ": its owner cannot be kept: " +
                              Win32Category().message(static_cast<int>(error)));
    }
}

void KeepAttributes(HANDLE file, const std::filesystem::path& temp, const KeptAttributes& keep,
                    const std::filesystem::path& target) {
    if (!keep.Owner.empty()) {
        KeepOwner(file, temp, keep, target);
    }
    if (keep.Security) {
        PSECURITY_DESCRIPTOR descriptor = keep.Security.get();
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL list = nullptr;
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        ThrowIfFailed(GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted), target);
        ThrowIfFailed(GetSecurityDescriptorControl(descriptor, &control, &revision), target);
        if (present) {
            // A protected list stays as it is; an unprotected one keeps its own
            // entries and inherits the rest from the folder, as the original did.
            const SECURITY_INFORMATION what =
                DACL_SECURITY_INFORMATION |
                ((control & SE_DACL_PROTECTED) != 0 ? PROTECTED_DACL_SECURITY_INFORMATION
                                                    : UNPROTECTED_DACL_SECURITY_INFORMATION);
            const DWORD error =
                SetSecurityInfo(file, SE_FILE_OBJECT, what, nullptr, nullptr, list, nullptr);
            if (error != ERROR_SUCCESS) {
                throw Win32Error(error, target);
            }
        }
    }
    FILE_BASIC_INFO basic{};
    basic.CreationTime = keep.Created;
    // a rewritten file is a changed one: backup programs look for the archive bit
    basic.FileAttributes = (keep.Attributes & KeptAttributeMask) | FILE_ATTRIBUTE_ARCHIVE;
    ThrowIfFailed(SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic), target);
}

} // namespace

KeptAttributes AttributesOf(HANDLE file, const FileInfo& info, const std::filesystem::path& path) {
    KeptAttributes keep;
    keep.Attributes = info.Attributes;
    keep.Created = info.Created;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PSID owner = nullptr;
    PACL list = nullptr;
    const DWORD error = GetSecurityInfo(file, SE_FILE_OBJECT,
                                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                        &owner, nullptr, &list, nullptr, &descriptor);
    if (error != ERROR_SUCCESS) {
        throw Win32Error(error, path);
    }
    keep.Security = std::shared_ptr<void>(descriptor, LocalFree);
    if (owner != nullptr) {
        const auto* sid = static_cast<const BYTE*>(owner);
        keep.Owner.assign(sid, sid + GetLengthSid(owner));
    }
    if (OnlyHandedDown(descriptor, list)) {
        keep.Security.reset();
    }
    return keep;
}

PreparedFile::PreparedFile(std::filesystem::path target, std::filesystem::path temp)
    : target_(std::move(target)), temp_(std::move(temp)) {}

PreparedFile::PreparedFile(PreparedFile&& other) noexcept
    : target_(std::move(other.target_)), temp_(std::exchange(other.temp_, {})) {}

PreparedFile& PreparedFile::operator=(PreparedFile&& other) noexcept {
    if (this != &other) {
        Discard();
        target_ = std::move(other.target_);
        temp_ = std::exchange(other.temp_, {});
    }
    return *this;
}

PreparedFile::~PreparedFile() {
    Discard();
}

void PreparedFile::Commit(const std::function<void()>& lastLook) {
    try {
        if (lastLook) {
            lastLook();
        }
    } catch (...) {
        Discard();
        throw;
    }
    if (!MoveFileExW(LongPath(temp_).c_str(), LongPath(target_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        Discard();
        throw Win32Error(error, target_);
    }
    temp_.clear();
}

void PreparedFile::Discard() noexcept {
    if (!temp_.empty()) {
        RemoveFile(temp_); // the first error is the one to report
        temp_.clear();
    }
}

PreparedFile PrepareBeside(const std::filesystem::path& target,
                           const std::optional<KeptAttributes>& keep,
                           const std::function<void(HANDLE file)>& fill) {
    std::filesystem::path temp;
    UniqueHandle file = CreateTemp(target, temp);
    // owns the temporary file from here: a failure below removes it
    PreparedFile prepared(target, temp);
    try {
        // errors name the page: the temporary name means nothing to the user
        fill(file.Get());
        if (keep) {
            KeepAttributes(file.Get(), temp, *keep, target);
        }
        ThrowIfFailed(FlushFileBuffers(file.Get()), target);
    } catch (...) {
        file.Close(); // an open file cannot be removed
        throw;
    }
    ThrowIfFailed(file.Close(), target);
    return prepared;
}

void WriteAll(HANDLE file, std::string_view bytes, const std::filesystem::path& path) {
    while (!bytes.empty()) {
        DWORD written = 0;
        ThrowIfFailed(::WriteFile(file, bytes.data(),
                                  static_cast<DWORD>(std::min<std::size_t>(bytes.size(), MaxWrite)),
                                  &written, nullptr),
                      path);
        if (written == 0) {
            // a write that makes no progress would loop forever
            throw Win32Error(ERROR_WRITE_FAULT, path);
        }
        bytes.remove_prefix(written);
    }
}

bool RemoveFile(const std::filesystem::path& path) {
    const std::wstring name = LongPath(path);
    if (DeleteFileW(name.c_str())) {
        return true;
    }
    const DWORD attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
           SetFileAttributesW(name.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY) &&
           DeleteFileW(name.c_str());
}

} // namespace velnor

#include "os/win32/atomic_file.h"

#include "os/win32/long_path.h"
#include "os/win32/win32_error.h"

#include <aclapi.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>

namespace velnor {
namespace {

constexpr std::wstring_view TempMarker = L".velnor-";
constexpr std::size_t RandomLength = 6;
constexpr std::size_t MaxNameLength = 255; // UTF-16 units in a name on NTFS
constexpr int MaxTempAttempts = 100;
constexpr DWORD MaxWrite = 1 << 30;
constexpr DWORD KeptAttributeMask = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                    FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::wstring RandomSuffix() {
    static constexpr std::wstring_view letters =
        L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, letters.size() - 1);
    std::wstring suffix;
    for (std::size_t i = 0; i < RandomLength; ++i) {
        suffix += letters[pick(generator)];
    }
    return suffix;
}

// A new file under a free temporary name beside target, opened to be written.
UniqueHandle CreateTemp(const std::filesystem::path& target, std::filesystem::path& temp) {
    for (int attempt = 0; attempt < MaxTempAttempts; ++attempt) {
        temp = TempNameBeside(target);
        // WRITE_DAC, which the creator always holds, to give it the page's list
        UniqueHandle file(CreateFileW(LongPath(temp).c_str(), GENERIC_WRITE | WRITE_DAC, 0, nullptr,
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

void KeepAttributes(HANDLE file, const KeptAttributes& keep, const std::filesystem::path& target) {
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
    basic.CreationTime.LowPart = keep.Created.dwLowDateTime;
    basic.CreationTime.HighPart = static_cast<LONG>(keep.Created.dwHighDateTime);
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
    const DWORD error = GetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                        nullptr, nullptr, nullptr, &descriptor);
    if (error != ERROR_SUCCESS) {
        throw Win32Error(error, path);
    }
    keep.Security = std::shared_ptr<void>(descriptor, LocalFree);
    return keep;
}

std::filesystem::path TempNameBeside(const std::filesystem::path& target) {
    std::wstring name = target.filename().native();
    const std::size_t room = MaxNameLength - 1 - TempMarker.size() - RandomLength;
    if (name.size() > room) {
        name.resize(room);
    }
    return target.parent_path() / (L"." + name + std::wstring(TempMarker) + RandomSuffix());
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

void PreparedFile::Commit() {
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
            KeepAttributes(file.Get(), *keep, target);
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

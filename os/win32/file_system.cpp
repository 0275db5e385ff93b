#include "core/files/file_system.h"

#include "os/win32/long_path.h"
#include "os/win32/win32_error.h"
#include "os/win32/win32_folder.h"

namespace velnor {
namespace {

bool NotFound(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

UniqueHandle OpenPath(const std::wstring& path, ACCESS_MASK access) {
    return UniqueHandle(CreateFileW(path.c_str(), access,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

class Win32FileSystem : public FileSystemService {
public:
    bool FolderExists(const std::filesystem::path& path) override {
        const DWORD attributes = GetFileAttributesW(LongPath(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = GetLastError();
            if (NotFound(error))
                return false;
            throw Win32Error(error, path);
        }
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    // Links on the way, the last one too, are followed as the system resolves
    // the user's path. The volume's serial is asked for once here: Wine
    // answers it slowly.
    std::unique_ptr<FolderHandle> OpenFolder(const std::filesystem::path& path) override {
        const std::wstring name = LongPath(path);
        UniqueHandle folder = OpenPath(name, FolderAccess);
        if (!folder && GetLastError() == ERROR_ACCESS_DENIED)
            folder = OpenPath(name, SearchAccess);
        ThrowIfFailed(static_cast<bool>(folder), path);
        BY_HANDLE_FILE_INFORMATION info{};
        ThrowIfFailed(GetFileInformationByHandle(folder.Get(), &info), path);
        if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            throw Win32Error(ERROR_DIRECTORY, path);
        return MakeWin32Folder(std::move(folder), info.dwVolumeSerialNumber, path);
    }
};

} // namespace

std::shared_ptr<FileSystemService> MakeFileSystem() {
    return std::make_shared<Win32FileSystem>();
}

} // namespace velnor

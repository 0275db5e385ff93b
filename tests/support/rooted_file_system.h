#pragma once

#include "core/files/file_system.h"

#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

namespace velnor::test {

// The real file system seen from inside a folder as if it were "/": paths
// from the code under test are taken inside root, and the folder listings it
// gets back name their items as from "/". A run over "/" without the real one.
class RootedFileSystem : public FileSystemService {
public:
    using Path = std::filesystem::path;

    explicit RootedFileSystem(std::filesystem::path root) : root_(std::move(root)) {}

    bool FolderExists(const Path& path) override { return real_->FolderExists(In(path)); }
    EntryKind KindOf(const Path& path) override { return real_->KindOf(In(path)); }
    bool IsWithin(const Path& inner, const Path& outer) override {
        return real_->IsWithin(In(inner), In(outer));
    }
    std::unique_ptr<FolderLock> LockFolder(const Path& folder) override {
        return real_->LockFolder(In(folder));
    }
    void CopyFolder(const Path& source, const Path& destination, bool overwrite,
                    const CopyProgress& progress) override {
        real_->CopyFolder(In(source), In(destination), overwrite, progress);
    }
    void RenameFolder(const Path& from, const Path& to) override {
        real_->RenameFolder(In(from), In(to));
    }
    void RemoveTree(const Path& path) override { real_->RemoveTree(In(path)); }
    std::uint64_t RemoveLeftovers(const Path& folder) override {
        return real_->RemoveLeftovers(In(folder));
    }
    std::unique_ptr<Folder> GetFolder(const Path& path) override {
        const std::unique_ptr<Folder> folder = real_->GetFolder(In(path));
        return std::make_unique<Listing>(Out(folder->SubFolders()), Out(folder->Files()));
    }
    PageBytes ReadPage(const Path& page, std::uint64_t maxBytes) override {
        return real_->ReadPage(In(page), maxBytes);
    }
    void ReplaceFile(const Path& page, const FileStamp& read, std::string_view bytes) override {
        real_->ReplaceFile(In(page), read, bytes);
    }
    void Flush() override { real_->Flush(); }

private:
    class Listing : public Folder {
    public:
        Listing(std::vector<FolderItem> folders, std::vector<FolderItem> files)
            : folders_(std::move(folders)), files_(std::move(files)) {}
        std::vector<FolderItem> SubFolders() const override { return folders_; }
        std::vector<FolderItem> Files() const override { return files_; }

    private:
        std::vector<FolderItem> folders_, files_;
    };

    Path In(const Path& path) const { return root_ / path.relative_path(); }
    std::vector<FolderItem> Out(std::vector<FolderItem> items) const {
        for (FolderItem& item : items)
            item.Path = "/" / item.Path.lexically_relative(root_);
        return items;
    }

    Path root_;
    std::shared_ptr<FileSystemService> real_ = MakeFileSystem();
};

} // namespace velnor::test

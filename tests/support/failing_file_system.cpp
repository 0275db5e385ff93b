#include "tests/support/failing_file_system.h"

#include "core/text/display_path.h"

#include <optional>
#include <utility>

namespace velnor::test {
namespace {

using Failures = std::shared_ptr<FileSystemFailures>;

class FailingNewFile : public NewFile {
public:
    FailingNewFile(Failures failures, std::filesystem::path shown, std::unique_ptr<NewFile> real)
        : failures_(std::move(failures)), shown_(std::move(shown)), real_(std::move(real)) {}

    void WriteAt(std::uint64_t offset, std::string_view bytes) override {
        failures_->Check(FileCall::WriteFile, shown_);
        real_->WriteAt(offset, bytes);
    }
    void SetSize(std::uint64_t size) override { real_->SetSize(size); }
    void Apply(const FileAttributes& attributes, bool ownerRequired) override {
        real_->Apply(attributes, ownerRequired);
    }
    void Sync() override { real_->Sync(); }
    bool GiveName(const EntryName& name) override { return real_->GiveName(name); }
    void Close() override { real_->Close(); }

private:
    Failures failures_;
    std::filesystem::path shown_;
    std::unique_ptr<NewFile> real_;
};

class FailingFolder : public FolderHandle {
public:
    FailingFolder(Failures failures, std::unique_ptr<FolderHandle> real)
        : FolderHandle(real->Path()), failures_(std::move(failures)), real_(std::move(real)) {}

    FolderId Identity() override { return real_->Identity(); }
    std::vector<Entry> List() override {
        failures_->Check(FileCall::List, Path());
        return real_->List();
    }
    EntryInfo Info(const EntryName& name) override { return real_->Info(name); }
    std::unique_ptr<FolderHandle> OpenFolder(const EntryName& name,
                                             const std::filesystem::path& shown) override {
        failures_->Check(FileCall::OpenFolder, shown);
        return failures_->Watch(real_->OpenFolder(name, shown));
    }
    std::unique_ptr<FolderHandle> OpenParent() override {
        std::unique_ptr<FolderHandle> parent = real_->OpenParent();
        return parent ? failures_->Watch(std::move(parent)) : nullptr;
    }
    bool MakeFolder(const EntryName& name) override { return real_->MakeFolder(name); }
    std::shared_ptr<const FileAttributes> Attributes() override { return real_->Attributes(); }
    void Apply(const FileAttributes& attributes) override { real_->Apply(attributes); }
    void PrepareToFill() override { real_->PrepareToFill(); }
    std::unique_ptr<ReadableFile> OpenFile(const EntryName& name) override {
        failures_->Check(FileCall::OpenFile, PathOf(name));
        return real_->OpenFile(name);
    }
    std::unique_ptr<HeldPage>
    HoldPage(const EntryName& name, const std::function<void(const EntryInfo&)>& check) override {
        failures_->Check(FileCall::HoldPage, PathOf(name));
        return real_->HoldPage(name, check);
    }
    std::unique_ptr<NewFile> CreateUnnamed(bool isPrivate,
                                           const std::filesystem::path& shown) override {
        failures_->Check(FileCall::CreateFile, shown);
        return Watched(real_->CreateUnnamed(isPrivate, shown), shown);
    }
    std::unique_ptr<NewFile> CreateNamed(const EntryName& name, bool isPrivate,
                                         const std::filesystem::path& shown) override {
        failures_->Check(FileCall::CreateFile, shown);
        return Watched(real_->CreateNamed(name, isPrivate, shown), shown);
    }
    bool CopiesLinks() const override { return real_->CopiesLinks(); }
    EntryName ReadLink(const EntryName& name) override { return real_->ReadLink(name); }
    bool MakeLink(const EntryName& name, const EntryName& target) override {
        return real_->MakeLink(name, target);
    }
    void RenameEntry(const EntryName& from, const EntryName& to, bool replace) override {
        failures_->Check(FileCall::Rename, PathOf(to));
        real_->RenameEntry(from, to, replace);
    }
    bool RemoveFile(const EntryName& name) override { return real_->RemoveFile(name); }
    void RemoveFolder(const EntryName& name) override { real_->RemoveFolder(name); }
    void Sync() override {
        failures_->Check(FileCall::SyncFolder, Path());
        real_->Sync();
    }
    std::unique_ptr<FolderLock> Lock(bool withAncestors) override {
        return real_->Lock(withAncestors);
    }

private:
    std::unique_ptr<NewFile> Watched(std::unique_ptr<NewFile> file,
                                     const std::filesystem::path& shown) {
        if (!file)
            return nullptr;
        return std::make_unique<FailingNewFile>(failures_, shown, std::move(file));
    }

    Failures failures_;
    std::unique_ptr<FolderHandle> real_;
};

class FailingFileSystem : public FileSystemService {
public:
    explicit FailingFileSystem(Failures failures) : failures_(std::move(failures)) {}

    bool FolderExists(const std::filesystem::path& path) override {
        return real_->FolderExists(path);
    }
    std::unique_ptr<FolderHandle> OpenFolder(const std::filesystem::path& path) override {
        failures_->Check(FileCall::OpenFolder, path);
        return failures_->Watch(real_->OpenFolder(path));
    }

private:
    Failures failures_;
    std::shared_ptr<FileSystemService> real_ = MakeFileSystem();
};

} // namespace

std::string FileSystemFailures::ErrorText(const Path& path, const std::string& words) {
    return path.empty() ? words : DisplayPath(path) + ": " + words;
}

FileSystemFactory FileSystemFailures::Factory() {
    return [self = shared_from_this()] {
        return std::make_shared<FailingFileSystem>(self);
    };
}

std::unique_ptr<FolderHandle> FileSystemFailures::Watch(std::unique_ptr<FolderHandle> real) {
    return std::make_unique<FailingFolder>(shared_from_this(), std::move(real));
}

void FileSystemFailures::Check(FileCall call, const Path& path) {
    if (const std::optional<std::string> words = Hit(call, path))
        throw FileSystemError(ErrorText(path, words->empty() ? "injected failure" : *words));
}

} // namespace velnor::test

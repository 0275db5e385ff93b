#include "tests/support/failing_file_system.h"

#include "core/text/display_path.h"

#include <optional>

namespace velnor::test {
namespace {

class FailingReplace : public PendingReplace {
public:
    FailingReplace(std::shared_ptr<ServiceFailures> failures, std::filesystem::path path,
                   std::unique_ptr<PendingReplace> real)
        : failures_(std::move(failures)), path_(std::move(path)), real_(std::move(real)) {}

    void Prepare() override {
        failures_->Check(ServiceCall::Prepare, path_);
        real_->Prepare();
    }
    void Commit() override {
        failures_->Check(ServiceCall::Commit, path_);
        real_->Commit();
    }

private:
    std::shared_ptr<ServiceFailures> failures_;
    std::filesystem::path path_;
    std::unique_ptr<PendingReplace> real_;
};

class FailingFileSystem : public FileSystemService {
public:
    explicit FailingFileSystem(std::shared_ptr<ServiceFailures> failures)
        : failures_(std::move(failures)) {}

    using Path = std::filesystem::path;

    bool FolderExists(const Path& path) override { return real_->FolderExists(path); }
    EntryKind KindOf(const Path& path) override { return real_->KindOf(path); }
    bool IsWithin(const Path& inner, const Path& outer) override {
        return real_->IsWithin(inner, outer);
    }
    std::unique_ptr<FolderLock> LockFolder(const Path& folder) override {
        return real_->LockFolder(folder);
    }
    void CopyFolder(const Path& source, const Path& destination, bool overwrite,
                    const CopyProgress& progress) override {
        failures_->Check(ServiceCall::CopyFolder, destination);
        real_->CopyFolder(source, destination, overwrite, progress);
    }
    void RenameFolder(const Path& from, const Path& to) override {
        failures_->Check(ServiceCall::RenameFolder, to);
        real_->RenameFolder(from, to);
    }
    void RemoveTree(const Path& path) override { real_->RemoveTree(path); }
    std::uint64_t RemoveLeftovers(const Path& folder) override {
        return real_->RemoveLeftovers(folder);
    }
    std::unique_ptr<Folder> GetFolder(const Path& path) override {
        failures_->Check(ServiceCall::GetFolder, path);
        return real_->GetFolder(path);
    }
    PageBytes ReadPage(const Path& page, std::uint64_t maxBytes) override {
        failures_->Check(ServiceCall::ReadPage, page);
        return real_->ReadPage(page, maxBytes);
    }
    // In the steps a failure can be injected into; the real service's steps
    // do what its ReplaceFile does.
    void ReplaceFile(const Path& page, const FileStamp& read, std::string_view bytes) override {
        const std::unique_ptr<PendingReplace> replace =
            StartReplace(page, read, std::string(bytes));
        replace->Prepare();
        replace->Commit();
    }
    std::unique_ptr<PendingReplace> StartReplace(const Path& page, const FileStamp& read,
                                                 std::string bytes) override {
        failures_->Check(ServiceCall::StartReplace, page);
        return std::make_unique<FailingReplace>(failures_, page,
                                                real_->StartReplace(page, read, std::move(bytes)));
    }
    void Flush() override {
        failures_->Check(ServiceCall::Flush, {});
        real_->Flush();
    }

private:
    std::shared_ptr<ServiceFailures> failures_;
    std::shared_ptr<FileSystemService> real_ = MakeFileSystem();
};

} // namespace

std::string ServiceFailures::ErrorText(const Path& path, const std::string& words) {
    return path.empty() ? words : DisplayPath(path) + ": " + words;
}

FileSystemFactory ServiceFailures::Factory() {
    return [self = shared_from_this()] {
        return std::make_shared<FailingFileSystem>(self);
    };
}

void ServiceFailures::Check(ServiceCall call, const Path& path) {
    if (const std::optional<std::string> words = Hit(call, path))
        throw FileSystemError(ErrorText(path, words->empty() ? "injected failure" : *words));
}

} // namespace velnor::test

#include "tests/support/failing_file_system.h"

#include "run/os_error.h"

namespace velnor::test {

namespace {

// "a/b/" and "a/b" name the same folder; the search passes the former.
std::string_view Trimmed(const std::filesystem::path& path) {
    std::string_view text = path.native();
    while (text.size() > 1 && text.back() == '/')
        text.remove_suffix(1);
    return text;
}

class FailingFolder : public Folder {
public:
    FailingFolder(std::unique_ptr<Folder> inner, std::filesystem::path path,
                  std::shared_ptr<ServiceFailures> failures)
        : inner_(std::move(inner)), path_(std::move(path)), failures_(std::move(failures)) {}

    std::vector<FolderItem> SubFolders() const override {
        failures_->Check(ServiceCall::List, path_);
        return inner_->SubFolders();
    }
    std::vector<FolderItem> Files() const override {
        failures_->Check(ServiceCall::List, path_);
        return inner_->Files();
    }

private:
    std::unique_ptr<Folder> inner_;
    std::filesystem::path path_;
    std::shared_ptr<ServiceFailures> failures_;
};

class FailingFileSystem : public FileSystemService {
public:
    FailingFileSystem(std::shared_ptr<FileSystemService> inner,
                      std::shared_ptr<ServiceFailures> failures)
        : inner_(std::move(inner)), failures_(std::move(failures)) {}

    bool FolderExists(const std::filesystem::path& path) override {
        failures_->Check(ServiceCall::FolderExists, path);
        return inner_->FolderExists(path);
    }
    void CopyFolder(const std::filesystem::path& source, const std::filesystem::path& destination,
                    bool overwrite) override {
        failures_->Check(ServiceCall::CopyFolder, source);
        inner_->CopyFolder(source, destination, overwrite);
    }
    std::unique_ptr<Folder> GetFolder(const std::filesystem::path& path) override {
        failures_->Check(ServiceCall::GetFolder, path);
        return std::make_unique<FailingFolder>(inner_->GetFolder(path), path, failures_);
    }
    std::string ReadWholeFile(const std::filesystem::path& path) override {
        failures_->Check(ServiceCall::ReadWholeFile, path);
        return inner_->ReadWholeFile(path);
    }
    void ReplaceFile(const std::filesystem::path& path, std::string_view bytes) override {
        failures_->Check(ServiceCall::ReplaceFile, path);
        inner_->ReplaceFile(path, bytes);
    }
    // Counted as ReplaceFile: the same replacement, in two steps.
    std::unique_ptr<PendingReplace> StartReplace(const std::filesystem::path& path,
                                                 std::string bytes) override {
        failures_->Check(ServiceCall::ReplaceFile, path);
        return inner_->StartReplace(path, std::move(bytes));
    }
    void Flush() override { inner_->Flush(); }

private:
    std::shared_ptr<FileSystemService> inner_;
    std::shared_ptr<ServiceFailures> failures_;
};

} // namespace

void ServiceFailures::FailOn(ServiceCall call, const std::filesystem::path& path, int error) {
    rules_.push_back(Rule{call, path, 0, error});
}

void ServiceFailures::FailNth(ServiceCall call, std::size_t nth, int error) {
    rules_.push_back(Rule{call, std::nullopt, nth, error});
}

std::size_t ServiceFailures::Calls(ServiceCall call) const {
    return Paths(call).size();
}

const std::vector<std::filesystem::path>& ServiceFailures::Paths(ServiceCall call) const {
    static const std::vector<std::filesystem::path> none;
    const auto found = calls_.find(call);
    return found == calls_.end() ? none : found->second;
}

void ServiceFailures::Check(ServiceCall call, const std::filesystem::path& path) {
    auto& made = calls_[call];
    made.push_back(path);
    for (const Rule& rule : rules_) {
        if (rule.Call != call)
            continue;
        const bool hit = rule.Path ? Trimmed(*rule.Path) == Trimmed(path) : rule.Nth == made.size();
        if (hit)
            throw OsError(rule.Error, path);
    }
}

FileSystemFactory MakeFailingFileSystemFactory(std::shared_ptr<ServiceFailures> failures,
                                               FileSystemFactory inner) {
    return [failures, inner]() -> std::shared_ptr<FileSystemService> {
        return std::make_shared<FailingFileSystem>(inner(), failures);
    };
}

FileSystemFactory MakeFailingFileSystemFactory(std::shared_ptr<ServiceFailures> failures) {
    return MakeFailingFileSystemFactory(std::move(failures), [] { return MakeFileSystem(); });
}

} // namespace velnor::test

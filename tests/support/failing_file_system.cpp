#include "tests/support/failing_file_system.h"

#include "core/text/display_path.h"

#include <algorithm>

namespace velnor::test {
namespace {

// A folder's path names the same folder with or without its trailing separator.
std::filesystem::path Normal(const std::filesystem::path& path) {
    std::filesystem::path normal = path.lexically_normal();
    return normal.has_filename() || !normal.has_relative_path() ? normal : normal.parent_path();
}

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
    FailingFileSystem(std::shared_ptr<ServiceFailures> failures,
                      std::shared_ptr<FileSystemService> real)
        : failures_(std::move(failures)), real_(std::move(real)) {}

    bool FolderExists(const std::filesystem::path& path) override {
        failures_->Check(ServiceCall::FolderExists, path);
        return real_->FolderExists(path);
    }
    void CopyFolder(const std::filesystem::path& source, const std::filesystem::path& destination,
                    bool overwrite) override {
        failures_->Check(ServiceCall::CopyFolder, destination);
        real_->CopyFolder(source, destination, overwrite);
    }
    std::unique_ptr<Folder> GetFolder(const std::filesystem::path& path) override {
        failures_->Check(ServiceCall::GetFolder, path);
        return real_->GetFolder(path);
    }
    std::string ReadWholeFile(const std::filesystem::path& path) override {
        failures_->Check(ServiceCall::ReadWholeFile, path);
        return real_->ReadWholeFile(path);
    }
    // In the steps a failure can be injected into; the real service's steps
    // do what its ReplaceFile does.
    void ReplaceFile(const std::filesystem::path& path, std::string_view bytes) override {
        const std::unique_ptr<PendingReplace> replace = StartReplace(path, std::string(bytes));
        replace->Prepare();
        replace->Commit();
    }
    std::unique_ptr<PendingReplace> StartReplace(const std::filesystem::path& path,
                                                 std::string bytes) override {
        failures_->Check(ServiceCall::StartReplace, path);
        return std::make_unique<FailingReplace>(failures_, path,
                                                real_->StartReplace(path, std::move(bytes)));
    }
    void Flush() override {
        failures_->Check(ServiceCall::Flush, {});
        real_->Flush();
    }

private:
    std::shared_ptr<ServiceFailures> failures_;
    std::shared_ptr<FileSystemService> real_;
};

} // namespace

void ServiceFailures::FailOn(ServiceCall call, const Path& path, std::string words) {
    const std::lock_guard lock(mutex_);
    rules_.push_back({call, std::move(words), std::nullopt, Normal(path)});
}

void ServiceFailures::FailNth(ServiceCall call, int nth, std::string words) {
    const std::lock_guard lock(mutex_);
    rules_.push_back({call, std::move(words), CallsLocked(call) + nth, {}});
}

void ServiceFailures::Heal() {
    const std::lock_guard lock(mutex_);
    rules_.clear();
}

std::string ServiceFailures::ErrorText(const Path& path, const std::string& words) {
    return path.empty() ? words : DisplayPath(path) + ": " + words;
}

std::vector<std::pair<ServiceCall, ServiceFailures::Path>> ServiceFailures::Log() const {
    const std::lock_guard lock(mutex_);
    return log_;
}

std::vector<ServiceFailures::Path> ServiceFailures::CallPaths(ServiceCall call) const {
    std::vector<Path> paths;
    for (const auto& [made, path] : Log())
        if (made == call)
            paths.push_back(path);
    return paths;
}

FileSystemFactory ServiceFailures::Factory() {
    return [self = shared_from_this()] {
        return std::make_shared<FailingFileSystem>(self, MakeFileSystem());
    };
}

void ServiceFailures::Check(ServiceCall call, const Path& path) {
    const std::lock_guard lock(mutex_);
    log_.emplace_back(call, path);
    const int made = CallsLocked(call);
    for (const Rule& rule : rules_) {
        const bool hit = rule.nth ? *rule.nth == made : Normal(path) == rule.path;
        if (rule.call == call && hit)
            throw FileSystemError(ErrorText(path, rule.words));
    }
}

int ServiceFailures::CallsLocked(ServiceCall call) const {
    return static_cast<int>(std::count_if(log_.begin(), log_.end(),
                                          [call](const auto& made) { return made.first == call; }));
}

} // namespace velnor::test

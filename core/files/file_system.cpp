#include "core/files/file_system.h"

#include <utility>

namespace velnor {
namespace {

// Without steps of its own, a service replaces the page whole at Commit.
class WholeReplace : public PendingReplace {
public:
    WholeReplace(FileSystemService& service, std::filesystem::path path, std::string bytes)
        : service_(service), path_(std::move(path)), bytes_(std::move(bytes)) {}

    void Prepare() override {}
    void Commit() override { service_.ReplaceFile(path_, bytes_); }

private:
    FileSystemService& service_;
    std::filesystem::path path_;
    std::string bytes_;
};

} // namespace

std::unique_ptr<PendingReplace> FileSystemService::StartReplace(const std::filesystem::path& path,
                                                                std::string bytes) {
    return std::make_unique<WholeReplace>(*this, path, std::move(bytes));
}

} // namespace velnor

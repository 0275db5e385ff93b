#pragma once

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace velnor::test {

// Which calls of a stand-in fail, with what error: the nth of a kind from now
// (1 = the next), every one, or every one on a path (trailing separator or
// not). Every call is logged, failed ones too; safe on several threads.
template <typename Kind, typename Error> class FailureRules {
public:
    using Path = std::filesystem::path;

    void FailNth(Kind kind, int nth, Error error = {}) {
        const std::lock_guard lock(mutex_);
        rules_.push_back({kind, std::move(error), CountLocked(kind) + nth, {}});
    }
    void FailAll(Kind kind, Error error = {}) { Add({kind, std::move(error), {}, {}}); }
    void FailOn(Kind kind, const Path& path, Error error = {}) {
        Add({kind, std::move(error), {}, Normal(path)});
    }
    void Heal() { // no more failures
        const std::lock_guard lock(mutex_);
        rules_.clear();
    }

    std::vector<std::pair<Kind, Path>> Log() const {
        const std::lock_guard lock(mutex_);
        return log_;
    }
    std::vector<Path> CallPaths(Kind kind) const {
        std::vector<Path> paths;
        for (const auto& [made, path] : Log())
            if (made == kind)
                paths.push_back(path);
        return paths;
    }

    // Logs the call; the error it fails with when a rule says so.
    std::optional<Error> Hit(Kind kind, const Path& path) {
        const std::lock_guard lock(mutex_);
        log_.emplace_back(kind, path);
        const int made = CountLocked(kind);
        for (const Rule& rule : rules_)
            if (rule.kind == kind && (!rule.nth || *rule.nth == made) &&
                (!rule.path || *rule.path == Normal(path)))
                return rule.error;
        return std::nullopt;
    }

private:
    struct Rule {
        Kind kind;
        Error error;
        std::optional<int> nth;
        std::optional<Path> path;
    };

    static Path Normal(const Path& path) {
        const Path normal = path.lexically_normal();
        return normal.has_filename() || !normal.has_relative_path() ? normal : normal.parent_path();
    }
    void Add(Rule rule) {
        const std::lock_guard lock(mutex_);
        rules_.push_back(std::move(rule));
    }
    int CountLocked(Kind kind) const {
        return static_cast<int>(std::count_if(
            log_.begin(), log_.end(), [kind](const auto& made) { return made.first == kind; }));
    }

    mutable std::mutex mutex_; // guards everything below
    std::vector<Rule> rules_;
    std::vector<std::pair<Kind, Path>> log_;
};

} // namespace velnor::test

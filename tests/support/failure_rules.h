#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace velnor::test {

// Which calls of a stand-in fail, with what error: the nth of a kind from now
// (1 = the next), every one, or every one on a path (trailing separator or
// not); and what happens just before the nth call of a kind, or the first on a
// path (another program swapping a folder for a link, say). Every call is logged, failed ones too;
// safe on several threads.
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
    void Before(Kind kind, int nth, std::function<void()> action) {
        const std::lock_guard lock(mutex_);
        actions_.push_back({kind, CountLocked(kind) + nth, {}, std::move(action)});
    }
    void BeforeOn(Kind kind, const Path& path, std::function<void()> action) {
        const std::lock_guard lock(mutex_);
        actions_.push_back({kind, {}, Normal(path), std::move(action)});
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

    // Logs the call and carries out what is to happen before it; the error it
    // fails with when a rule says so.
    std::optional<Error> Hit(Kind kind, const Path& path) {
        std::unique_lock lock(mutex_);
        log_.emplace_back(kind, path);
        const int made = CountLocked(kind);
        for (auto action = actions_.begin(); action != actions_.end(); ++action) {
            if (action->kind == kind && (!action->nth || *action->nth == made) &&
                (!action->path || *action->path == Normal(path))) {
                const std::function<void()> act = std::move(action->act);
                actions_.erase(action);
                lock.unlock(); // it may be slow, and make calls of its own
                act();
                lock.lock();
                break;
            }
        }
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
    struct Action { // done once
        Kind kind;
        std::optional<int> nth;
        std::optional<Path> path;
        std::function<void()> act;
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
    std::vector<Action> actions_;
    std::vector<std::pair<Kind, Path>> log_;
};

} // namespace velnor::test

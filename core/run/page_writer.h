#pragma once

#include "core/files/page_replace.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace velnor {

// Replaces the pages of a run in their order while the run reads the next
// ones. Each page's new content is written beside it and flushed to disk on
// one of a few worker threads, whose flushes overlap (the file system commits
// them together); then it is put in the page's place on the run's thread,
// strictly in page order. When a page fails, the pages before it are in
// place, it and every later one untouched, and nothing of theirs is left
// beside them.
class PageWriter {
public:
    using Committed = std::function<void()>;

    // More workers than a few did not write faster: the disk is then the limit.
    struct Limits {
        std::size_t workers = 4;
        std::size_t pages = 8;        // queued, counting those being prepared
        std::size_t bytes = 64 << 20; // queued content; a larger page goes alone
    };

    explicit PageWriter(Limits limits);
    // Drops the pages not yet in place, once no worker is busy with them.
    ~PageWriter();
    PageWriter(const PageWriter&) = delete;
    PageWriter& operator=(const PageWriter&) = delete;

    // Queues a page's replacement, of bytes new bytes; done runs on this thread once it is in
    // place. Puts the earlier pages whose content is ready in place first, waiting while the
    // queue is full; a failure of one of them drops every later page and is thrown.
    void Write(std::unique_ptr<PendingReplace> replace, std::size_t bytes, Committed done);
    // Puts every queued page in place, in order, waiting for each; a failure
    // drops the pages after it and is thrown.
    void CommitAll();

private:
    enum class State { Queued, Preparing, Ready, Failed };

    struct Job {
        std::unique_ptr<PendingReplace> replace;
        Committed done;
        std::size_t bytes = 0;
        State state = State::Queued;
        std::exception_ptr error;
    };

    void Work();
    void StopWorkers();
    // Puts the leading ready pages in place, waiting for the first while more
    // than `pages` pages or the byte limit are queued.
    void CommitLeading(std::size_t pages);
    void CommitFirst();
    void DropAll();

    Limits limits_;
    std::deque<std::unique_ptr<Job>> jobs_; // in page order; only the run's thread changes it
    std::size_t queuedBytes_ = 0;

    std::mutex mutex_; // guards what follows and every Job's state and error
    std::condition_variable workQueued_;
    std::condition_variable jobFinished_;
    std::deque<Job*> toPrepare_;
    // Replacements in place, whose end lets go of the pages' old content:
    // freeing it can wait on the disk, which the run's thread need not.
    std::deque<std::unique_ptr<Job>> toRelease_;
    std::size_t preparing_ = 0;
    bool stopping_ = false;

    std::vector<std::thread> workers_;
};

} // namespace velnor

#include "core/run/page_writer.h"

#include <algorithm>
#include <utility>

namespace velnor {

PageWriter::PageWriter(Limits limits) : limits_(limits) {
    // without a worker the first page would never be ready
    const std::size_t workers = std::max<std::size_t>(limits_.workers, 1);
    workers_.reserve(workers);
    try {
        for (std::size_t i = 0; i < workers; ++i) {
            workers_.emplace_back([this] { Work(); });
        }
    } catch (...) {
        StopWorkers();
        throw;
    }
}

PageWriter::~PageWriter() {
    StopWorkers();
    jobs_.clear(); // each unfinished replacement removes its temporary file
}

void PageWriter::StopWorkers() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    workQueued_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
}

void PageWriter::Write(std::unique_ptr<PendingReplace> replace, std::size_t bytes, Committed done) {
    auto job = std::make_unique<Job>();
    job->bytes = bytes;
    job->replace = std::move(replace);
    job->done = std::move(done);
    {
        const std::lock_guard lock(mutex_);
        toPrepare_.push_back(job.get());
    }
    queuedBytes_ += job->bytes;
    jobs_.push_back(std::move(job));
    workQueued_.notify_one();
    CommitLeading(limits_.pages);
}

void PageWriter::CommitAll() {
    CommitLeading(0);
}

void PageWriter::Work() {
    std::unique_lock lock(mutex_);
    while (true) {
        workQueued_.wait(
            lock, [this] { return stopping_ || !toRelease_.empty() || !toPrepare_.empty(); });
        // first, so that old pages do not pile up while new ones are written
        if (!toRelease_.empty()) {
            std::unique_ptr<Job> job = std::move(toRelease_.front());
            toRelease_.pop_front();
            lock.unlock();
            job.reset();
            lock.lock();
            continue;
        }
        if (stopping_) {
            return;
        }
        Job& job = *toPrepare_.front();
        toPrepare_.pop_front();
        job.state = State::Preparing;
        ++preparing_;
        lock.unlock();
        std::exception_ptr error;
        try {
            job.replace->Prepare();
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        job.error = error;
        job.state = error ? State::Failed : State::Ready;
        --preparing_;
        jobFinished_.notify_all();
    }
}

void PageWriter::CommitLeading(std::size_t pages) {
    while (!jobs_.empty()) {
        Job& first = *jobs_.front();
        {
            std::unique_lock lock(mutex_);
            const auto finished = [&first] {
                return first.state == State::Ready || first.state == State::Failed;
            };
            const bool full = jobs_.size() > pages || queuedBytes_ > limits_.bytes;
            if (!full && !finished()) {
                return;
            }
            jobFinished_.wait(lock, finished);
        }
        CommitFirst();
    }
}

void PageWriter::CommitFirst() {
    std::unique_ptr<Job> job = std::move(jobs_.front());
    jobs_.pop_front();
    queuedBytes_ -= job->bytes;
    try {
        if (job->error) {
            std::rethrow_exception(job->error);
        }
        job->replace->Commit();
        job->done();
    } catch (...) {
        DropAll();
        throw;
    }
    {
        const std::lock_guard lock(mutex_);
        toRelease_.push_back(std::move(job));
    }
    workQueued_.notify_one();
}

void PageWriter::DropAll() {
    {
        std::unique_lock lock(mutex_);
        toPrepare_.clear();
        // a temporary file being written belongs to its worker until it is done
        jobFinished_.wait(lock, [this] { return preparing_ == 0; });
    }
    jobs_.clear();
    queuedBytes_ = 0;
}

} // namespace velnor

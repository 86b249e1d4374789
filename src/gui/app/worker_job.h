// One background computation of a window whose results are posted back to the
// window's thread. Each start gets a new generation, so a result that an older
// (stopped or replaced) run still had queued is recognised and dropped.
#pragma once

#include <atomic>
#include <thread>
#include <utility>

namespace gc {

class WorkerJob {
public:
    WorkerJob() = default;
    WorkerJob(const WorkerJob&) = delete;
    WorkerJob& operator=(const WorkerJob&) = delete;
    ~WorkerJob() { Stop(); }

    // Until Finish or Stop: a finished worker whose last result is still
    // queued counts as running.
    bool Running() const { return thread_.joinable(); }
    int generation() const { return generation_; }
    // Whether a result posted by the run of this generation is still wanted.
    bool Current(int generation) const { return Running() && generation == generation_; }

    // Stops any run, then runs work(cancel, generation) on a new thread.
    template <class Work>
    void Start(Work work) {
        Stop();
        cancel_ = false;
        const int generation = ++generation_;
        thread_ = std::thread([this, generation, work = std::move(work)]() mutable { work(cancel_, generation); });
    }
    // Asks the worker to stop and waits for it; its queued results are dropped.
    void Stop() {
        if (!Running()) return;
        cancel_ = true;
        thread_.join();
        ++generation_;
    }
    // On the window's thread, once the last result has arrived.
    void Finish() {
        if (!Running()) return;
        thread_.join();
        ++generation_;
    }

private:
    std::atomic<bool> cancel_{false};
    std::thread thread_;
    int generation_ = 0;
};

}  // namespace gc

// The core's writer of files: one thread, started with the first job, that
// runs the jobs in order and is joined when the program ends.
#include "hosts/core/worker.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "hosts/core/driver.h"

namespace core {
namespace {

class Writer {
public:
    ~Writer() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) thread_.join();
    }

    void Add(std::function<void()> job) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            jobs_.push_back(std::move(job));
            if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
        }
        wake_.notify_all();
    }

    void Finish() {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return jobs_.empty() && !busy_; });
    }

private:
    void Run() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;  // stopping, and nothing left
            std::function<void()> job = std::move(jobs_.front());
            jobs_.pop_front();
            busy_ = true;
            lock.unlock();
            job();
            lock.lock();
            busy_ = false;
            done_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::deque<std::function<void()>> jobs_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

Writer g_writer;

}  // namespace

void WriteAside(std::function<void()> job) {
    if (!TheDriver().threads) {
        job();
        return;
    }
    g_writer.Add(std::move(job));
}

void FinishWriting() {
    if (TheDriver().threads) g_writer.Finish();
}

}  // namespace core

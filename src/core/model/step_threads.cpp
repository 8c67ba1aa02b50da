#include "model/step_threads.h"

#include <sched.h>

#include <algorithm>
#include <ctime>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "model/step_work.h"

namespace marovi {

// Helpers that sleep between jobs. A job is handed out by bumping the round under the lock.
struct TStepThreads::TPool {
    explicit TPool(int helpers)
    {
        try {
            for (int i = 1; i <= helpers; ++i) threads.emplace_back([this, i] { Serve(i); });
        } catch (...) {
            Quit();
            throw;
        }
    }
    ~TPool() { Quit(); }

    void Quit()
    {
        {
            std::lock_guard<std::mutex> g(lock);
            quit = true;
        }
        wake.notify_all();
        for (std::thread& t : threads) t.join();
        threads.clear();
    }

    void Serve(int thread)
    {
        uint64_t seen = 0;
        std::unique_lock<std::mutex> g(lock);
        for (;;) {
            wake.wait(g, [&] { return quit || round != seen; });
            if (quit) return;
            seen = round;
            void (*const run)(void*, int) = job;
            void* const with = context;
            g.unlock();
            run(with, thread);
            g.lock();
            if (--busy == 0) idle.notify_one();
        }
    }

    std::mutex lock;
    std::condition_variable wake, idle;
    std::vector<std::thread> threads;
    void (*job)(void*, int) = nullptr;
    void* context = nullptr;
    uint64_t round = 0;
    int busy = 0;
    bool quit = false;
};

TStepThreads::TStepThreads(int count) : count_(std::clamp(count, 1, MaxStepThreads)) {}

TStepThreads::TStepThreads(const TStepThreads& other) : count_(other.count_) {}

TStepThreads& TStepThreads::operator=(const TStepThreads& other)
{
    SetCount(other.count_);
    return *this;
}

TStepThreads::TStepThreads(TStepThreads&& other) noexcept
    : count_(std::exchange(other.count_, 1)), pool_(std::move(other.pool_)), work_(std::move(other.work_))
{
}

TStepThreads& TStepThreads::operator=(TStepThreads&& other) noexcept
{
    if (this == &other) return *this;
    Stop();
    count_ = std::exchange(other.count_, 1);
    pool_ = std::move(other.pool_);
    work_ = std::move(other.work_);
    return *this;
}

TStepThreads::~TStepThreads() = default;

void TStepThreads::Stop()
{
    pool_.reset();
    work_.reset();
}

void TStepThreads::SetCount(int count)
{
    count = std::clamp(count, 1, MaxStepThreads);
    if (count == count_) return;
    Stop();
    count_ = count;
}

TStepWork& TStepThreads::Work()
{
    if (!work_) work_ = std::make_unique<TStepWork>(count_);
    return *work_;
}

size_t TStepThreads::Bytes() const { return work_ ? work_->Bytes() : 0; }

double TStepThreads::SerialSeconds() const { return work_ ? work_->SerialSeconds : 0.0; }

void TStepThreads::RunErased(void (*job)(void*, int), void* context)
{
    if (count_ == 1) {
        job(context, 0);
        return;
    }
    if (!pool_) pool_ = std::make_unique<TPool>(count_ - 1);
    TPool& p = *pool_;
    {
        std::lock_guard<std::mutex> g(p.lock);
        p.job = job;
        p.context = context;
        p.busy = count_ - 1;
        ++p.round;
    }
    p.wake.notify_all();
    std::exception_ptr error;
    try {
        job(context, 0);
    } catch (...) {
        error = std::current_exception();
    }
    {
        std::unique_lock<std::mutex> g(p.lock);
        p.idle.wait(g, [&] { return p.busy == 0; });
    }
    if (error) std::rethrow_exception(error);
}

double ThreadSeconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

int UsableProcessors()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof(set), &set) == 0 && CPU_COUNT(&set) > 0) return CPU_COUNT(&set);
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

TProcessorShare ShareProcessors(int runs, int jobs, int threads, int processors)
{
    runs = std::max(runs, 1);
    processors = std::max(processors, 1);
    TProcessorShare share;
    share.Jobs = std::min(jobs > 0 ? jobs : threads > 0 ? std::max(1, processors / threads) : processors, runs);
    share.Threads = threads > 0 ? threads : std::max(1, processors / share.Jobs);
    return share;
}

} // namespace marovi

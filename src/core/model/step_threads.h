#pragma once
#include <cstddef>
#include <memory>

namespace marovi {

struct TStepWork;

// The threads a time step runs on: the caller and Count() - 1 helpers, started by the first
// step that needs them and kept until the count changes or the model goes. A copy has the same
// count and threads of its own, started when it first steps.
class TStepThreads {
public:
    explicit TStepThreads(int count = 1);
    TStepThreads(const TStepThreads& other);
    TStepThreads& operator=(const TStepThreads& other);
    TStepThreads(TStepThreads&& other) noexcept;
    TStepThreads& operator=(TStepThreads&& other) noexcept;
    ~TStepThreads();

    int Count() const { return count_; }
    // 1..MaxStepThreads; the helpers of the old count stop.
    void SetCount(int count);

    // Runs job(thread) on every thread, the caller's as thread 0, and returns when all have
    // returned. An exception of the caller's job is rethrown then; the helpers' jobs must not
    // throw.
    template <class Job>
    void Run(Job& job)
    {
        RunErased([](void* j, int thread) { (*static_cast<Job*>(j))(thread); }, &job);
    }

    // The step's working storage for this count, made on first use and kept, so that a step
    // allocates nothing.
    TStepWork& Work();
    // Bytes held for the step's working storage.
    size_t Bytes() const;
    // Processor seconds of the last step's serial part on more than one thread: the work only
    // the sweeping thread can do (0 before the first step; on one thread it does everything).
    double SerialSeconds() const;

private:
    struct TPool;
    void RunErased(void (*job)(void*, int), void* context);
    void Stop();

    int count_ = 1;
    std::unique_ptr<TPool> pool_;
    std::unique_ptr<TStepWork> work_;
};

// Processor seconds the calling thread has run.
double ThreadSeconds();

// The most threads a step runs on.
constexpr int MaxStepThreads = 1024;

// The processors this process may run on (a Slurm task or a taskset gets its share of the
// machine, not all of its cores).
int UsableProcessors();

// How `runs` runs share `processors` processors: runs side by side (Jobs) and threads within a
// run. A count the user gave (above 0) is kept; the other is chosen so that Jobs x Threads stays
// within the processors. Never more jobs than runs.
struct TProcessorShare {
    int Jobs = 1;
    int Threads = 1;
};
TProcessorShare ShareProcessors(int runs, int jobs, int threads, int processors);

} // namespace marovi

#include "step_runner.h"

#include <QCoreApplication>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace marovi::app {

namespace {

// Library code loaded by the window system (drawing, font and image code built for AVX)
// may return with the upper halves of the vector registers in use. On processors that
// track that state, every following SSE instruction of the core then pays a transition
// penalty: a time step of the default scenario took 8 x as long in the desktop as in the
// runner. VZEROUPPER marks the upper halves clean; it costs about a cycle, so it runs
// before every piece of core work, on whichever thread runs it. It exists only where the
// processor and the system support AVX, which is asked once.
void CleanVectorState()
{
#if defined(__x86_64__) || defined(__i386__)
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx) asm volatile("vzeroupper");
#endif
}

} // namespace

struct TStepRunner::TImpl {
    struct TEntry {
        QPointer<QObject> Context;
        TWork Work;     // empty for an action
        TAction Action; // the action, or the work's `done`
        TFailure Failed;
    };
    std::deque<TEntry> Queue;
    bool Pumping = false;
    bool InFlight = false;
    TEntry Current;

    // The worker thread and its one job slot.
    std::thread Worker;
    std::mutex Mutex;
    std::condition_variable Wake;
    TWork Job;
    QString Error; // of the work just finished
    bool Quit = false;
};

TStepRunner::TStepRunner(Model& model, QObject* parent) : QObject(parent), model_(model), impl_(std::make_unique<TImpl>())
{
    impl_->Worker = std::thread([this] {
        TImpl& d = *impl_;
        for (;;) {
            TWork job;
            {
                std::unique_lock lock(d.Mutex);
                d.Wake.wait(lock, [&] { return d.Quit || d.Job; });
                if (d.Quit) return;
                job = std::move(d.Job);
                d.Job = nullptr;
            }
            QString error;
            CleanVectorState();
            try {
                job(model_);
            } catch (const std::exception& e) {
                error = QString::fromStdString(e.what());
            } catch (...) {
                error = QStringLiteral("unknown error");
            }
            {
                // Handing the result over under the mutex orders the work's writes to the
                // model before everything the user-interface thread does after taking it.
                std::lock_guard lock(d.Mutex);
                d.Error = error;
            }
            QMetaObject::invokeMethod(this, [this] { WorkFinished(); }, Qt::QueuedConnection);
        }
    });
}

TStepRunner::~TStepRunner()
{
    {
        std::lock_guard lock(impl_->Mutex);
        impl_->Quit = true;
    }
    impl_->Wake.notify_one();
    impl_->Worker.join(); // a job in flight finishes first: the worker only looks between jobs
}

bool TStepRunner::Busy() const { return impl_->InFlight; }

bool TStepRunner::Idle() const { return !impl_->InFlight && impl_->Queue.empty(); }

void TStepRunner::Submit(QObject* context, TWork work, TAction done, TFailure failed)
{
    impl_->Queue.push_back({context, std::move(work), std::move(done), std::move(failed)});
    Pump();
}

void TStepRunner::BetweenSteps(QObject* context, TAction action)
{
    if (!impl_->InFlight) { // between steps already: also when called from another action
        if (!context) return;
        CleanVectorState();
        action();
        return;
    }
    impl_->Queue.push_back({context, {}, std::move(action), {}});
}

void TStepRunner::WaitIdle()
{
    while (!Idle()) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
}

// Runs queued actions until the next work goes to the worker.
void TStepRunner::Pump()
{
    TImpl& d = *impl_;
    if (d.Pumping || d.InFlight) return;
    d.Pumping = true;
    while (!d.InFlight && !d.Queue.empty()) {
        TImpl::TEntry entry = std::move(d.Queue.front());
        d.Queue.pop_front();
        if (!entry.Context) continue; // its window is gone
        if (!entry.Work) {
            CleanVectorState();
            entry.Action();
            continue;
        }
        d.InFlight = true;
        {
            std::lock_guard lock(d.Mutex);
            d.Job = std::move(entry.Work);
        }
        d.Current = std::move(entry);
        d.Wake.notify_one();
    }
    d.Pumping = false;
}

void TStepRunner::WorkFinished()
{
    TImpl& d = *impl_;
    QString error;
    {
        std::lock_guard lock(d.Mutex);
        error = std::move(d.Error);
        d.Error.clear();
    }
    TImpl::TEntry finished = std::move(d.Current);
    d.Current = {};
    d.InFlight = false;
    d.Pumping = true; // what `done` submits waits behind what was queued during the work
    if (!error.isEmpty()) {
        if (!finished.Failed)
            emit WorkFailed(error);
        else if (finished.Context)
            finished.Failed(error);
    } else if (finished.Context && finished.Action) {
        CleanVectorState();
        finished.Action();
    }
    d.Pumping = false;
    Pump();
}

} // namespace marovi::app

#pragma once
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

namespace marovi {
struct Model;
}

namespace marovi::app {

// Owns the one model's time: every computation that reads or changes the model from the
// desktop goes through here, one after another, so that a window never sees a model in
// the middle of a time step.
//
// - Submit(work, done): `work` runs on the worker thread (time steps, labelling a large
//   grid, generating a landscape), `done` afterwards on the user-interface thread. The
//   window stays live while `work` runs.
// - BetweenSteps(context, action): `action` runs on the user-interface thread while no
//   work is in flight: at once when the runner is idle, otherwise right after the work in
//   flight has finished (and its `done` has run), before the next queued work starts.
//   Editors change the model, and windows read it, only inside such actions (or in a
//   `done`). The action is dropped when `context` has been destroyed meanwhile.
//
// Both clean the processor's vector state before they call into the core (see
// step_runner.cpp). Widgets that paint model content paint from what they rendered in the
// last action or `done`, never from the model inside paintEvent while Busy().
class TStepRunner : public QObject {
    Q_OBJECT
public:
    explicit TStepRunner(Model& model, QObject* parent = nullptr);
    ~TStepRunner() override; // waits for the work in flight; queued work is dropped

    using TWork = std::function<void(Model&)>;
    using TAction = std::function<void()>;
    using TFailure = std::function<void(const QString& message)>;

    // When `work` throws, `failed` runs instead of `done` (on the user-interface thread);
    // without `failed`, WorkFailed is emitted and the program shows the message.
    void Submit(QObject* context, TWork work, TAction done = {}, TFailure failed = {});
    void BetweenSteps(QObject* context, TAction action);

    // Work is in flight on the worker thread: the model belongs to it now.
    bool Busy() const;
    // Nothing in flight and nothing queued.
    bool Idle() const;
    // Runs the event loop until Idle() (tests, and closing the program).
    void WaitIdle();

    // The model, for reading and changing inside an action or a `done` only.
    Model& model() { return model_; }

signals:
    // Work without its own failure handler has failed with this message.
    void WorkFailed(const QString& message);

private:
    struct TImpl;
    void Pump();
    void WorkFinished();

    Model& model_;
    std::unique_ptr<TImpl> impl_;
};

} // namespace marovi::app

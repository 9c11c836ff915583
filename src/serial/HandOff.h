#pragma once
// The blocking hand-off of notifications from a worker thread to the GUI thread (the
// thread of the QCoreApplication): the worker posts the events and waits until the GUI
// thread has handled them. Whoever stops the worker on the GUI thread keeps serving posted
// hand-offs while it waits, so stopping can never deadlock; the worker also gives up its
// wait when asked to stop (as when the GUI thread stops it from inside a handler).
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>

namespace qr::serial {

class HandOff : public std::enable_shared_from_this<HandOff> {
public:
    // Runs on the GUI thread with the events of one hand-off.
    using Dispatch = std::function<void(int events)>;
    explicit HandOff(Dispatch dispatch);

    // Whether the calling thread is the GUI thread (false without an application object).
    static bool onGuiThread();

    // Worker side. Posts events to the GUI thread and waits until they were handled or a
    // stop was requested. Returns at once without an application object.
    void deliver(int events, std::stop_token stop);
    // A worker that may still call deliver; workerDone when it has ended.
    void workerStarted();
    void workerDone();

    // GUI side: waits until every worker has ended, handling posted hand-offs meanwhile
    // (only on the GUI thread; another thread just waits).
    void serveUntilWorkersDone();
    // No dispatch from now on; hand-offs still queued in the event loop do nothing.
    void detach();
    bool attached() const;

private:
    struct Request {
        int events = 0;
        enum class State { Posted, Running, Done } state = State::Posted;
    };
    void serve(const std::shared_ptr<Request>& request);

    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    std::deque<std::shared_ptr<Request>> posted_;
    Dispatch dispatch_;
    int workers_ = 0;
    bool attached_ = true;
};

}  // namespace qr::serial

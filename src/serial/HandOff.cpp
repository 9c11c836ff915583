#include "serial/HandOff.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <algorithm>

namespace qr::serial {

HandOff::HandOff(Dispatch dispatch) : dispatch_(std::move(dispatch)) {}

bool HandOff::onGuiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && app->thread() == QThread::currentThread();
}

void HandOff::deliver(int events, std::stop_token stop) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return;
    auto request = std::make_shared<Request>();
    request->events = events;
    std::unique_lock lock(mutex_);
    if (stop.stop_requested() || !attached_) return;
    posted_.push_back(request);
    QMetaObject::invokeMethod(
        app, [self = shared_from_this(), request] { self->serve(request); }, Qt::QueuedConnection);
    changed_.wait(lock, stop, [&] { return request->state == Request::State::Done; });
}

void HandOff::serve(const std::shared_ptr<Request>& request) {
    Dispatch dispatch;
    {
        std::lock_guard lock(mutex_);
        if (!attached_ || request->state != Request::State::Posted) return;
        request->state = Request::State::Running;
        posted_.erase(std::remove(posted_.begin(), posted_.end(), request), posted_.end());
        // A copy: the component may detach (and drop its dispatch) from inside a handler.
        dispatch = dispatch_;
    }
    struct MarkDone {
        HandOff& self;
        Request& request;
        ~MarkDone() {
            std::lock_guard lock(self.mutex_);
            request.state = Request::State::Done;
            self.changed_.notify_all();
        }
    } done{*this, *request};
    dispatch(request->events);
}

void HandOff::workerStarted() {
    std::lock_guard lock(mutex_);
    ++workers_;
}

void HandOff::workerDone() {
    std::lock_guard lock(mutex_);
    --workers_;
    changed_.notify_all();
}

void HandOff::serveUntilWorkersDone() {
    const bool serving = onGuiThread();
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return workers_ == 0 || (serving && !posted_.empty()); });
        if (serving && !posted_.empty()) {
            auto request = posted_.front();
            lock.unlock();
            serve(request);
            lock.lock();
            continue;
        }
        return;
    }
}

void HandOff::detach() {
    std::lock_guard lock(mutex_);
    attached_ = false;
    posted_.clear();
    dispatch_ = nullptr;
    changed_.notify_all();
}

bool HandOff::attached() const {
    std::lock_guard lock(mutex_);
    return attached_;
}

}  // namespace qr::serial

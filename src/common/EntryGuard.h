#pragma once
// How a session runs its event entries (a port's receive and error events, a timer's tick):
// through the front end's guard (the window reports in its error box), or, without one,
// keeping what an entry threw so that a blocking run can throw it again.
#include <exception>
#include <functional>
#include <utility>

namespace qr {

class EntryGuard {
public:
    using Guard = std::function<void(const std::function<void()>& entry)>;

    void set(Guard guard) { guard_ = std::move(guard); }

    void run(const std::function<void()>& entry) {
        if (guard_) {
            guard_(entry);
            return;
        }
        try {
            entry();
        } catch (...) {
            error_ = std::current_exception();
        }
    }

    bool failed() const { return error_ != nullptr; }
    void clear() { error_ = nullptr; }
    // Throws what an entry threw, once.
    void rethrow() {
        if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    }

private:
    Guard guard_;
    std::exception_ptr error_;
};

}  // namespace qr

#pragma once
// How a session runs one event entry (a receive, a line error, a timer tick): through the
// front end's guard (the window's error box) when it has one; otherwise an exception is kept
// for the blocking caller, which throws it again.
#include <exception>
#include <functional>

namespace qr {

using EntryGuard = std::function<void(const std::function<void()>& entry)>;

// False when the entry threw and the exception was kept in kept.
inline bool runGuarded(const EntryGuard& guard, const std::function<void()>& entry,
                       std::exception_ptr& kept) {
    if (guard) {
        guard(entry);
        return true;
    }
    try {
        entry();
        return true;
    } catch (...) {
        kept = std::current_exception();
        return false;
    }
}

}  // namespace qr

#pragma once
// The one way tests let the event loop run: until a condition holds, or for a while.
#include <QCoreApplication>
#include <chrono>
#include <functional>
#include <thread>

namespace qr::test {

// Lets the event loop run until the condition holds or the deadline passes; the result
// says which (a test checks it: ASSERT_TRUE(pumpUntil(...))).
inline bool pumpUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

inline void pumpFor(std::chrono::milliseconds time) {
    pumpUntil([] { return false; }, time);
}

}  // namespace qr::test

#pragma once
// Runs a long loop in parts on a few threads: the scorer's loops over the fixes of a flight
// are independent from fix to fix, and a long flight is scored in half the time on two cores.
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace qr::xc {

// Calls body(first, last) for consecutive parts [first, last) of [0, n), some at once; it
// returns when all are done. The parts must write to different places. A short loop runs on
// the calling thread alone.
template <typename Body>
void forParts(int n, const Body& body) {
    constexpr int kLeast = 2048;  // fixes in a part: fewer are not worth a thread
    constexpr int kParts = 16;    // more parts than threads even out their lengths
    const int parts = std::clamp(n / kLeast, 1, kParts);
    const int threads = std::min<int>(
        {parts, 4, std::max(1, static_cast<int>(std::thread::hardware_concurrency()))});
    if (threads <= 1) {
        body(0, n);
        return;
    }
    std::atomic<int> next{0};
    auto work = [&] {
        for (int k = next++; k < parts; k = next++)
            body(static_cast<int>(static_cast<long>(n) * k / parts),
                 static_cast<int>(static_cast<long>(n) * (k + 1) / parts));
    };
    {
        std::vector<std::jthread> helpers;
        for (int t = 1; t < threads; ++t) helpers.emplace_back(work);
        work();
    }  // the helpers join here
}

}  // namespace qr::xc

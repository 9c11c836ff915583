#include "common/Delay.h"

#include <chrono>
#include <thread>

namespace qr {

void Delay(int milliseconds) {
    using clock = std::chrono::steady_clock;
    const auto end = clock::now() + std::chrono::milliseconds(milliseconds < 0 ? 0 : milliseconds);
    // Even a pause of 0 lets the clock advance once, as a pause on the time of day would.
    do {
        std::this_thread::sleep_until(end);
    } while (clock::now() < end);
}

}  // namespace qr

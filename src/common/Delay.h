#pragma once

namespace qr {

// Blocks the calling thread for at least the given milliseconds. It handles no events:
// notifications of the serial ports queue up and are delivered after the pause.
// Measured on the monotonic clock, so midnight or a clock change cannot shorten it.
void Delay(int milliseconds);

}  // namespace qr

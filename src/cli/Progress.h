#pragma once
// Progress of a transfer on standard error: a bar with percent, bytes, rate and time left on
// a terminal, one line per 10 % otherwise, nothing when asked to be quiet. The texts are
// pure functions of the figures; the report decides when to say something.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qr::cli {

struct ProgressFigures {
    std::uint64_t bytes = 0;
    std::uint64_t total = 0;     // 0: not known
    double seconds = 0;          // since the transfer began
    const char* unit = "Bytes";  // what is counted ("Sätze" for the settings sentences)
};

// The percentage done, 0 to 100 (more than the total counts as 100); -1 without a total.
int percentDone(const ProgressFigures& figures);

// "12,5 kB/s" (German decimal comma; B/s below 1000, MB/s from 1,000,000).
std::string rateText(double bytesPerSecond);

// "0:07", "12:34", "1:02:03".
std::string durationText(double seconds);

// "[#########           ]  45 %  12345 / 27000 Bytes  11,2 kB/s  noch 0:12"; without a
// total "12345 Bytes  11,2 kB/s". Rate and time left appear once a rate can be told; the
// rate only for bytes.
std::string progressBar(const ProgressFigures& figures, int width = 30);

// "45 % (12345 von 27000 Bytes)", or "12345 Bytes" without a total.
std::string progressLine(const ProgressFigures& figures);

class ProgressReport {
public:
    enum class Mode { Bar, Lines, None };

    // sink receives each piece of text for standard error as it is due.
    ProgressReport(Mode mode, std::function<void(std::string_view)> sink);

    // A new figure. The bar is redrawn at most every 0.1 s (and at 100 %); a line is written
    // for each 10 % step reached (each step once).
    void update(const ProgressFigures& figures);
    // The transfer has ended: its last figure is its whole (what came is the total), so the
    // report ends at 100 %; ends the bar's line.
    void finish();

private:
    Mode mode_;
    std::function<void(std::string_view)> sink_;
    int nextStep_ = 10;
    double lastDrawn_ = -1;
    bool drawn_ = false;
    bool seen_ = false;
    ProgressFigures last_;
};

}  // namespace qr::cli

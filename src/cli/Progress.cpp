#include "cli/Progress.h"

#include <cmath>
#include <cstdio>

namespace qr::cli {

namespace {

std::string oneDecimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    std::string s = text;
    for (char& c : s)
        if (c == '.') c = ',';
    return s;
}

double rateOf(const ProgressFigures& f) {
    return f.seconds > 0 ? static_cast<double>(f.bytes) / f.seconds : 0;
}

}  // namespace

int percentDone(const ProgressFigures& f) {
    if (f.total == 0) return -1;
    if (f.bytes >= f.total) return 100;
    return static_cast<int>(f.bytes * 100 / f.total);
}

std::string rateText(double bytesPerSecond) {
    if (bytesPerSecond < 1000) return std::to_string(std::lround(bytesPerSecond)) + " B/s";
    if (bytesPerSecond < 1e6) return oneDecimal(bytesPerSecond / 1e3) + " kB/s";
    return oneDecimal(bytesPerSecond / 1e6) + " MB/s";
}

std::string durationText(double seconds) {
    const long total = seconds > 0 ? std::lround(seconds) : 0;
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60,
                      total % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

std::string progressBar(const ProgressFigures& f, int width) {
    const int percent = percentDone(f);
    const double rate = rateOf(f);
    std::string text;
    if (percent >= 0) {
        const int filled = percent * width / 100;
        text = "[" + std::string(static_cast<std::size_t>(filled), '#') +
               std::string(static_cast<std::size_t>(width - filled), ' ') + "] ";
        char figure[16];
        std::snprintf(figure, sizeof figure, "%3d %%", percent);
        text += figure;
        text += "  " + std::to_string(f.bytes) + " / " + std::to_string(f.total) + " " + f.unit;
    } else {
        text = std::to_string(f.bytes) + " " + f.unit;
    }
    if (rate > 0) {
        if (std::string_view(f.unit) == "Bytes") text += "  " + rateText(rate);
        if (percent >= 0 && percent < 100)
            text += "  noch " + durationText(static_cast<double>(f.total - f.bytes) / rate);
    }
    return text;
}

std::string progressLine(const ProgressFigures& f) {
    const int percent = percentDone(f);
    if (percent < 0) return std::to_string(f.bytes) + " " + f.unit;
    return std::to_string(percent) + " % (" + std::to_string(f.bytes) + " von " +
           std::to_string(f.total) + " " + f.unit + ")";
}

ProgressReport::ProgressReport(Mode mode, std::function<void(std::string_view)> sink)
    : mode_(mode), sink_(std::move(sink)) {}

void ProgressReport::update(const ProgressFigures& f) {
    last_ = f;
    seen_ = true;
    switch (mode_) {
        case Mode::None:
            return;
        case Mode::Bar: {
            const bool complete = percentDone(f) == 100;
            if (drawn_ && !complete && f.seconds - lastDrawn_ < 0.1) return;
            // Blanks at the end wipe what a longer previous text left.
            sink_("\r" + progressBar(f) + "   ");
            lastDrawn_ = f.seconds;
            drawn_ = true;
            return;
        }
        case Mode::Lines: {
            const int percent = percentDone(f);
            if (percent < nextStep_) return;
            sink_(progressLine(f) + "\n");
            nextStep_ = percent / 10 * 10 + 10;
            return;
        }
    }
}

void ProgressReport::finish() {
    if (seen_ && percentDone(last_) != 100 && last_.bytes > 0) {
        ProgressFigures whole = last_;
        whole.total = whole.bytes;
        update(whole);
    }
    if (mode_ == Mode::Bar && drawn_) sink_("\n");
    drawn_ = false;
    seen_ = false;
    nextStep_ = 10;
}

}  // namespace qr::cli

#include "logger/TrackScoreWorker.h"

#include "xc/Score.h"

namespace qr {

TrackScoreWorker::TrackScoreWorker(std::vector<std::vector<flight::Fix>> flights, Report report)
    : flights_(std::move(flights)),
      report_(std::move(report)),
      thread_([this](std::stop_token stop) { work(stop); }) {}

TrackScoreWorker::~TrackScoreWorker() {
    thread_.request_stop();
    if (thread_.joinable()) thread_.join();
}

std::string TrackScoreWorker::pendingLine() {
    return xc::xcontestRules().name + ": wird berechnet…";
}

void TrackScoreWorker::work(std::stop_token stop) {
    xc::ScoreOptions options;
    options.maxTimeSeconds = kSecondsPerFlight;
    for (std::size_t i = 0; i < flights_.size() && !stop.stop_requested(); ++i) {
        if (flights_[i].empty()) continue;
        std::string line;
        try {
            const xc::ScoreResult result = xc::score(flights_[i], xc::xcontestRules(), options);
            line = xc::tooltipLine(result);
            if (!result.optimal) line += " (vorläufig)";
        } catch (const std::exception&) {
            line = xc::xcontestRules().name + ": nicht berechenbar";
        }
        report_(static_cast<int>(i), line);
    }
    finished_ = true;
}

}  // namespace qr

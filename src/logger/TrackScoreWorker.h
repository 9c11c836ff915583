#pragma once
// The cross-country score of every flight of a download, worked out on a thread of its own so
// that the track list never waits for it. Each flight's tooltip line is reported as soon as it
// is known; a flight that takes longer than its time limit reports the best score found.
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "flight/Fix.h"

namespace qr {

class TrackScoreWorker {
public:
    // Called on the worker thread with the entry and its line ("XContest: 95,58 Punkte, …").
    using Report = std::function<void(int entry, const std::string& line)>;

    // Scores flights[i] for entry i (entries without fixes are passed over).
    TrackScoreWorker(std::vector<std::vector<flight::Fix>> flights, Report report);
    // Asks the thread to stop after the flight it is on, and waits for it.
    ~TrackScoreWorker();
    TrackScoreWorker(const TrackScoreWorker&) = delete;
    TrackScoreWorker& operator=(const TrackScoreWorker&) = delete;

    // Asks the thread to stop after the flight it is on, without waiting.
    void stop() { thread_.request_stop(); }
    bool finished() const { return finished_; }

    static constexpr double kSecondsPerFlight = 5;
    // The line an entry shows while its score is being worked out.
    static std::string pendingLine();

private:
    void work(std::stop_token stop);

    std::vector<std::vector<flight::Fix>> flights_;
    Report report_;
    std::atomic<bool> finished_ = false;
    std::jthread thread_;  // last: starts when everything it reads is there
};

}  // namespace qr

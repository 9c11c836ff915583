#pragma once
// The far end of a pseudo-terminal for tests of the settings transfer: it reads what the
// program writes to the slave side, cuts it into 18-byte SET sentences, notes when each
// arrived, and answers each as a script says, in pieces with pauses in between. Reading
// goes on while an answer is written, so a sentence sent too early shows as one that
// arrived before the previous answer was complete.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/EventPump.h"

namespace qr::test {

class PtyPeer {
public:
    using Clock = std::chrono::steady_clock;
    struct Piece {
        std::chrono::milliseconds pauseBefore{0};
        std::string bytes;
    };
    // The answer to one sentence (the sentence's 1-based number and its bytes).
    using Script = std::function<std::vector<Piece>(int number, const std::string& sentence)>;
    struct Sentence {
        std::string bytes;
        Clock::time_point arrived;  // taken after the read: never earlier than the sending
        // Taken just before the answer's last write: never later than the answer's end.
        // Empty while the answer is still being written, and for sentences left unanswered.
        Clock::time_point lastAnswerWrite{};
    };

    explicit PtyPeer(Script script = {});
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    const std::string& slavePath() const { return slavePath_; }

    std::vector<Sentence> sentences() const;
    std::string received() const;  // every byte, including an unfinished sentence
    std::size_t sentenceCount() const;

private:
    void read(std::stop_token stop);
    void answer(std::stop_token stop);

    int master_ = -1;
    std::string slavePath_;
    Script script_;
    mutable std::mutex mutex_;
    std::condition_variable_any arrived_;
    std::string received_;
    std::vector<Sentence> sentences_;
    std::deque<int> toAnswer_;  // indexes into sentences_
    std::jthread reader_;
    std::jthread answerer_;
};

}  // namespace qr::test

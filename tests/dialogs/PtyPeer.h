#pragma once
// The far end of a pseudo-terminal for tests of the settings transfer: it reads what the
// program writes to the slave side, cuts it into 18-byte SET sentences, notes when each
// arrived, and answers each as a script says, in pieces with pauses in between.
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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
        Clock::time_point arrived;
        Clock::time_point previousAnswerEnd;  // last answer byte written before it (or epoch)
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
    void run(std::stop_token stop);

    int master_ = -1;
    std::string slavePath_;
    Script script_;
    mutable std::mutex mutex_;
    std::string received_;
    std::vector<Sentence> sentences_;
    Clock::time_point lastAnswerEnd_{};
    std::jthread thread_;
};

// Lets the GUI thread's events run until the condition holds or the deadline passes.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds deadline = std::chrono::seconds(30));

}  // namespace qr::test

#include "dialogs/PtyPeer.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "common/FdIo.h"
#include "dialogs/SettingsTransfer.h"

namespace qr::test {

PtyPeer::PtyPeer(Script script) : script_(std::move(script)) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        throw std::runtime_error("no pseudo-terminal");
    slavePath_ = ptsname(master_);
    reader_ = std::jthread([this](std::stop_token stop) { read(stop); });
    if (script_) answerer_ = std::jthread([this](std::stop_token stop) { answer(stop); });
}

PtyPeer::~PtyPeer() {
    answerer_ = {};  // requests a stop and joins
    reader_ = {};
    ::close(master_);
}

void PtyPeer::read(std::stop_token stop) {
    std::string pending;
    while (!stop.stop_requested()) {
        pollfd fd{master_, POLLIN, 0};
        if (::poll(&fd, 1, 20) <= 0) continue;
        char buffer[256];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) {
            // EIO while no one holds the slave side open.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        const Clock::time_point now = Clock::now();
        pending.append(buffer, static_cast<std::size_t>(n));
        std::lock_guard lock(mutex_);
        received_.append(buffer, static_cast<std::size_t>(n));
        while (pending.size() >= kSetSentenceLength) {
            sentences_.push_back({pending.substr(0, kSetSentenceLength), now});
            pending.erase(0, kSetSentenceLength);
            toAnswer_.push_back(static_cast<int>(sentences_.size()) - 1);
        }
        arrived_.notify_all();
    }
}

void PtyPeer::answer(std::stop_token stop) {
    while (true) {
        int index = 0;
        std::string sentence;
        {
            std::unique_lock lock(mutex_);
            if (!arrived_.wait(lock, stop, [this] { return !toAnswer_.empty(); })) return;
            index = toAnswer_.front();
            toAnswer_.pop_front();
            sentence = sentences_[static_cast<std::size_t>(index)].bytes;
        }
        const std::vector<Piece> pieces = script_(index + 1, sentence);
        Clock::time_point lastWrite{};
        for (const Piece& piece : pieces) {
            std::this_thread::sleep_for(piece.pauseBefore);
            if (stop.stop_requested()) return;
            lastWrite = Clock::now();
            (void)writeAll(master_, piece.bytes);
        }
        std::lock_guard lock(mutex_);
        sentences_[static_cast<std::size_t>(index)].lastAnswerWrite = lastWrite;
    }
}

std::vector<PtyPeer::Sentence> PtyPeer::sentences() const {
    std::lock_guard lock(mutex_);
    return sentences_;
}

std::string PtyPeer::received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

std::size_t PtyPeer::sentenceCount() const {
    std::lock_guard lock(mutex_);
    return sentences_.size();
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace qr::test

#pragma once
// The owner settings as the logger stores them: a table of 67 single bytes at fixed
// addresses, each written with one "$PQVD,SET," sentence, and the state of a running
// transfer. Plain C++; the settings dialog moves values between its controls and this.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qr {

// The values the dialog sends. Texts are 8-bit code units (Latin-1), exactly as they go
// on the line; numbers are sent as one byte each.
struct OwnerSettings {
    std::string pilot;
    std::string gliderType;
    std::string gliderId;
    std::string reserve;
    int minInterval = 5;  // seconds, 1 to 60
    int powerDown = 33;   // steps of 30 s, 1 to 255
    bool lcd = false;
};

struct TransferEntry {
    std::uint16_t address = 0;
    std::uint8_t value = 0;
};

constexpr int kTransferEntries = 67;
constexpr std::size_t kSettingsTextLength = 16;  // characters per text field on the logger
constexpr std::size_t kSetSentenceLength = 18;

using TransferTable = std::array<TransferEntry, kTransferEntries>;

// Positions 1-64: the four texts at 0x0000, 0x0010, 0x0020, 0x0030, each padded with blanks
// to 16 bytes and cut after the 16th; then the interval at 0x00CF, the power-down value at
// 0x00DF and the LCD switch at 0x00EF (0xFF on, 0x00 off). Numbers keep their low byte.
TransferTable buildTransferTable(const OwnerSettings& settings);

// "$PQVD,SET," + four upper-case hex digits + "," + the raw value byte + CR LF: 18 bytes,
// no checksum, the value byte unescaped whatever it is.
std::string setSentence(const TransferEntry& entry);

// One transfer: positions 1 to 67 sent one at a time, and the answer bytes that the logger
// sends back in between. Whoever drives it decides when the next sentence is due.
class SettingsTransfer {
public:
    // Starts again at position 1 with a fresh table (a running transfer is replaced).
    void start(const TransferTable& table);

    // Whether a sentence is still to be sent.
    bool pending() const { return next_ <= last_; }
    // The sentence at the next position; the position goes up by one. Only while pending.
    std::string takeNextSentence();
    int nextPosition() const { return next_; }

    // Adds received bytes to the answer; returns the answer's length so far.
    std::size_t collect(std::string_view bytes);
    const std::string& answer() const { return answer_; }
    // Hands out the collected answer and empties it.
    std::string takeAnswer();

private:
    TransferTable table_{};
    int next_ = 1;
    int last_ = 0;  // no transfer yet
    std::string answer_;
};

}  // namespace qr

#pragma once
// The sentences the main window sends to the logger, the download speeds and the waits.
#include <chrono>
#include <optional>
#include <string>

namespace qr {

// Every sentence goes out at this speed; only the download switches to its chosen one.
inline constexpr int kCommandBaud = 4800;

inline constexpr const char* kCommandOn = "$PQVD,ON\r\n";
inline constexpr const char* kCommandOff = "$PQVD,OFF\r\n";
inline constexpr const char* kCommandStatus = "$PQVD,STA\r\n";
inline constexpr const char* kCommandDelete = "$PQVD,DEL\r\n";
// Sent on its own, without a sentence around it, each time the port is opened.
inline constexpr const char* kPortGreeting = "\n\r";

// "$PQVD,IGC," with the speed index in decimal (-1 when no speed is chosen) and CR LF.
std::string downloadCommand(int speedIndex);

// The download speeds in the order of the speed list; the index is the digit sent.
inline constexpr int kSpeedCount = 6;
inline constexpr const char* kSpeedTexts[kSpeedCount] = {"4800 bps",  "9600 bps",  "19200 bps",
                                                         "38400 bps", "57600 bps", "115200 bps"};
inline constexpr int kSpeedBauds[kSpeedCount] = {4800, 9600, 19200, 38400, 57600, 115200};
// Bits per second for a speed index; nothing for an index outside the list.
std::optional<int> downloadBaud(int speedIndex);

// Waits for the first byte of an answer (the answer timer's intervals).
inline constexpr int kStatusWaitMs = 3500;
inline constexpr int kDownloadWaitMs = 1500;
inline constexpr int kDeleteWaitMs = 1000;
// Pause between the download sentence and the switch to the download speed.
inline constexpr int kSpeedSwitchPauseMs = 200;
// An answer is complete once the line has been quiet for longer than this (6e-6 days).
inline constexpr std::chrono::microseconds kQuietTime{518400};

}  // namespace qr

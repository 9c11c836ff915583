#pragma once
// The logger simulator: plays the logger on a pseudo-terminal. The program under test opens
// the pty's slave side as its COM port (registerAs puts the path into the settings store);
// the simulator answers the "$PQVD," sentences on the master side, at the line speed the
// program set, and garbles what it sends while the two speeds disagree.
//
// Answers (each line ends with CR LF):
//   ON  -> "$PQVD,ON,OK"     OFF -> "$PQVD,OFF,OK"     DEL -> "$PQVD,DEL,OK" (memory cleared)
//   STA -> the status lines (statusAnswer below)
//   SET,aaaa,v -> "$PQVD,SET,aaaa,OK" (the byte v stored at address aaaa)
//   IGC,n -> the track memory at the speed for index n (0..5: 4800 ... 115200), starting
//            about 200 ms after the command, once the program has switched to that speed
//            (or 1 s after the command at the latest, garbled then); other n: no answer.
// Commands are understood at 4800 baud only (bytes sent at another speed are noise).
//
// Thread-safe: the simulator serves the pty on a thread of its own; every member may be
// called from any thread.
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

namespace qr::sim {

enum class Fault {
    None,
    NoAnswer,     // commands are received but never answered
    CutShort,     // an answer stops after half of its bytes
    Stall,        // an answer pauses after half of its bytes (stallTime), then goes on
    HangUp,       // the pty is closed (as unplug) once the program has read half of an answer
    Garbage,      // noise bytes (never CR or LF, never "$") before and inside each answer
    NoFinalCrLf,  // an answer without its final CR LF
    WrongSpeed    // answers go out at twice the speed the program should listen at (a
                  // download once the program has switched): noise to the program
};

struct SimulatorConfig {
    std::string memory;        // the track memory sent for IGC,n (default: the committed sample)
    std::string statusAnswer;  // the STA answer (default: lines built from memory and settings,
                               // among them "DATAFLASH USED: " + 8 digits and "GLIDERID: ...")
    bool pacing = true;        // pace output at ~baud/10 bytes per second
    std::chrono::milliseconds stallTime{2000};  // the pause of Fault::Stall
};

class LoggerSimulator {
public:
    explicit LoggerSimulator(SimulatorConfig config = {});
    ~LoggerSimulator();  // stops
    LoggerSimulator(const LoggerSimulator&) = delete;
    LoggerSimulator& operator=(const LoggerSimulator&) = delete;

    void start();  // opens a pty pair and serves it on its own thread
    void stop();
    std::string devicePath() const;  // the pty slave path the program opens
    // Writes [Ports] COM<n>=<devicePath> into that settings file.
    void registerAs(const std::string& iniPath, int comNumber);
    void setFault(Fault fault);  // applies to the following answers
    Fault fault() const;
    std::string received() const;  // every byte received so far (exact bytes the program sent)
    void clearReceived();
    bool waitForReceived(std::size_t byteCount, std::chrono::milliseconds timeout) const;
    std::string memory() const;  // current track memory (DEL clears it)
    void setMemory(std::string memory);
    void unplug();  // closes the pty: the program sees a hang-up
    void replug();  // a new pty; re-registers under the same COM number if registerAs was called

    // Further helpers for tests.
    bool running() const;
    // count bytes of the settings memory from address on (what SET sentences stored;
    // initially "not set" and blanks for the texts, 5, 33 and 0 for the numbers).
    std::string settings(int address, int count) const;
    // Waits until every answer begun so far has been sent completely.
    bool waitForIdle(std::chrono::milliseconds timeout) const;
    // The speed the program has set on its side, in bits per second (0 when not running).
    int programSpeed() const;
    // The STA answer as it would be sent now.
    std::string statusAnswer() const;
    // How many sentences were understood (counted per command word: "STA", "SET", ...).
    int sentencesReceived(const std::string& command) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

std::string sampleMemory();  // the committed sample track memory

// The speed for IGC,n (0..5), 0 for any other index.
int speedForIndex(int index);

// What a receiver set to another speed than the sender makes of bytes: noise of about
// bytes.size() * receiverSpeed / senderSpeed bytes, none of them CR, LF or "$".
std::string garble(const std::string& bytes, int senderSpeed, int receiverSpeed);

}  // namespace qr::sim

#pragma once
// The exchange with the logger over its port, for every front end: preparing the link,
// the five commands, the wait for an answer, the collection until the line is quiet, the
// speed switch for a download and the return to 4800 bps, and the evaluation. What a front
// end shows is reported to an ExchangeObserver; the window maps the reports onto its
// controls, the command line onto standard output and error.
//
// Event-driven use (the window): start() a command and return to the event loop; the
// answer timer and the port's receive event finish it. Blocking use (the command line):
// run() does the same and spins the event loop itself until the answer is evaluated, the
// wait has timed out or the link was lost. Qt Core only: the port hands its events to the
// thread of the event loop.
#include <QObject>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>

#include "common/EntryGuard.h"
#include "logger/Exchange.h"
#include "serial/TComPort.h"

class QTimer;

namespace qr {

enum class LoggerCommand { On, Off, Status, Delete, Download };

// The state of an answer while it arrives.
struct ExchangeProgress {
    std::size_t pieceBytes = 0;     // the piece just read
    std::size_t receivedBytes = 0;  // the answer so far
    // What the track memory holds by the last status answer (DATAFLASH USED units of 623
    // bytes); 0 when no status has been read.
    std::int64_t expectedBytes = 0;
    // Download mode with a known size: received of expected in percent (not capped); else -1.
    std::int64_t percent = -1;
};

// How an answer ended.
struct AnswerOutcome {
    enum class End {
        NoAnswer,   // nothing came before the wait ran out
        Evaluated,  // evaluated in its mode
        Discarded,  // a download cut off by a hang-up: not evaluated, the lines stay as they were
    };
    End end = End::NoAnswer;
    Exchange::Mode mode = Exchange::Mode::Status;
    int lineCount = 0;    // Evaluated: the lines taken
    int decimation = 1;   // download mode: only every k-th B record is shown
    bool hungUp = false;  // the device hung up or failed during the answer
};

// Reports of a session. All come on the thread of the event loop. The evaluation's own
// reports (lines taken, lines to show, glider ID) are those of EvaluationObserver.
class ExchangeObserver : public EvaluationObserver {
public:
    void lineTaken(int, int) override {}
    void showLine(std::string_view) override {}
    void gliderIdFound() override {}

    // The port was opened and the greeting sent (once per opening).
    virtual void linkOpened() {}
    // The command went out and the wait for its answer began (not for on and off).
    virtual void answerWaitStarted(LoggerCommand) {}
    // A piece of the answer arrived.
    virtual void received(const ExchangeProgress&) {}
    // The answer is complete or the wait ran out: its evaluation follows.
    virtual void answerClosing() {}
    // The evaluation begins (only when there is something to evaluate).
    virtual void evaluationStarting(Exchange::Mode, int /*decimation*/) {}
    // The evaluation is over, also when it threw.
    virtual void evaluationFinished() {}
    // The answer has been dealt with (not after an evaluation that threw).
    virtual void answerEnded(const AnswerOutcome&) {}
    // Line errors the port reported (the CE_ flags).
    virtual void lineErrors(int /*errors*/) {}
    // The device went away; the port has been closed. downloadDiscarded: a download cut
    // off by it was thrown away.
    virtual void linkLost(bool /*downloadDiscarded*/) {}
};

class ExchangeSession : public QObject {
public:
    // Runs one event entry (receive, line error, answer timer) and deals with what it
    // throws. The window reports it in its error box; by default it is kept and run()
    // throws it again.
    using Guard = EntryGuard;

    explicit ExchangeSession(QObject* parent = nullptr);
    ~ExchangeSession() override;

    void setObserver(ExchangeObserver* observer);  // not owned; nullptr: no reports
    void setGuard(Guard guard);

    // The logger's port: 4800 bps, no flow control, "COM%d". Choose it with setPortNum
    // (or setDeviceName with a device path) and give it a resolver (setDeviceResolver).
    TComPort& port() { return port_; }
    const TComPort& port() const { return port_; }
    Exchange& exchange() { return exchange_; }
    const Exchange& exchange() const { return exchange_; }
    // The answer timer ("Timer1"); runs while an answer is awaited.
    QTimer& answerTimer() { return *timer_; }

    // The speed index for downloads (0 to 5 in the speed list; other values send -1...5
    // as the window does and keep 4800 bps).
    void setSpeedIndex(int index) { speedIndex_ = index; }
    int speedIndex() const { return speedIndex_; }

    // The steps, as the commands use them.
    // Status mode, nothing received; opens the port when it is closed and sends the
    // greeting (throws EComPortError when it cannot be opened). True when it opened.
    bool prepareLink();
    // Pauses, then switches to the download speed.
    void switchToDownloadSpeed();

    // Sends a command in the window's order of steps and starts the wait for its answer.
    void start(LoggerCommand command);
    // As start, then spins the event loop until the answer has ended or the link was
    // lost. For on and off, which the window does not wait for, an answer is collected
    // if one begins within the status wait. Throws what the exchange threw (port errors,
    // conversion errors).
    AnswerOutcome run(LoggerCommand command);

    // The event entries (the port's receive event, its error event, the timer's tick).
    // Collects until the line has been quiet, then finishes the answer.
    void collectAnswer();
    // Ends the wait: back to 4800 bps, then evaluates what came.
    void finishAnswer();
    void lineError(int errors);

    // What the last answer was as the port delivered it, before the evaluation took it
    // apart (a download stays whole in the receive buffer; a status answer is kept here).
    const std::string& rawAnswer() const;
    // The line buffer holds a download (not a status answer).
    bool linesFromDownload() const { return linesFromDownload_; }
    const AnswerOutcome& lastOutcome() const { return outcome_; }

    // Closes the port when it is open.
    void close();

private:
    void guard(const std::function<void()>& entry);
    void send(const char* sentence);
    void send(const std::string& sentence);
    void startWait(LoggerCommand command, int waitMs);
    void lose(bool downloadDiscarded);

    TComPort port_;
    Exchange exchange_;
    QTimer* timer_ = nullptr;  // a child of the session
    ExchangeObserver* observer_ = nullptr;
    ExchangeObserver quiet_;
    Guard guard_;
    int speedIndex_ = 4;
    bool linesFromDownload_ = false;
    std::string statusRaw_;
    AnswerOutcome outcome_;
    // run(): the answer has ended or the link was lost, and what an entry threw.
    bool settled_ = false;
    std::exception_ptr entryError_;
};

}  // namespace qr

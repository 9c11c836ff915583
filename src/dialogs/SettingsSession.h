#pragma once
// The transfer of the owner settings into the logger over a port of its own, for every
// front end: the 67 "$PQVD,SET," sentences one at a time, each after the logger's answer
// to the one before has been followed by 100 ms of quiet (or after 100 ms of silence).
// The settings dialog maps the reports onto its status line; the command line runs it
// blocking with runTransfer. Qt Core only: the port hands its events to the event loop.
#include <QObject>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "common/EntryGuard.h"
#include "dialogs/SettingsTransfer.h"
#include "serial/TComPort.h"

class QTimer;

namespace qr {

// Reports of a settings session, on the thread of the event loop.
class SettingsSessionObserver {
public:
    virtual ~SettingsSessionObserver() = default;
    // The sentence at this position (1 to 67) went out.
    virtual void sentenceSent(int /*position*/) {}
    // Answer bytes came; the answer so far has this length.
    virtual void answerGrowing(std::size_t /*length*/) {}
    // The 100 ms have passed: the logger's answer to the last sentence (empty: none).
    virtual void answered(const std::string& /*answer*/) {}
    // The device hung up; the port has been closed and the transfer stopped.
    virtual void linkLost(int /*comNumber*/) {}
};

class SettingsSession : public QObject {
public:
    // Runs one event entry (receive, line error, pacing tick); see ExchangeSession::Guard.
    using Guard = EntryGuard;

    explicit SettingsSession(QObject* parent = nullptr);
    ~SettingsSession() override;

    void setObserver(SettingsSessionObserver* observer);  // not owned; nullptr: none
    void setGuard(Guard guard);
    // How the port finds its device (empty: the serial component's default resolver).
    void setDeviceResolver(DeviceResolver resolver);

    // The port at 4800 bps; none after close() until the next send.
    const TComPort* port() const { return port_.get(); }
    TComPort* port() { return port_.get(); }
    const SettingsTransfer& transfer() const { return transfer_; }
    // The pacing timer ("Timer1", 100 ms, precise).
    QTimer& pacingTimer() { return *timer_; }

    // Opens the port on the COM number when it is not open (throws EComPortError), starts
    // the transfer of the table afresh and sends its first sentence.
    void send(const TransferTable& table, int comNumber);
    // Sends the next sentence when one is due; a running pacing timer keeps its phase.
    void nextSentence();

    // The event entries.
    void received();
    void lineError(int errors);
    void pacingTick();

    // send, then spins the event loop until every sentence is answered or timed out, or
    // the link was lost (false). Throws what send or an entry threw.
    bool runTransfer(const TransferTable& table, int comNumber);

    // Stops the pacing and closes and releases the port; receive events still queued are
    // dropped. A later send creates the port afresh.
    void close();
    // Accepts events again after close (a dialog shown once more).
    void reopen() { closing_ = false; }

private:
    void createPort();
    void guard(const std::function<void()>& entry);

    std::unique_ptr<TComPort> port_;
    QTimer* timer_ = nullptr;
    DeviceResolver resolver_;
    SettingsTransfer transfer_;
    SettingsSessionObserver* observer_ = nullptr;
    SettingsSessionObserver quiet_;
    Guard guard_;
    bool closing_ = false;  // receive events that reach a closing session are dropped
    bool lost_ = false;
    std::exception_ptr entryError_;
};

}  // namespace qr

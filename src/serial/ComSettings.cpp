// The properties of the serial port component and its settings groups.
#include "serial/ComPortImpl.h"

namespace qr {

namespace {
constexpr const char* kWhileOpen = "Can't perform this operation while port is open";
}

int baudrateValue(TComBaudrate rate) {
    static constexpr int kValues[] = {0,     110,   300,   600,   1200,  2400,   4800,   9600,
                                      14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return kValues[static_cast<int>(rate)];
}

int lineEventBit(TComLineEvent event) {
    switch (event) {
        case TComLineEvent::ceBreak:
            return EV_BREAK;
        case TComLineEvent::ceCts:
            return EV_CTS;
        case TComLineEvent::ceDsr:
            return EV_DSR;
        case TComLineEvent::ceError:
            return EV_ERR;
        case TComLineEvent::ceRing:
            return EV_RING;
        case TComLineEvent::ceRlsd:
            return EV_RLSD;
        case TComLineEvent::ceRxChar:
            return EV_RXCHAR;
        case TComLineEvent::ceTxEmpty:
            return EV_TXEMPTY;
        case TComLineEvent::ceRxFlag:
            return EV_RXFLAG;
        case TComLineEvent::cePErr:
            return EV_PERR;
        case TComLineEvent::ceRx80Full:
            return EV_RX80FULL;
        case TComLineEvent::ceEvent1:
            return EV_EVENT1;
        case TComLineEvent::ceEvent2:
            return EV_EVENT2;
    }
    return 0;
}

// ---- settings groups ----------------------------------------------------------------

void TComPersistent::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0 && changedInUpdate_) {
        changedInUpdate_ = false;
        notifyOwner();
    }
}

void TComPersistent::changed() {
    if (updateCount_ > 0) {
        changedInUpdate_ = true;
        return;
    }
    notifyOwner();
}

void TComPersistent::requireClosed() const {
    if (owner_.IsOpen()) throw EComPortError(kWhileOpen);
}

void TComBuffers::set(int& field, int value) {
    if (field == value) return;
    requireClosed();
    field = value;
    changed();
}

void TComFlowControl::notifyOwner() {
    owner_.settingsChanged();
}
void TComEventChars::notifyOwner() {
    owner_.settingsChanged();
}

// ---- line settings ------------------------------------------------------------------

serial::LineSettings TCustomComPort::Impl::lineSettings() const {
    serial::LineSettings s;
    s.bitsPerSecond = baudrate == TComBaudrate::brUser ? userBaudrate : baudrateValue(baudrate);
    s.parity = parity;
    s.databits = databits;
    s.stopbits = stopbits;
    s.ctsFlow = flowControl.OutCtsFlow();
    s.dtr = flowControl.ControlDtr();
    s.rts = flowControl.ControlRts();
    s.xonXoffOut = flowControl.XonXoffOut();
    s.xonXoffIn = flowControl.XonXoffIn();
    s.xonChar = eventChars.XonChar();
    s.xoffChar = eventChars.XoffChar();
    s.parityCheck = options.has(TComOption::coParityCheck);
    return s;
}

void TCustomComPort::Impl::applyLineSettings() {
    std::lock_guard lock(readLock);
    device->apply(lineSettings());
}

void TCustomComPort::settingsChanged() {
    if (impl_->device && impl_->updateDCB) impl_->applyLineSettings();
}

int TCustomComPort::EventMask() const {
    int mask = 0;
    for (int e = 0; e <= static_cast<int>(TComLineEvent::ceEvent2); ++e) {
        const auto event = static_cast<TComLineEvent>(e);
        if (impl_->monitorEvents.has(event)) mask |= lineEventBit(event);
    }
    if (!impl_->directWrite) mask &= ~EV_TXEMPTY;  // the write thread reports that itself
    return mask;
}

// ---- properties ---------------------------------------------------------------------

namespace {

// Stores a line setting and re-applies the settings on an open device. When applying
// fails, the property keeps its new value and the device its old settings.
template <typename T>
void setLineProperty(TCustomComPort& port, T& field, T value) {
    if (field == value) return;
    field = value;
    port.settingsChanged();
}

template <typename T>
void setClosedProperty(const TCustomComPort& port, T& field, T value) {
    if (field == value) return;
    if (port.IsOpen()) throw EComPortError(kWhileOpen);
    field = value;
}

}  // namespace

TComBaudrate TCustomComPort::Baudrate() const {
    return impl_->baudrate;
}
void TCustomComPort::setBaudrate(TComBaudrate rate) {
    setLineProperty(*this, impl_->baudrate, rate);
}
int TCustomComPort::UserBaudrate() const {
    return impl_->userBaudrate;
}
void TCustomComPort::setUserBaudrate(int value) {
    setLineProperty(*this, impl_->userBaudrate, value);
}
TComParity TCustomComPort::Parity() const {
    return impl_->parity;
}
void TCustomComPort::setParity(TComParity value) {
    setLineProperty(*this, impl_->parity, value);
}
TComDatabits TCustomComPort::Databits() const {
    return impl_->databits;
}
void TCustomComPort::setDatabits(TComDatabits value) {
    setLineProperty(*this, impl_->databits, value);
}
TComStopbits TCustomComPort::Stopbits() const {
    return impl_->stopbits;
}
void TCustomComPort::setStopbits(TComStopbits value) {
    setLineProperty(*this, impl_->stopbits, value);
}
TComOptions TCustomComPort::Options() const {
    return impl_->options;
}
void TCustomComPort::setOptions(TComOptions value) {
    setLineProperty(*this, impl_->options, value);
}

int TCustomComPort::PortNum() const {
    return impl_->portNum;
}
void TCustomComPort::setPortNum(int number) {
    // Refused while open even when the number stays the same: the caller means to switch.
    if (IsOpen()) throw EComPortError(kWhileOpen);
    impl_->portNum = number;
}
std::string TCustomComPort::DeviceName() const {
    return impl_->deviceName;
}
void TCustomComPort::setDeviceName(const std::string& pattern) {
    if (IsOpen()) throw EComPortError(kWhileOpen);
    impl_->deviceName = pattern;
}
TComEvents TCustomComPort::MonitorEvents() const {
    return impl_->monitorEvents;
}
void TCustomComPort::setMonitorEvents(TComEvents value) {
    setClosedProperty(*this, impl_->monitorEvents, value);
}
bool TCustomComPort::DirectWrite() const {
    return impl_->directWrite;
}
void TCustomComPort::setDirectWrite(bool value) {
    setClosedProperty(*this, impl_->directWrite, value);
}
bool TCustomComPort::UpdateDCB() const {
    return impl_->updateDCB;
}
void TCustomComPort::setUpdateDCB(bool value) {
    setClosedProperty(*this, impl_->updateDCB, value);
}
bool TCustomComPort::AutoOpen() const {
    return impl_->autoOpen;
}
void TCustomComPort::setAutoOpen(bool value) {
    impl_->autoOpen = value;
}
TThreadPriority TCustomComPort::EventPriority() const {
    return impl_->eventPriority;
}
void TCustomComPort::setEventPriority(TThreadPriority value) {
    impl_->eventPriority = value;
}
TThreadPriority TCustomComPort::WritePriority() const {
    return impl_->writePriority;
}
void TCustomComPort::setWritePriority(TThreadPriority value) {
    impl_->writePriority = value;
}
TComBuffers& TCustomComPort::Buffers() {
    return impl_->buffers;
}
TComFlowControl& TCustomComPort::FlowControl() {
    return impl_->flowControl;
}
TComEventChars& TCustomComPort::EventChars() {
    return impl_->eventChars;
}

}  // namespace qr

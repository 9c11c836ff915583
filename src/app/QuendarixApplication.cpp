#include "app/QuendarixApplication.h"

#include "app/AppContext.h"
#include "app/PortTable.h"

namespace qr {

QuendarixApplication::QuendarixApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The serial ports of every window find their devices through the "Ports" group.
    TCustomComPort::setDefaultDeviceResolver(portsTableResolver());
}

bool QuendarixApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (context_) context_->reportError(std::current_exception());
        return false;
    }
}

}  // namespace qr

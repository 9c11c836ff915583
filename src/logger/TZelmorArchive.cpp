// The main window's additions beside its own road: every download kept in the archive, the
// port list saying where each COM number leads, and open errors that name the devices.
#include <QComboBox>

#include "logger/ComPortDescriptions.h"
#include "logger/DownloadArchive.h"
#include "logger/TZelmor.h"
#include "serial/TComPort.h"
#include "serial/UdevEnumeration.h"

namespace qr {

void TZelmor::keepDownload(const AnswerOutcome& outcome) {
    const bool cut = outcome.end == AnswerOutcome::End::Discarded;
    const bool complete =
        outcome.end == AnswerOutcome::End::Evaluated && outcome.mode == Exchange::Mode::Download;
    if (!cut && !complete) return;
    const std::string folder = archive::defaultFolder();
    try {
        archive::keep(folder, session_->rawAnswer(), archive::localStampNow(), cut);
    } catch (const std::exception& e) {
        // The download itself goes on; the error panel says once what was not kept.
        setPanel(2, QString::fromUtf8("Download nicht gespeichert in ") +
                        QString::fromLocal8Bit(folder) + ": " + QString::fromUtf8(e.what()));
    }
}

void TZelmor::withOpenHint(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const EComPortError& error) {
        TComPort& port = session_->port();
        if (port.IsOpen()) throw;  // not a failure to open
        const std::string name = port.FormattedName();
        const bool isPath = !name.empty() && name.front() == '/';
        throw EComPortError(std::string(error.what()) + "\n\n" +
                            openFailureHint(isPath ? std::string() : name, resolveDevicePath(name),
                                            enumerateSerialDevices()));
    }
}

void TZelmor::describePorts() {
    describeComItems(
        *ComboBoxCom, [](const std::string& name) { return resolveDevicePath(name); },
        enumerateSerialDevices());
}

}  // namespace qr

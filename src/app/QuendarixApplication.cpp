#include "app/QuendarixApplication.h"

#include <QLibraryInfo>

#include "app/AppContext.h"
#include "app/PortTable.h"

namespace qr {

QuendarixApplication::QuendarixApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The serial ports of every window find their devices through the "Ports" group.
    TCustomComPort::setDefaultDeviceResolver(portsTableResolver());
    // No display name: Qt would append it to every caption in the title bar. The desktop
    // entry names the program for menus and task bars.
    setDesktopFileName(QStringLiteral("quendarix-reader"));
    loadQtGermanTexts();
}

bool QuendarixApplication::loadQtGermanTexts(const QString& folder) {
    removeTranslator(&qtTexts_);
    const QString from =
        folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    qtTextsGerman_ =
        qtTexts_.load(QStringLiteral("qtbase_de"), from) && installTranslator(&qtTexts_);
    return qtTextsGerman_;
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

#include <stdexcept>

#include "app/AppContext.h"

namespace qr {

QString errorText(std::exception_ptr error) {
    try {
        if (error) std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
    }
    return QStringLiteral("Unbekannter Fehler");
}

}  // namespace qr

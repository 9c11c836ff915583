#include "common/FileErrors.h"

#include <cerrno>

#include "common/Errors.h"

namespace qr {

int fileLayerCode(int err) {
    switch (err) {
        case ENOENT:
            return 2;
        case ENOTDIR:
        case ENAMETOOLONG:
        case EISDIR:
        case ELOOP:
            return 3;
        case EMFILE:
        case ENFILE:
            return 4;
        case EACCES:
        case EPERM:
        case EROFS:
            return 5;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return 101;
        default:
            return 0;
    }
}

std::string fileLayerText(int code) {
    switch (code) {
        case 2:
            return "Datei nicht gefunden";
        case 3:
            return "Ungültiger Dateiname";
        case 4:
            return "Zu viele geöffnete Dateien";
        case 5:
            return "Dateizugriff verweigert";
        case 100:
            return "Versuch hinter dem Dateiende zu lesen";
        case 101:
            return "Zu wenig Speicherplatz";
        case 106:
            return "Ungültige numerische Eingabe";
        default:
            return "E/A-Fehler " + std::to_string(code);
    }
}

std::string fileErrorText(int err) {
    const int code = fileLayerCode(err);
    return code != 0 ? fileLayerText(code) : "E/A-Fehler " + std::to_string(err);
}

void throwFileError(int err) {
    const int code = fileLayerCode(err);
    throw EInOutError(code != 0 ? code : err, fileErrorText(err));
}

}  // namespace qr

#pragma once
// The one codec between Qt strings and the program's 8-bit byte texts (Latin-1), for the
// layers that use Qt. Bytes from the logger and from files are never re-encoded otherwise.
#include <QString>
#include <string>
#include <string_view>

namespace qr {

// A Qt string as 8-bit bytes; characters outside Latin-1 become '?'.
inline std::string toLatin1Bytes(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// 8-bit bytes as a Qt string.
inline QString fromLatin1Bytes(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace qr

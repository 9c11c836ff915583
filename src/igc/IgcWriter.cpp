#include "igc/IgcWriter.h"

#include <cerrno>
#include <stdexcept>

#include "common/Errors.h"
#include "common/FileErrors.h"
#include "common/Text.h"
#include "igc/IgcFileName.h"
#include "igc/IgcWriterContent.h"
#include "igc/IgcWriterFile.h"

namespace qr {

namespace {

[[noreturn]] void throwAllNamesTaken(const std::string& prefix) {
    const std::string shown = latin1ToUtf8(prefix);
    throw EIgcWriteError("Alle 31 Dateinamen dieses Tages sind vergeben: " + shown + "1.igc bis " +
                         shown + "V.igc");
}

std::string directoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

}  // namespace

std::string writeIgcFile(const IgcWriteRequest& request) {
    const IgcHeaderValues& header = request.header;
    // The pilot ID is part of the name: it must not lead into another directory.
    if (header.pilotId.find_first_of(std::string_view("/\0", 2)) != std::string::npos)
        throw EInOutError(3, fileLayerText(3));

    const IgcContent content = composeIgcContent(request);
    if (content.needsSignature && !request.signer)
        throw std::invalid_argument("IGC writer: a track without a G line needs a signer");

    const std::string prefix = igcNamePrefix(content.trackStart, header.pilotId);
    auto pathFor = [&](int number) {
        return header.saveDirectory + prefix + flightNumberChar(number) + ".igc";
    };
    int first = 1;
    while (first <= kMaxFlightNumber && igcNameTaken(pathFor(first))) ++first;
    if (first > kMaxFlightNumber) throwAllNamesTaken(prefix);

    IgcTemporaryFile temp(header.saveDirectory + "." + prefix + flightNumberChar(first) + ".igc.");
    temp.handle().write(content.bytes);
    temp.handle().close();
    if (content.needsSignature) request.signer(temp.path());
    IgcFileHandle::openForReading(temp.path()).sync();

    for (int number = first; number <= kMaxFlightNumber; ++number) {
        const std::string path = pathFor(number);
        if (igcNameWithoutReplacing(temp.path(), path)) {
            temp.keep();
            igcSyncDirectory(directoryOf(path));
            return path;
        }
    }
    throwAllNamesTaken(prefix);
}

}  // namespace qr

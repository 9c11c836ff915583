#include "igc/IgcWriter.h"

#include <cerrno>
#include <optional>
#include <stdexcept>

#include "common/CompleteFile.h"
#include "common/Errors.h"
#include "common/FileErrors.h"
#include "common/Text.h"
#include "igc/IgcFileName.h"
#include "igc/IgcWriterContent.h"

namespace qr {

namespace {

[[noreturn]] void throwAllNamesTaken(const std::string& prefix) {
    const std::string shown = latin1ToUtf8(prefix);
    throw EIgcWriteError("Alle 31 Dateinamen dieses Tages sind vergeben: " + shown + "1.igc bis " +
                         shown + "V.igc");
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
    while (first <= kMaxFlightNumber && nameTaken(pathFor(first))) ++first;
    if (first > kMaxFlightNumber) throwAllNamesTaken(prefix);

    TemporaryFile temp(header.saveDirectory + "." + prefix + flightNumberChar(first) + ".igc.");
    temp.handle().write(content.bytes);
    temp.handle().close();
    if (content.needsSignature) request.signer(temp.path());
    const std::optional<std::string> path = temp.commit([&](int attempt) {
        const int number = first + attempt;
        return number <= kMaxFlightNumber ? std::optional(pathFor(number)) : std::nullopt;
    });
    if (path) return *path;
    throwAllNamesTaken(prefix);
}

}  // namespace qr

#pragma once
// The IGC header values the header dialog collects for the file writer.
#include <string>

namespace qr {

// The IGC header values the header dialog collects for the file writer. Texts are 8-bit
// (Latin-1), as they go into the file.
struct IgcHeaderValues {
    std::string pilotName;
    std::string gliderType;
    std::string gliderId;
    std::string competitionId;
    std::string competitionClass;
    std::string site;
    std::string pilotId;
    std::string saveDirectory;  // always ends with '/' once the dialog has been active
};

}  // namespace qr

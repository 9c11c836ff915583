#pragma once
// The values the windows share. One instance, owned by the program's context and handed
// to each window; everything here is touched on the GUI thread only.
#include <string>

namespace qr {

// The IGC header values the header dialog collects for the file writer. Texts are 8-bit
// (Latin-1), as they go into the file; the save directory is a file-system name and stays
// the user's text (UTF-8).
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

// The translation facility's choice of language. Nothing in the program chooses one.
struct LanguageSettings {
    std::string name;
    std::string fontName;
    unsigned char charset = 0;
};

struct SharedState {
    IgcHeaderValues igcHeader;
    bool headerConfirmed = false;  // the user left the header dialog with "IGC Datei speichern"
    bool namesFromLogger = false;  // tick of CheckBoxNamen when a file is saved
    LanguageSettings language;
};

}  // namespace qr

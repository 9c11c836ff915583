#pragma once
// The values the windows share. One instance, owned by the program's context and handed
// to each window; everything here is touched on the GUI thread only.
#include <string>

#include "igc/IgcHeaderValues.h"

namespace qr {

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

#pragma once
// The rules of the IGC header dialog, free of widgets: the class names of the up-down, the
// plausibility of the fields, the pilot ID cut and where the file is saved. Texts are the
// 8-bit (Latin-1) bytes of the fields, so one byte is one character; paths are the user's
// text in UTF-8 (only their '/' is looked at).
#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "igc/IgcHeaderValues.h"

namespace qr::header {

// The competition classes, by up-down position 1 to 7.
inline constexpr int kFirstClass = 1;
inline constexpr int kLastClass = 7;

// The class name for a position; positions outside 1..7 throw std::out_of_range.
std::string_view className(int position);

// The position whose class name equals the text exactly (case matters); 1 when none does.
int classPosition(std::string_view text);

// The position after moving by steps (positive: up), wrapping within 1..7.
int stepClass(int position, int steps);

// The pilot ID keeps only its leading ASCII letters: it goes into the file name.
std::string cutPilotId(std::string_view text);

// The text up to and including its last '/'; empty when it has none.
std::string directoryPart(std::string_view path);

// The text with a final '/' (added unless it already ends with one).
std::string withFinalSeparator(std::string directory);

// Where the file is saved for the path field's text: its directory part with a final '/'. A
// text without any '/' (a bare name, relative to the current folder) saves in "./", so the
// value always ends with '/' and never means the root folder by accident.
std::string saveDirectoryOf(std::string_view path);

// The folder proposed while no save directory is stored: the user's home folder.
std::string proposedSaveDirectory(std::string_view homeFolder);

// The fields whose plausibility is shown, in the order of their labels Label1..Label8.
enum class Field {
    PilotName,
    GliderType,
    GliderId,
    CompetitionClass,
    Site,
    ContestName,
    PilotId,
    Path,
};
inline constexpr std::size_t kFieldCount = 8;

// The labels of the fields (UTF-8), by Field: what a refusal names.
inline constexpr std::array<std::string_view, kFieldCount> kFieldLabels = {
    "Pilot",
    "Glider Typ",
    "Glider ID (Serien-Nr.)",
    "Class (Wettb. Klasse)",
    "Site (Fluggelände)",
    "Contest Bezeichnung",
    "Pilot ID",
    "Pfad zum Speichern der IGC-Datei",
};

struct FieldTexts {
    std::string pilotName;
    std::string gliderType;
    std::string gliderId;
    std::string competitionClass;
    std::string site;
    std::string contestName;
    std::string pilotId;  // after the cut
    std::string path;     // the whole text of the path field (UTF-8, a file-system name)
};

struct Plausibility {
    std::array<bool, kFieldCount> fieldPasses{};
    bool confirmVisible = false;  // the button that confirms the file

    bool passes(Field field) const { return fieldPasses[static_cast<std::size_t>(field)]; }
};

// Whether a text names an existing directory.
using DirectoryTest = std::function<bool(const std::string&)>;

// The file system's answer for the bytes as they stand; false on any error.
bool isExistingDirectory(const std::string& path);

// Marks each field and decides whether the file may be confirmed. In names-from-logger mode
// the pilot and glider fields are hidden and do not hold the confirmation back.
Plausibility checkPlausibility(const FieldTexts& fields, bool namesFromLogger,
                               const DirectoryTest& isDirectory = isExistingDirectory);

// The values kept in the settings subkey "IGC", in the order they are stored.
inline constexpr std::string_view kSettingsSubkey = "IGC";

struct StoredValue {
    std::string_view name;
    std::string IgcHeaderValues::*value;
    std::string_view defaultValue;
    bool fromLogger;  // supplied by the logger in names-from-logger mode, then not stored
};

// "PFAD" has no fixed default: proposedSaveDirectory gives it.
extern const std::array<StoredValue, 8> kStoredValues;

}  // namespace qr::header

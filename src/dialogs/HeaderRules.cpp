#include "dialogs/HeaderRules.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace qr::header {

namespace {

constexpr std::array<std::string_view, kLastClass> kClassNames = {
    "Paraglider open",
    "Paraglider sport",
    "Flexible Wing (FAI class 1)",
    "Rigid Wing (FAI class 5)",
    "Paraglider (FAI class 3)",
    "Paraglider Tandem",
    "default",
};

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string_view className(int position) {
    if (position < kFirstClass || position > kLastClass)
        throw std::out_of_range("class position " + std::to_string(position));
    return kClassNames[static_cast<std::size_t>(position - kFirstClass)];
}

int classPosition(std::string_view text) {
    const auto found = std::find(kClassNames.begin(), kClassNames.end(), text);
    if (found == kClassNames.end()) return kFirstClass;
    return kFirstClass + static_cast<int>(found - kClassNames.begin());
}

int stepClass(int position, int steps) {
    const int count = kLastClass - kFirstClass + 1;
    const int offset = ((position - kFirstClass + steps) % count + count) % count;
    return kFirstClass + offset;
}

std::string cutPilotId(std::string_view text) {
    const auto end = std::find_if_not(text.begin(), text.end(), isAsciiLetter);
    return std::string(text.begin(), end);
}

std::string directoryPart(std::string_view path) {
    const auto last = path.rfind('/');
    if (last == std::string_view::npos) return {};
    return std::string(path.substr(0, last + 1));
}

std::string withFinalSeparator(std::string directory) {
    if (directory.empty() || directory.back() != '/') directory += '/';
    return directory;
}

std::string saveDirectoryOf(std::string_view path) {
    const std::string directory = directoryPart(path);
    if (directory.empty()) return "./";
    return directory;  // ends with '/' by construction
}

std::string proposedSaveDirectory(std::string_view homeFolder) {
    return withFinalSeparator(std::string(homeFolder));
}

bool isExistingDirectory(const std::string& path) {
    if (path.empty()) return false;
    std::error_code error;
    return std::filesystem::is_directory(std::filesystem::path(path), error);
}

Plausibility checkPlausibility(const FieldTexts& fields, bool namesFromLogger,
                               const DirectoryTest& isDirectory) {
    Plausibility result;
    auto set = [&result](Field field, bool passes) {
        result.fieldPasses[static_cast<std::size_t>(field)] = passes;
    };
    set(Field::PilotName, fields.pilotName.size() >= 5);
    set(Field::GliderType, fields.gliderType.size() >= 5);
    set(Field::GliderId, fields.gliderId.size() >= 2);
    set(Field::CompetitionClass, fields.competitionClass.size() >= 5);
    set(Field::Site, fields.site.size() >= 4);
    set(Field::ContestName, fields.contestName.size() >= 5);
    set(Field::PilotId, fields.pilotId.size() == 4);
    set(Field::Path, isDirectory(fields.path));

    const bool namesPass = (result.passes(Field::PilotName) && result.passes(Field::GliderType) &&
                            result.passes(Field::GliderId)) ||
                           namesFromLogger;
    result.confirmVisible =
        namesPass && std::all_of(result.fieldPasses.begin() + 3, result.fieldPasses.end(),
                                 [](bool passes) { return passes; });
    return result;
}

const std::array<StoredValue, 8> kStoredValues = {{
    {"PILOT", &IgcHeaderValues::pilotName, "", true},
    {"GLIDERTYPE", &IgcHeaderValues::gliderType, "", true},
    {"GLIDERID", &IgcHeaderValues::gliderId, "", true},
    {"COMPETITIONID", &IgcHeaderValues::competitionId, "DHV-OLC-2009", false},
    {"CLASS", &IgcHeaderValues::competitionClass, "", false},
    {"SITE", &IgcHeaderValues::site, "", false},
    {"COMPID", &IgcHeaderValues::pilotId, "", false},
    {"PFAD", &IgcHeaderValues::saveDirectory, "", false},
}};

}  // namespace qr::header

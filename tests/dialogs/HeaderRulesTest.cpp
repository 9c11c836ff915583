#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <string>

#include "dialogs/HeaderRules.h"

namespace qr::header {
namespace {

// Every field passes; each case spoils or changes one of them.
FieldTexts plausibleFields() {
    return {"Hans Muster", "Alpha 5",      "12",   "Paraglider open",
            "Hohe",        "DHV-OLC-2009", "HaMu", "/flights"};
}

bool onlyFlightsExists(const std::string& path) {
    return path == "/flights";
}

struct LengthCase {
    Field field;
    std::string FieldTexts::*text;
    std::size_t length;
    bool passes;
};

TEST(HeaderPlausibility, EachFieldAtAndAroundItsMinimumLength) {
    const LengthCase cases[] = {
        {Field::PilotName, &FieldTexts::pilotName, 4, false},
        {Field::PilotName, &FieldTexts::pilotName, 5, true},
        {Field::GliderType, &FieldTexts::gliderType, 4, false},
        {Field::GliderType, &FieldTexts::gliderType, 5, true},
        {Field::GliderId, &FieldTexts::gliderId, 1, false},
        {Field::GliderId, &FieldTexts::gliderId, 2, true},
        {Field::CompetitionClass, &FieldTexts::competitionClass, 4, false},
        {Field::CompetitionClass, &FieldTexts::competitionClass, 5, true},
        {Field::Site, &FieldTexts::site, 3, false},
        {Field::Site, &FieldTexts::site, 4, true},
        {Field::ContestName, &FieldTexts::contestName, 4, false},
        {Field::ContestName, &FieldTexts::contestName, 5, true},
        {Field::PilotId, &FieldTexts::pilotId, 3, false},
        {Field::PilotId, &FieldTexts::pilotId, 4, true},
        {Field::PilotId, &FieldTexts::pilotId, 5, false},
    };
    for (const LengthCase& c : cases) {
        for (char fill : {'x', ' '}) {  // blanks count like any other character
            FieldTexts fields = plausibleFields();
            fields.*c.text = std::string(c.length, fill);
            const Plausibility result = checkPlausibility(fields, false, onlyFlightsExists);
            SCOPED_TRACE(testing::Message() << "field " << int(c.field) << " length " << c.length
                                            << " fill '" << fill << "'");
            EXPECT_EQ(result.passes(c.field), c.passes);
            EXPECT_EQ(result.confirmVisible, c.passes);
            for (std::size_t other = 0; other < kFieldCount; ++other) {
                if (other != std::size_t(c.field)) {
                    EXPECT_TRUE(result.fieldPasses[other]);
                }
            }
        }
    }
}

TEST(HeaderPlausibility, PathPassesOnlyWhenTheWholeTextNamesADirectory) {
    FieldTexts fields = plausibleFields();
    for (const char* path : {"/flights/x", "/flights ", ""}) {
        fields.path = path;
        const Plausibility result = checkPlausibility(fields, false, onlyFlightsExists);
        EXPECT_FALSE(result.passes(Field::Path)) << path;
        EXPECT_FALSE(result.confirmVisible) << path;
    }
}

TEST(HeaderPlausibility, NamesFromTheLoggerDoNotHoldTheConfirmationBack) {
    struct Case {
        std::string pilotName, site;
        bool namesFromLogger, visible;
    };
    const Case cases[] = {
        {"", "Hohe", false, false},
        {"", "Hohe", true, true},
        {"Hans Muster", "Hoh", true, false},  // the other fields still count
        {"Hans Muster", "Hohe", true, true},
    };
    for (const Case& c : cases) {
        FieldTexts fields = plausibleFields();
        fields.pilotName = c.pilotName;
        fields.site = c.site;
        const Plausibility result = checkPlausibility(fields, c.namesFromLogger, onlyFlightsExists);
        EXPECT_EQ(result.confirmVisible, c.visible)
            << c.pilotName << "/" << c.site << "/" << c.namesFromLogger;
        EXPECT_EQ(result.passes(Field::PilotName), !c.pilotName.empty());  // still marked
    }
}

TEST(HeaderPilotId, KeepsOnlyItsLeadingAsciiLetters) {
    const std::pair<std::string, std::string> cases[] = {
        {"HaM1", "HaM"},  // a digit typed
        {"AB1CD", "AB"},  // pasted with a digit in third place
        {"\xE4"
         "BCD",
         ""},  // an umlaut (Latin-1) first
        {"Ab\xFC"
         "c",
         "Ab"},            // an umlaut inside
        {"hAmU", "hAmU"},  // mixed case kept
        {"ZZzz", "ZZzz"},
        {"Ha Mu", "Ha"},
        {"@AZ[", ""},  // the neighbours of A..Z and a..z
        {"`az{", ""},
        {"", ""},
    };
    for (const auto& [typed, kept] : cases) EXPECT_EQ(cutPilotId(typed), kept) << typed;
}

TEST(HeaderClasses, PositionsNamesAndWrapping) {
    EXPECT_EQ(className(1), "Paraglider open");
    EXPECT_EQ(className(2), "Paraglider sport");
    EXPECT_EQ(className(7), "default");
    EXPECT_THROW(className(0), std::out_of_range);
    EXPECT_THROW(className(8), std::out_of_range);
    for (int position = 1; position <= 7; ++position)
        EXPECT_EQ(classPosition(className(position)), position);
    for (const char* unknown : {"Paraglider Sport", "paraglider open", "Default", "", "default "})
        EXPECT_EQ(classPosition(unknown), 1) << unknown;

    const struct {
        int from, steps, to;
    } moves[] = {{7, 1, 1}, {1, -1, 7}, {3, 1, 4}, {4, -1, 3}, {1, -8, 7}, {6, 9, 1}};
    for (const auto& m : moves) EXPECT_EQ(stepClass(m.from, m.steps), m.to) << m.from << m.steps;
}

TEST(HeaderSaveDirectory, DirectoryPartAlwaysEndsWithASeparator) {
    const std::pair<std::string, std::string> cases[] = {
        {"/home/pilot/Flights/", "/home/pilot/Flights/"},
        {"/home/pilot/Flights", "/home/pilot/"},  // the parent of a folder typed without '/'
        {"/home/pilot/a.igc", "/home/pilot/"},
        {"/", "/"},
        {"relative/dir", "relative/"},
        {"Flights", "./"},  // no directory part: the current folder, never the root
        {"", "./"},
    };
    for (const auto& [path, directory] : cases) EXPECT_EQ(saveDirectoryOf(path), directory) << path;
    EXPECT_EQ(directoryPart("Flights"), "");
    EXPECT_EQ(proposedSaveDirectory("/home/pilot"), "/home/pilot/");
    EXPECT_EQ(proposedSaveDirectory("/"), "/");
    EXPECT_EQ(withFinalSeparator(""), "/");
}

TEST(HeaderSaveDirectory, AnExistingFolderWithoutFinalSeparatorPassesButSavesInItsParent) {
    namespace fs = std::filesystem;
    const fs::path parent = fs::temp_directory_path() / ("qr-header-" + std::to_string(getpid()));
    const fs::path folder = parent / "Flights";
    fs::create_directories(folder);
    FieldTexts fields = plausibleFields();
    fields.path = folder.string();
    EXPECT_TRUE(checkPlausibility(fields, false).passes(Field::Path));
    EXPECT_EQ(saveDirectoryOf(fields.path), parent.string() + "/");
    fields.path = (folder / "missing").string();
    EXPECT_FALSE(checkPlausibility(fields, false).passes(Field::Path));
    fs::remove_all(parent);
}

}  // namespace
}  // namespace qr::header

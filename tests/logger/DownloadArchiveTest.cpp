// The archive of kept downloads: names, order, complete-or-absent writing.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "common/Errors.h"
#include "common/WholeFile.h"
#include "logger/DownloadArchive.h"

namespace qr::archive {
namespace {

namespace fs = std::filesystem;

class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/qr-archive-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~TempFolder() { fs::remove_all(path_); }
    std::string path() const { return path_ + "/"; }

private:
    std::string path_;
};

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

constexpr Stamp kStamp{2026, 12, 10, 14, 30, 12};

TEST(DownloadArchive, FolderFollowsTheXdgRules) {
    EXPECT_EQ(folderFor("/data", "/home/a"), "/data/QuendarixReader/downloads/");
    EXPECT_EQ(folderFor("/data/", "/home/a"), "/data/QuendarixReader/downloads/");
    EXPECT_EQ(folderFor("", "/home/a"), "/home/a/.local/share/QuendarixReader/downloads/");
    // A relative XDG_DATA_HOME is to be ignored.
    EXPECT_EQ(folderFor("rel", "/home/a"), "/home/a/.local/share/QuendarixReader/downloads/");
}

TEST(DownloadArchive, NamesCarryTheLocalDateAndTime) {
    EXPECT_EQ(fileName(kStamp, 0, false), "2026-12-10_143012.qvd");
    EXPECT_EQ(fileName(kStamp, 0, true), "2026-12-10_143012.cut.qvd");
    EXPECT_EQ(fileName(kStamp, 1, false), "2026-12-10_143012-2.qvd");
    EXPECT_EQ(fileName({2027, 1, 2, 3, 4, 5}, 0, false), "2027-01-02_030405.qvd");
}

TEST(DownloadArchive, ParsesOnlyItsOwnNames) {
    struct Case {
        const char* name;
        bool valid;
        int number;
        bool cut;
    };
    const Case cases[] = {
        {"2026-12-10_143012.qvd", true, 1, false},
        {"2026-12-10_143012-2.qvd", true, 2, false},
        {"2026-12-10_143012-17.cut.qvd", true, 17, true},
        {"2026-12-10_143012.cut.qvd", true, 1, true},
        {".2026-12-10_143012.qvd.Ab3dE9", false, 0, false},  // a temporary file
        {"2026-12-10_143012-1.qvd", false, 0, false},
        {"2026-12-10_143012-.qvd", false, 0, false},
        {"2026-12-10-143012.qvd", false, 0, false},
        {"notes.qvd", false, 0, false},
        {".qvd", false, 0, false},
        {"2026-12-10_143012.igc", false, 0, false},
    };
    for (const Case& c : cases) {
        const auto key = parseFileName(c.name);
        ASSERT_EQ(key.has_value(), c.valid) << c.name;
        if (!key) continue;
        EXPECT_EQ(key->stamp, "2026-12-10_143012") << c.name;
        EXPECT_EQ(key->number, c.number) << c.name;
        EXPECT_EQ(key->cut, c.cut) << c.name;
    }
}

TEST(DownloadArchive, KeepsTheBytesAndNeverReplacesAName) {
    TempFolder folder;
    const std::string inner = folder.path() + "a/b/";  // created when missing
    const std::string bytes("AQVD1\r\nB\0x\r\n", 11);
    const std::string first = keep(inner, bytes, kStamp, false);
    const std::string second = keep(inner, "other", kStamp, false);
    const std::string cut = keep(inner, "half", kStamp, true);
    EXPECT_EQ(first, inner + "2026-12-10_143012.qvd");
    EXPECT_EQ(second, inner + "2026-12-10_143012-2.qvd");
    EXPECT_EQ(cut, inner + "2026-12-10_143012.cut.qvd");
    EXPECT_EQ(readWholeFile(first), bytes);
    EXPECT_EQ(readWholeFile(second), "other");
    EXPECT_EQ(namesIn(inner).size(), 3u);  // no temporary file left
}

TEST(DownloadArchive, AFolderThatCannotBeWrittenLeavesNothing) {
    TempFolder folder;
    std::ofstream(folder.path() + "file") << "x";
    try {
        keep(folder.path() + "file/", "bytes", kStamp, false);
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), "Ungültiger Dateiname");
    }
    EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"file"});
}

TEST(DownloadArchive, NewestCompleteGoesByTheNameNotByTheCutOnes) {
    TempFolder folder;
    EXPECT_EQ(newestComplete(folder.path() + "missing/"), std::nullopt);
    EXPECT_EQ(newestComplete(folder.path()), std::nullopt);
    for (const char* name :
         {"2026-12-10_143012.qvd", "2026-12-10_143012-2.qvd", "2026-12-09_235959-9.qvd",
          "2026-12-11_000000.cut.qvd", ".2026-12-12_000000.qvd.abcdef", "zzz.qvd"})
        std::ofstream(folder.path() + name) << "x";
    EXPECT_EQ(newestComplete(folder.path()), folder.path() + "2026-12-10_143012-2.qvd");
    std::ofstream(folder.path() + "2026-12-10_143012-10.qvd") << "x";
    EXPECT_EQ(newestComplete(folder.path()), folder.path() + "2026-12-10_143012-10.qvd");
}

TEST(WholeFile, ReadErrorsGoThroughTheFileLayer) {
    EXPECT_THROW(readWholeFile("/nonexistent/qr.qvd"), EInOutError);
    EXPECT_THROW(readWholeFile("/tmp"), EInOutError);
}

}  // namespace
}  // namespace qr::archive

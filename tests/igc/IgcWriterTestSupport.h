#pragma once
// Shared by the IGC writer tests: the small track memory, a request for one of its tracks,
// a fake signer, a temporary save directory and file reading.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/DateTime.h"
#include "igc/IgcWriterRequest.h"

namespace qr::test {

inline std::string writerDataPath(const std::string& name) {
    return std::string(QR_WRITER_DATA) + "/" + name;
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// memory.txt: a preamble line, then five tracks ("FLIGHT 1" ... "FLIGHT 5"):
// 1 all seven logger header records, 2 only glider type and ID, 3 ends with two G lines,
// 4 empty, 5 one fix as the last line of the memory.
inline std::vector<std::string> loadMemory() {
    std::vector<std::string> lines;
    std::istringstream in(readBytes(writerDataPath("memory.txt")));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// What the track list computes for memory.txt.
inline const std::vector<TDateTime>& memoryTrackStarts() {
    static const std::vector<TDateTime> starts = {
        EncodeDate(2026, 7, 8) + EncodeTime(10, 15, 0, 0),
        EncodeDate(2026, 7, 8) + EncodeTime(13, 0, 0, 0),
        EncodeDate(2026, 7, 9) + EncodeTime(9, 0, 0, 0),
        0.0,
        EncodeDate(2026, 7, 10) + EncodeTime(12, 0, 0, 0),
    };
    return starts;
}

// Sunday, 12 July 2026, 14:03:09, formatted the way an English desktop would.
inline constexpr const char* kShownDate = "7/12/26";
inline constexpr const char* kShownTime = "2:03:09 PM";

inline IgcWriteRequest requestFor(const std::vector<std::string>& memory, int index,
                                  bool namesFromLogger) {
    IgcWriteRequest r;
    r.lines = memory;
    r.lineCount = static_cast<int>(memory.size());
    r.firstARecord = "AXVN 4711 USB FLIGHT 1";
    r.trackStarts = memoryTrackStarts();
    r.chosenIndex = index;
    r.namesFromLogger = namesFromLogger;
    r.header = {"Bruno Dialog",    "Beta 3",      "BD-42", "DHV-OLC-2009",
                "Paraglider open", "Wasserkuppe", "BrDi",  ""};
    r.applicationTitle = "Qrtest";
    r.clock = [] { return EncodeDate(2026, 7, 12) + EncodeTime(14, 3, 9, 0); };
    r.shortDate = [](TDateTime) { return std::string(kShownDate); };
    r.longTime = [](TDateTime) { return std::string(kShownTime); };
    return r;
}

inline std::string joinCrLf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) out += line + "\r\n";
    return out;
}

// The lines of a file that ends every line with CR LF; a failure when one does not.
inline std::vector<std::string> splitCrLf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto end = bytes.find("\r\n", at);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last line without CR LF: " << bytes.substr(at);
            lines.push_back(bytes.substr(at));
            break;
        }
        lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

// Appends two recognisable G lines, as the real signer appends its two.
struct FakeSigner {
    static constexpr const char* kLines = "GFAKESIGNATURE1\r\nGFAKESIGNATURE2\r\n";
    std::vector<std::string> calls;
    void operator()(const std::string& path) {
        calls.push_back(path);
        std::ofstream out(path, std::ios::binary | std::ios::app);
        out << kLines;
        if (!out) throw std::runtime_error("fake signer could not append to " + path);
    }
};

// A fresh save directory (its path ends with '/'), removed with everything in it.
class TempSaveDir {
public:
    TempSaveDir() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/qr-writer-XXXXXX";
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern + "/";
    }
    ~TempSaveDir() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempSaveDir(const TempSaveDir&) = delete;
    TempSaveDir& operator=(const TempSaveDir&) = delete;

    const std::string& path() const { return path_; }

    // The names in the directory, sorted; hidden ones included.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    void touch(const std::string& name, const std::string& bytes = "taken") const {
        std::ofstream(path_ + name, std::ios::binary) << bytes;
    }

private:
    std::string path_;
};

}  // namespace qr::test

#pragma once
// Whether a flight is already saved in a folder: an .igc file there holding the same first
// and last B record and the same number of B records.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qr::cli {

struct BRecordSummary {
    int count = 0;
    std::string first;
    std::string last;
    bool operator==(const BRecordSummary&) const = default;
};

// The B records of a file's bytes; lines end with CR LF, LF or CR.
BRecordSummary bRecordSummary(std::string_view bytes);

// The .igc files of a folder (not hidden ones), read once.
class SavedFlightIndex {
public:
    // A folder that cannot be listed gives an empty index; files that cannot be read are
    // passed over.
    explicit SavedFlightIndex(const std::string& folder);

    // The file holding a flight with these B records (none for a flight without fixes).
    std::optional<std::string> find(const BRecordSummary& flight) const;
    // A file written meanwhile.
    void add(const std::string& path, BRecordSummary summary);

private:
    std::vector<std::pair<std::string, BRecordSummary>> files_;
};

}  // namespace qr::cli

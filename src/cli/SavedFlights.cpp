#include "cli/SavedFlights.h"

#include <dirent.h>

#include <algorithm>
#include <memory>

#include "common/WholeFile.h"

namespace qr::cli {

namespace {

bool isIgcName(std::string_view name) {
    if (name.empty() || name.front() == '.' || name.size() <= 4) return false;
    std::string ext(name.substr(name.size() - 4));
    for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ext == ".igc";
}

}  // namespace

BRecordSummary bRecordSummary(std::string_view bytes) {
    BRecordSummary summary;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = bytes.size();
        const std::string_view line = bytes.substr(start, end - start);
        if (!line.empty() && line.front() == 'B') {
            if (summary.count == 0) summary.first = std::string(line);
            summary.last = std::string(line);
            ++summary.count;
        }
        start = end + 1;
        if (end < bytes.size() && bytes[end] == '\r' && start < bytes.size() &&
            bytes[start] == '\n')
            ++start;
    }
    return summary;
}

SavedFlightIndex::SavedFlightIndex(const std::string& folder) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir.get()))
        if (isIgcName(entry->d_name)) names.emplace_back(entry->d_name);
    std::sort(names.begin(), names.end());
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    for (const std::string& name : names) {
        try {
            files_.emplace_back(prefix + name, bRecordSummary(readWholeFile(prefix + name)));
        } catch (const std::exception&) {
            // A directory named *.igc or a file without read right holds no flight of ours.
        }
    }
}

std::optional<std::string> SavedFlightIndex::find(const BRecordSummary& flight) const {
    if (flight.count == 0) return std::nullopt;
    for (const auto& [path, summary] : files_)
        if (summary == flight) return path;
    return std::nullopt;
}

void SavedFlightIndex::add(const std::string& path, BRecordSummary summary) {
    files_.emplace_back(path, std::move(summary));
}

}  // namespace qr::cli

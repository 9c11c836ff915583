#include "logger/DownloadArchive.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "common/CompleteFile.h"
#include "common/FileErrors.h"

namespace qr::archive {

namespace {

constexpr std::string_view kExtension = ".qvd";
constexpr std::string_view kCutExtension = ".cut.qvd";
constexpr int kMaxAttempts = 1000;

bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// mkdir -p for the folder's missing parts.
void makeFolder(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) throwFileError(errno);
    }
}

}  // namespace

Stamp localStampNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string folderFor(std::string_view xdgDataHome, std::string_view home) {
    std::string base;
    if (!xdgDataHome.empty() && xdgDataHome.front() == '/') {
        base = std::string(xdgDataHome);
    } else {
        base = std::string(home) + "/.local/share";
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/QuendarixReader/downloads/";
}

std::string defaultFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    return folderFor(data ? data : "", home ? home : "");
}

std::string fileName(const Stamp& stamp, int attempt, bool cut) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d_%02d%02d%02d", stamp.year, stamp.month,
                  stamp.day, stamp.hour, stamp.minute, stamp.second);
    std::string name = text;
    if (attempt > 0) name += "-" + std::to_string(attempt + 1);
    name += cut ? kCutExtension : kExtension;
    return name;
}

std::optional<NameKey> parseFileName(std::string_view name) {
    NameKey key;
    if (name.size() > kCutExtension.size() && name.ends_with(kCutExtension)) {
        key.cut = true;
        name.remove_suffix(kCutExtension.size());
    } else if (name.size() > kExtension.size() && name.ends_with(kExtension)) {
        name.remove_suffix(kExtension.size());
    } else {
        return std::nullopt;
    }
    // "YYYY-MM-DD_HHMMSS", then "-n" for a name that was taken.
    if (name.size() < 17) return std::nullopt;
    const std::string_view stamp = name.substr(0, 17);
    if (!allDigits(stamp.substr(0, 4)) || stamp[4] != '-' || !allDigits(stamp.substr(5, 2)) ||
        stamp[7] != '-' || !allDigits(stamp.substr(8, 2)) || stamp[10] != '_' ||
        !allDigits(stamp.substr(11, 6)))
        return std::nullopt;
    key.stamp = std::string(stamp);
    const std::string_view rest = name.substr(17);
    if (!rest.empty()) {
        if (rest.front() != '-' || !allDigits(rest.substr(1)) || rest.size() > 5)
            return std::nullopt;
        key.number = std::atoi(std::string(rest.substr(1)).c_str());
        if (key.number < 2) return std::nullopt;
    }
    return key;
}

std::string keep(const std::string& folder, std::string_view bytes, const Stamp& stamp, bool cut) {
    makeFolder(folder);
    TemporaryFile temp(folder + "." + fileName(stamp, 0, cut) + ".");
    temp.handle().write(bytes);
    const std::optional<std::string> path = temp.commit([&](int attempt) {
        return attempt < kMaxAttempts ? std::optional(folder + fileName(stamp, attempt, cut))
                                      : std::nullopt;
    });
    if (!path) throwFileError(EEXIST);
    return *path;
}

std::optional<std::string> newestComplete(const std::string& folder) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) {
        if (errno == ENOENT) return std::nullopt;
        throwFileError(errno);
    }
    std::optional<NameKey> best;
    std::string bestName;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::optional<NameKey> key = parseFileName(entry->d_name);
        if (!key || key->cut) continue;
        if (!best || *best < *key) {
            best = key;
            bestName = entry->d_name;
        }
    }
    if (!best) return std::nullopt;
    return folder + bestName;
}

}  // namespace qr::archive

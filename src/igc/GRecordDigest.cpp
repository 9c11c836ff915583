#include "igc/GRecordDigest.h"

#include "igc/Sha1Hash.h"

namespace qr {

std::vector<std::string> ReadIgcLines(std::string_view bytes, TLoneCr loneCr) {
    std::vector<std::string> lines;
    std::string line;
    bool open = false;  // bytes read since the last line end
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            open = false;
        } else if (c == '\r') {
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;  // CR LF: the LF ends it
            if (loneCr == TLoneCr::EndsLine) {
                lines.push_back(std::move(line));
                line.clear();
                open = false;
            } else {
                open = true;
            }
        } else {
            line += c;
            open = true;
        }
    }
    if (open) lines.push_back(std::move(line));
    return lines;
}

bool EntersGRecordDigest(std::string_view line) {
    if (line.starts_with("L   Valdorine")) return true;
    return !(line.starts_with('G') || line.starts_with("HO") || line.starts_with('L'));
}

TGRecordDigest GRecordDigest(const std::vector<std::string>& lines) {
    return GRecordDigest(lines, Sha1BestEngine());
}

TGRecordDigest GRecordDigest(const std::vector<std::string>& lines, TSha1Engine engine) {
    TSha1 sha(engine);
    sha.Init();
    for (const std::string& line : lines) {
        if (!EntersGRecordDigest(line)) continue;
        sha.UpdateStr(line);
        sha.UpdateStr("\n");
    }
    TGRecordDigest digest{};
    sha.Final(digest.data());
    return digest;
}

}  // namespace qr

#include "qvdsim/SentenceReader.h"

#include <cctype>

namespace qr::sim {

namespace {

constexpr std::string_view kTalker = "$PQVD,";
constexpr std::string_view kSet = "$PQVD,SET,";
constexpr std::size_t kSetLength = 18;
constexpr std::size_t kMaxSentence = 200;

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::vector<Sentence> SentenceReader::feed(std::string_view bytes) {
    pending_.append(bytes);
    std::vector<Sentence> out;
    for (;;) {
        const auto start = pending_.find(kTalker);
        if (start == std::string::npos) {
            // Keep a tail that may be the beginning of a talker.
            if (pending_.size() > kTalker.size())
                pending_.erase(0, pending_.size() - kTalker.size());
            return out;
        }
        pending_.erase(0, start);
        if (pending_.compare(0, kSet.size(), kSet) == 0) {
            if (pending_.size() < kSetLength) return out;
            int address = 0;
            bool valid = pending_[14] == ',' && pending_[16] == '\r' && pending_[17] == '\n';
            for (std::size_t i = 10; i < 14 && valid; ++i) {
                const int digit = hexValue(pending_[i]);
                valid = digit >= 0;
                address = address * 16 + digit;
            }
            if (!valid) {
                pending_.erase(0, 1);  // not a sentence after all: look for the next one
                continue;
            }
            Sentence s;
            s.command = "SET";
            s.address = address;
            s.value = static_cast<unsigned char>(pending_[15]);
            out.push_back(s);
            pending_.erase(0, kSetLength);
            continue;
        }
        const auto end = pending_.find("\r\n", kTalker.size());
        const auto restart = pending_.find(kTalker, 1);
        if (restart != std::string::npos && (end == std::string::npos || restart < end)) {
            pending_.erase(0, restart);  // a sentence broken off by the next one
            continue;
        }
        if (end == std::string::npos) {
            if (pending_.size() > kMaxSentence)
                pending_.erase(0, 1);
            else
                return out;
            continue;
        }
        const std::string body = pending_.substr(kTalker.size(), end - kTalker.size());
        pending_.erase(0, end + 2);
        Sentence s;
        const auto comma = body.find(',');
        s.command = body.substr(0, comma);
        if (comma != std::string::npos) s.argument = body.substr(comma + 1);
        out.push_back(s);
    }
}

}  // namespace qr::sim

#pragma once
// The lines of the last evaluated logger answer, numbered from 1, with the line count.
// The buffer keeps every line of an answer, however long. An evaluation overwrites lines
// from number 1 on; stored lines beyond its last line keep what older evaluations wrote,
// and only lines 1 to count() belong to the last answer.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qr {

class LineBuffer {
public:
    // Number of valid lines: lines 1 to count() are those of the last evaluated answer.
    int count() const { return count_; }
    // Line n, 1 <= n <= stored().
    const std::string& line(int n) const { return lines_[static_cast<std::size_t>(n) - 1]; }
    // Every stored text; element i holds line i + 1. May hold more than count() lines.
    const std::vector<std::string>& lines() const { return lines_; }
    int stored() const { return static_cast<int>(lines_.size()); }

    // Writes line n (1 <= n <= stored() + 1) and returns it for in-place rewriting.
    std::string& store(int n, std::string_view text);
    void setCount(int n) { count_ = n; }

private:
    std::vector<std::string> lines_;
    int count_ = 0;
};

}  // namespace qr

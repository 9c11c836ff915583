#include "cli/TextTable.h"

#include <algorithm>

namespace qr::cli {

namespace {

// Characters of a UTF-8 text (continuation bytes do not count).
std::size_t displayWidth(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string field(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return text;
}

}  // namespace

std::string formatTable(const TableRows& rows, bool terminal) {
    std::string out;
    if (!terminal) {
        for (const auto& row : rows) {
            for (std::size_t i = 0; i < row.size(); ++i) out += (i ? "\t" : "") + field(row[i]);
            out += '\n';
        }
        return out;
    }
    std::vector<std::size_t> widths;
    auto shown = [](const std::string& cell) { return cell.empty() ? std::string("-") : cell; };
    for (const auto& row : rows)
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (widths.size() <= i) widths.push_back(0);
            widths[i] = std::max(widths[i], displayWidth(shown(row[i])));
        }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const std::string cell = field(shown(row[i]));
            line += cell;
            if (i + 1 < row.size()) line += std::string(widths[i] - displayWidth(cell) + 2, ' ');
        }
        out += line + '\n';
    }
    return out;
}

}  // namespace qr::cli

#pragma once
// Results on standard output: for a person, columns aligned with a header line; for a
// program (output not a terminal), tab-separated fields with a header line.
#include <string>
#include <vector>

namespace qr::cli {

using TableRows = std::vector<std::vector<std::string>>;

// rows[0] is the header. On a terminal an empty cell shows as "-" and the columns are
// padded to their widest UTF-8 text; otherwise fields are joined by tabs as they stand
// (tabs and line ends inside a field become blanks).
std::string formatTable(const TableRows& rows, bool terminal);

}  // namespace qr::cli

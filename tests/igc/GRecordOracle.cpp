#include "GRecordOracle.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace qr::test {

namespace {

std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool signedLine(const std::string& line) {
    if (line.rfind("L   Valdorine", 0) == 0) return true;
    const char first = line.empty() ? '\0' : line[0];
    return first != 'G' && first != 'L' && line.rfind("HO", 0) != 0;
}

bool hexValue(const std::string& line, mpz_class& value) {
    const std::string prefix = "GValdorine ";
    if (line.rfind(prefix, 0) != 0 || line.size() == prefix.size()) return false;
    return value.set_str(line.substr(prefix.size()), 16) == 0;
}

}  // namespace

Digest OpensslGRecordDigest(const std::string& fileBytes) {
    std::string data;
    for (const std::string& line : linesOf(fileBytes)) {
        if (signedLine(line)) data += line + "\n";
    }
    return OpensslSha1(data);
}

bool OpensslAcceptsGRecord(const std::string& fileBytes) {
    const std::vector<std::string> lines = linesOf(fileBytes);
    mpz_class r, s;
    if (lines.size() < 2 || !hexValue(lines[lines.size() - 2], r) || !hexValue(lines.back(), s)) {
        return false;
    }
    return OpensslDsaVerify(DataPath("signing-key-public.pem"), OpensslGRecordDigest(fileBytes), r,
                            s);
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qr-igc-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

}  // namespace qr::test

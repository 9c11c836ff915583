#pragma once
// An independent check of a signed .igc file (OpenSSL for SHA-1 and DSA, its own line
// selection), and a temporary folder for the files the tests sign.
#include <filesystem>
#include <string>

#include "CryptoOracles.h"

namespace qr::test {

// SHA-1 of the lines a G record covers, read with OpenSSL from LF- or CR LF-ended bytes.
Digest OpensslGRecordDigest(const std::string& fileBytes);

// True when the file's last two lines are "GValdorine <hex>" and OpenSSL accepts them, with
// the published public key, as a signature of OpensslGRecordDigest.
bool OpensslAcceptsGRecord(const std::string& fileBytes);

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

private:
    std::filesystem::path dir_;
};

void WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace qr::test

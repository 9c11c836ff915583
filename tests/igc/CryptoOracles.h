#pragma once
// Independent references for the crypto tests: OpenSSL for SHA-1 and DSA verification,
// GMP for big-integer results. The program itself never links either.
#include <gmpxx.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "igc/BigInt.h"

namespace qr::test {

using Digest = std::array<std::uint8_t, 20>;

Digest OpensslSha1(std::string_view bytes);
std::string ToHex(std::string_view bytes);  // upper case

// GMP <-> our numbers, through decimal text in and base-256 text out.
TBigInt ToBig(const mpz_class& value);
mpz_class ToMpz(const TBigInt& value);
mpz_class MpzFromBytes(std::string_view bytes);
std::string MpzToBytes(const mpz_class& value);  // shortest big-endian, zero as one 0x00

// The public key of a SubjectPublicKeyInfo PEM file.
struct DsaPublicKey {
    mpz_class p, q, g, y;
};
DsaPublicKey ReadDsaPublicKey(const std::string& pemPath);

// OpenSSL's verdict on (r, s) over a 20-byte digest (DER signature, SHA-1 as the digest type).
bool OpensslDsaVerify(const std::string& pemPath, const Digest& digest, const mpz_class& r,
                      const mpz_class& s);

// The test data folder (copied vectors and fixtures).
std::string DataPath(const std::string& name);
std::string ReadFileBytes(const std::string& path);

}  // namespace qr::test

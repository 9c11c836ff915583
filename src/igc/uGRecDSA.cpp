#include "igc/uGRecDSA.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "common/Delay.h"
#include "common/FdIo.h"
#include "common/FileErrors.h"
#include "common/UniqueFd.h"
#include "igc/GRecordDigest.h"
#include "igc/GRecordKey.h"

namespace qr {

namespace {

UniqueFd openOrThrow(const std::string& path, int flags) {
    UniqueFd file(::open(path.c_str(), flags | O_CLOEXEC));
    if (!file) throwFileError(errno);
    return file;
}

// Closes now and reports a failure (a delayed write error shows up here).
void closeOrThrow(UniqueFd& file) {
    if (const int err = file.closeNow()) throwFileError(err);
}

std::string readWholeFile(const std::string& path) {
    UniqueFd file = openOrThrow(path, O_RDONLY);
    std::string bytes;
    if (const int err = readAll(file.get(), bytes)) throwFileError(err);
    closeOrThrow(file);
    return bytes;
}

void appendToFile(const std::string& path, std::string_view text) {
    UniqueFd file = openOrThrow(path, O_WRONLY | O_APPEND);
    if (const int err = writeAll(file.get(), text)) throwFileError(err);
    closeOrThrow(file);
}

std::string upperHex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(2 * bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        hex += kDigits[b >> 4];
        hex += kDigits[b & 0x0F];
    }
    return hex;
}

}  // namespace

SignerSeams::SignerSeams() : seed(ClockSeed), pause(Delay) {}

std::uint32_t ClockSeed() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

TBigInt DrawK(std::uint32_t seed, const TBigInt& q) {
    std::uint32_t state = seed;
    for (;;) {
        std::string bytes(20, '\0');
        for (char& byte : bytes) {
            state = state * 134775813u + 1u;
            byte = static_cast<char>(state >> 24);
        }
        TBigInt k = BigFromByteText(bytes);
        if (BigCompareMagnitude(k, q) == TBigCompare::Smaller) return k;
    }
}

std::string GRecordLines(const TDsaSignature& signature) {
    return "GValdorine " + upperHex(signature.r) + "\r\nGValdorine " + upperHex(signature.s) +
           "\r\n";
}

void SignIgcFile(const std::string& path) {
    SignIgcFile(path, SignerSeams());
}

void SignIgcFile(const std::string& path, const SignerSeams& seams) {
    const TGRecordDigest digest = GRecordDigest(ReadIgcLines(readWholeFile(path)));

    const TBigInt p = BigFromDecimalText(kGRecordKey.p);
    const TBigInt q = BigFromDecimalText(kGRecordKey.q);
    const TBigInt g = BigFromDecimalText(kGRecordKey.g);
    const TBigInt x = BigFromDecimalText(kGRecordKey.x);
    const TBigInt k = seams.k ? seams.k(q) : DrawK(seams.seed(), q);
    const std::string message(reinterpret_cast<const char*>(digest.data()), digest.size());
    const std::string lines = GRecordLines(BigDsaSign(p, q, g, x, k, message));

    seams.pause(100);
    appendToFile(path, lines);
    seams.pause(1000);
}

}  // namespace qr

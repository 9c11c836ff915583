#pragma once
// The G-record signer: appends a DSA signature over the file's digest to a written .igc file,
// as two lines "GValdorine <r>" and "GValdorine <s>" in upper-case hexadecimal.
#include <cstdint>
#include <functional>
#include <string>

#include "igc/BigInt.h"
#include "igc/BigIntDsa.h"

namespace qr {

// The parts of signing that tests replace; the defaults are the program's behaviour.
struct SignerSeams {
    // Seeds the generator that draws k, once per signature.
    std::function<std::uint32_t()> seed;
    // When set, gives k (1 .. q-1) instead of drawing it: for known-answer tests.
    std::function<TBigInt(const TBigInt& q)> k;
    // The blocking pauses, in milliseconds: 100 before appending, 1000 after.
    std::function<void(int)> pause;

    SignerSeams();
};

// Reads the closed file at path, signs its digest and appends the two G lines with CR LF.
// Blocks for the two pauses (about 1.1 s). Throws EInOutError with the file layer's text when
// the file cannot be read or appended to.
void SignIgcFile(const std::string& path);
void SignIgcFile(const std::string& path, const SignerSeams& seams);

// The low 32 bits of the monotonic nanosecond clock.
std::uint32_t ClockSeed();

// k from the 32-bit linear congruential generator (state * 134775813 + 1): 20 bytes, each the
// top 8 bits of the new state, the first one most significant; all 20 drawn anew until the
// number is below q.
TBigInt DrawK(std::uint32_t seed, const TBigInt& q);

// "GValdorine <r>\r\nGValdorine <s>\r\n", two hex digits per byte of r and s.
std::string GRecordLines(const TDsaSignature& signature);

}  // namespace qr

#pragma once
// The block functions behind TSha1: each adds `count` 64-byte blocks to the five chaining
// words. Which ones exist depends on the build's target; which ones run, on the processor.
#include <cstddef>
#include <cstdint>

namespace qr::sha1 {

using CompressFunction = void (*)(std::uint32_t* chain, const unsigned char* blocks,
                                  std::size_t count);

void CompressPortable(std::uint32_t* chain, const unsigned char* blocks, std::size_t count);

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QR_SHA1_X86 1
// The portable steps compiled for BMI2 (flag-free rotates).
void CompressBmi2(std::uint32_t* chain, const unsigned char* blocks, std::size_t count);
// The SHA extension (sha1rnds4, sha1nexte, sha1msg1, sha1msg2); needs SSSE3 and SSE4.1 too.
void CompressShaExtension(std::uint32_t* chain, const unsigned char* blocks, std::size_t count);
#endif

}  // namespace qr::sha1

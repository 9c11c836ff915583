// SHA-1 blocks with the x86 SHA extension. Only this function is compiled for the extension;
// TSha1 calls it after cpuid has shown that the processor has it.
#include "igc/Sha1Compress.h"

#ifdef QR_SHA1_X86
#include <immintrin.h>

#include <utility>

namespace qr::sha1 {

namespace {

#define QR_SHA1_TARGET gnu::target("sha,sse4.1"), gnu::always_inline

// The next four schedule words from the previous sixteen (w[i] holds words 4i .. 4i+3).
[[QR_SHA1_TARGET]] inline __m128i nextWords(__m128i w0, __m128i w1, __m128i w2, __m128i w3) {
    return _mm_sha1msg2_epu32(_mm_xor_si128(_mm_sha1msg1_epu32(w0, w1), w2), w3);
}

// Rounds 4G .. 4G+3 for G >= 1. They need E of their start: A of four rounds earlier
// rotated by 30, which sha1nexte adds to the schedule words.
template <int G>
[[QR_SHA1_TARGET]] inline void fourRounds(__m128i (&w)[4], __m128i& previous, __m128i& abcd) {
    if constexpr (G >= 4)
        w[G % 4] = nextWords(w[G % 4], w[(G + 1) % 4], w[(G + 2) % 4], w[(G + 3) % 4]);
    const __m128i wPlusE = _mm_sha1nexte_epu32(previous, w[G % 4]);
    previous = abcd;
    abcd = _mm_sha1rnds4_epu32(abcd, wPlusE, G / 5);
}

template <int... G>
[[QR_SHA1_TARGET]] inline void roundsFrom4(std::integer_sequence<int, G...>, __m128i (&w)[4],
                                           __m128i& previous, __m128i& abcd) {
    (fourRounds<G + 1>(w, previous, abcd), ...);
}

}  // namespace

[[gnu::target("sha,sse4.1")]] void CompressShaExtension(std::uint32_t* chain,
                                                        const unsigned char* blocks,
                                                        std::size_t count) {
    // Big-endian words, first word in the top lane: reverse all sixteen bytes.
    const __m128i reverse = _mm_set_epi64x(0x0001020304050607LL, 0x08090A0B0C0D0E0FLL);
    // A in the top lane, D in the bottom one; E alone in the top lane of its register.
    __m128i abcd =
        _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(chain)), 0x1B);
    __m128i e = _mm_set_epi32(static_cast<int>(chain[4]), 0, 0, 0);

    for (; count > 0; --count, blocks += 64) {
        const __m128i abcdBefore = abcd;
        const __m128i eBefore = e;
        __m128i w[4];
        for (int i = 0; i < 4; ++i) {
            w[i] = _mm_shuffle_epi8(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * i)), reverse);
        }

        // The first four rounds take E from the chaining word.
        __m128i previous = abcd;
        abcd = _mm_sha1rnds4_epu32(abcd, _mm_add_epi32(e, w[0]), 0);
        roundsFrom4(std::make_integer_sequence<int, 19>(), w, previous, abcd);

        e = _mm_sha1nexte_epu32(previous, eBefore);
        abcd = _mm_add_epi32(abcd, abcdBefore);
    }

    _mm_storeu_si128(reinterpret_cast<__m128i*>(chain), _mm_shuffle_epi32(abcd, 0x1B));
    chain[4] = static_cast<std::uint32_t>(_mm_extract_epi32(e, 3));
}

}  // namespace qr::sha1

#undef QR_SHA1_TARGET
#endif

#include "igc/Sha1Hash.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

#include "igc/Sha1Compress.h"

#ifdef QR_SHA1_X86
#include <cpuid.h>
#endif

namespace qr {

namespace {

inline std::uint32_t loadBigEndian(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

inline void storeBigEndian(std::uint32_t v, std::uint8_t* p) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

bool digestEquals(std::string_view text, const std::uint8_t (&expected)[20]) {
    TSha1 sha;
    sha.Init();
    sha.UpdateStr(text);
    std::uint8_t digest[20];
    sha.Final(digest);
    return std::memcmp(digest, expected, sizeof digest) == 0;
}

}  // namespace

TSha1::~TSha1() {
    if (initialized_) Clear();
}

bool TSha1::SelfTest() const {
    static constexpr std::uint8_t kAbc[20] = {0xA9, 0x99, 0x3E, 0x36, 0x47, 0x06, 0x81,
                                              0x6A, 0xBA, 0x3E, 0x25, 0x71, 0x78, 0x50,
                                              0xC2, 0x6C, 0x9C, 0xD0, 0xD8, 0x9D};
    static constexpr std::uint8_t kLong[20] = {0x84, 0x98, 0x3E, 0x44, 0x1C, 0x3B, 0xD2,
                                               0x6E, 0xBA, 0xAE, 0x4A, 0xA1, 0xF9, 0x51,
                                               0x29, 0xE5, 0xE5, 0x46, 0x70, 0xF1};
    return digestEquals("abc", kAbc) &&
           digestEquals("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", kLong);
}

void TSha1::Init() {
    Clear();
    chain_[0] = 0x67452301;
    chain_[1] = 0xEFCDAB89;
    chain_[2] = 0x98BADCFE;
    chain_[3] = 0x10325476;
    chain_[4] = 0xC3D2E1F0;
    initialized_ = true;
}

void TSha1::Clear() {
    WipeMemory(chain_, sizeof chain_);
    WipeMemory(buffer_, sizeof buffer_);
    buffered_ = 0;
    lengthLow_ = 0;
    lengthHigh_ = 0;
    THash::Clear();
}

void TSha1::Update(const void* data, std::size_t length) {
    RequireInitialized();
    if (length == 0) return;  // data may then be null
    const auto* bytes = static_cast<const unsigned char*>(data);

    const std::uint64_t bits = static_cast<std::uint64_t>(length) << 3;
    const std::uint32_t low = lengthLow_ + static_cast<std::uint32_t>(bits);
    lengthHigh_ += static_cast<std::uint32_t>(bits >> 32) + (low < lengthLow_ ? 1 : 0);
    lengthLow_ = low;

    if (buffered_ > 0) {
        const std::size_t take = std::min(length, sizeof buffer_ - buffered_);
        std::memcpy(buffer_ + buffered_, bytes, take);
        buffered_ += take;
        bytes += take;
        length -= take;
        if (buffered_ < sizeof buffer_) return;
        Compress(buffer_, 1);
        buffered_ = 0;
    }
    // Whole blocks straight from the caller's memory.
    const std::size_t blocks = length / 64;
    if (blocks > 0) Compress(bytes, blocks);
    bytes += blocks * 64;
    length -= blocks * 64;
    std::memcpy(buffer_, bytes, length);
    buffered_ = length;
}

void TSha1::Final(std::uint8_t* digest) {
    RequireInitialized();
    buffer_[buffered_++] = 0x80;
    if (buffered_ > 56) {
        std::memset(buffer_ + buffered_, 0, sizeof buffer_ - buffered_);
        Compress(buffer_, 1);
        buffered_ = 0;
    }
    std::memset(buffer_ + buffered_, 0, 56 - buffered_);
    storeBigEndian(lengthHigh_, buffer_ + 56);
    storeBigEndian(lengthLow_, buffer_ + 60);
    Compress(buffer_, 1);
    for (int i = 0; i < 5; ++i) storeBigEndian(chain_[i], digest + 4 * i);
    Clear();
}

namespace {

// The 80 steps written out: the message schedule lives in a ring of 16 words, and the five
// working variables change roles from step to step instead of being moved.
#define QR_SHA1_W(i) \
    (w[(i)&15] =     \
         std::rotl(w[((i) + 13) & 15] ^ w[((i) + 8) & 15] ^ w[((i) + 2) & 15] ^ w[(i)&15], 1))
#define QR_SHA1_STEP(a, b, c, d, e, f, k, wi) \
    e += std::rotl(a, 5) + (f) + (k) + (wi);  \
    b = std::rotl(b, 30)
#define QR_SHA1_CH(b, c, d) ((((c) ^ (d)) & (b)) ^ (d))
#define QR_SHA1_PARITY(b, c, d) ((b) ^ (c) ^ (d))
#define QR_SHA1_MAJ(b, c, d) (((b) & (c)) + ((d) & ((b) ^ (c))))
#define QR_SHA1_R0(a, b, c, d, e, i) \
    QR_SHA1_STEP(a, b, c, d, e, QR_SHA1_CH(b, c, d), 0x5A827999u, w[i])
#define QR_SHA1_R1(a, b, c, d, e, i) \
    QR_SHA1_STEP(a, b, c, d, e, QR_SHA1_CH(b, c, d), 0x5A827999u, QR_SHA1_W(i))
#define QR_SHA1_R2(a, b, c, d, e, i) \
    QR_SHA1_STEP(a, b, c, d, e, QR_SHA1_PARITY(b, c, d), 0x6ED9EBA1u, QR_SHA1_W(i))
#define QR_SHA1_R3(a, b, c, d, e, i) \
    QR_SHA1_STEP(a, b, c, d, e, QR_SHA1_MAJ(b, c, d), 0x8F1BBCDCu, QR_SHA1_W(i))
#define QR_SHA1_R4(a, b, c, d, e, i) \
    QR_SHA1_STEP(a, b, c, d, e, QR_SHA1_PARITY(b, c, d), 0xCA62C1D6u, QR_SHA1_W(i))
#define QR_SHA1_FIVE(R, i)     \
    R(a, b, c, d, e, (i));     \
    R(e, a, b, c, d, (i) + 1); \
    R(d, e, a, b, c, (i) + 2); \
    R(c, d, e, a, b, (i) + 3); \
    R(b, c, d, e, a, (i) + 4)

// Always inlined, so that each caller below gets code for its own instruction set.
[[gnu::always_inline]] inline void compressBlocks(std::uint32_t* chain, const unsigned char* blocks,
                                                  std::size_t count) {
    std::uint32_t w[16];
    for (; count > 0; --count, blocks += 64) {
        for (int i = 0; i < 16; ++i) w[i] = loadBigEndian(blocks + 4 * i);
        std::uint32_t a = chain[0], b = chain[1], c = chain[2], d = chain[3], e = chain[4];

        QR_SHA1_FIVE(QR_SHA1_R0, 0);
        QR_SHA1_FIVE(QR_SHA1_R0, 5);
        QR_SHA1_FIVE(QR_SHA1_R0, 10);
        QR_SHA1_R0(a, b, c, d, e, 15);
        QR_SHA1_R1(e, a, b, c, d, 16);
        QR_SHA1_R1(d, e, a, b, c, 17);
        QR_SHA1_R1(c, d, e, a, b, 18);
        QR_SHA1_R1(b, c, d, e, a, 19);
        QR_SHA1_FIVE(QR_SHA1_R2, 20);
        QR_SHA1_FIVE(QR_SHA1_R2, 25);
        QR_SHA1_FIVE(QR_SHA1_R2, 30);
        QR_SHA1_FIVE(QR_SHA1_R2, 35);
        QR_SHA1_FIVE(QR_SHA1_R3, 40);
        QR_SHA1_FIVE(QR_SHA1_R3, 45);
        QR_SHA1_FIVE(QR_SHA1_R3, 50);
        QR_SHA1_FIVE(QR_SHA1_R3, 55);
        QR_SHA1_FIVE(QR_SHA1_R4, 60);
        QR_SHA1_FIVE(QR_SHA1_R4, 65);
        QR_SHA1_FIVE(QR_SHA1_R4, 70);
        QR_SHA1_FIVE(QR_SHA1_R4, 75);

        chain[0] += a;
        chain[1] += b;
        chain[2] += c;
        chain[3] += d;
        chain[4] += e;
    }
    WipeMemory(w, sizeof w);
}

#undef QR_SHA1_FIVE
#undef QR_SHA1_R4
#undef QR_SHA1_R3
#undef QR_SHA1_R2
#undef QR_SHA1_R1
#undef QR_SHA1_R0
#undef QR_SHA1_MAJ
#undef QR_SHA1_PARITY
#undef QR_SHA1_CH
#undef QR_SHA1_STEP
#undef QR_SHA1_W

}  // namespace

namespace sha1 {

void CompressPortable(std::uint32_t* chain, const unsigned char* blocks, std::size_t count) {
    compressBlocks(chain, blocks, count);
}

#ifdef QR_SHA1_X86
// x86-64 processors with BMI2 rotate without touching the flags or the source register,
// which shortens the steps noticeably.
[[gnu::target("bmi2")]] void CompressBmi2(std::uint32_t* chain, const unsigned char* blocks,
                                          std::size_t count) {
    compressBlocks(chain, blocks, count);
}
#endif

}  // namespace sha1

namespace {

bool processorHas(TSha1Engine engine) {
    switch (engine) {
        case TSha1Engine::Portable:
            return true;
#ifdef QR_SHA1_X86
        case TSha1Engine::Bmi2: {
            unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
            return __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) != 0 && (ebx & bit_BMI2) != 0;
        }
        case TSha1Engine::ShaExtension: {
            unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
            if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return false;
            if ((ecx & bit_SSSE3) == 0 || (ecx & bit_SSE4_1) == 0) return false;
            return __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) != 0 && (ebx & bit_SHA) != 0;
        }
#else
        case TSha1Engine::Bmi2:
        case TSha1Engine::ShaExtension:
            return false;
#endif
    }
    return false;
}

sha1::CompressFunction compressFunction(TSha1Engine engine) {
    switch (engine) {
#ifdef QR_SHA1_X86
        case TSha1Engine::Bmi2:
            return sha1::CompressBmi2;
        case TSha1Engine::ShaExtension:
            return sha1::CompressShaExtension;
#endif
        default:
            return sha1::CompressPortable;
    }
}

// Asked once: cpuid is slow (in a virtual machine it traps to the host), and the processor
// does not change while the program runs.
const std::vector<TSha1Engine>& enginesOfThisProcessor() {
    static const std::vector<TSha1Engine> engines = [] {
        std::vector<TSha1Engine> found;
        for (const TSha1Engine e :
             {TSha1Engine::Portable, TSha1Engine::Bmi2, TSha1Engine::ShaExtension}) {
            if (processorHas(e)) found.push_back(e);
        }
        return found;
    }();
    return engines;
}

}  // namespace

std::vector<TSha1Engine> Sha1Engines() {
    return enginesOfThisProcessor();
}

TSha1Engine Sha1BestEngine() {
    return enginesOfThisProcessor().back();
}

std::string_view Sha1EngineName(TSha1Engine engine) {
    switch (engine) {
        case TSha1Engine::Portable:
            return "portable";
        case TSha1Engine::Bmi2:
            return "portable (BMI2)";
        case TSha1Engine::ShaExtension:
            return "SHA extension";
    }
    return "?";
}

TSha1::TSha1() : compress_(compressFunction(Sha1BestEngine())) {}

TSha1::TSha1(TSha1Engine engine) : compress_(compressFunction(engine)) {
    const std::vector<TSha1Engine>& engines = enginesOfThisProcessor();
    if (std::find(engines.begin(), engines.end(), engine) == engines.end()) {
        throw std::invalid_argument("this processor cannot run SHA-1 with " +
                                    std::string(Sha1EngineName(engine)));
    }
}

void TSha1::Compress(const unsigned char* blocks, std::size_t count) {
    compress_(chain_, blocks, count);
}

}  // namespace qr

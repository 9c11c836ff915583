#pragma once
// SHA-1 (FIPS 180-1): 160-bit digest over 64-byte blocks, big-endian words and length.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "igc/HashBase.h"

namespace qr {

// The ways of compressing blocks. All give the same digests; they differ in speed and in the
// processors that can run them.
enum class TSha1Engine {
    Portable,      // plain C++, any processor
    Bmi2,          // the same steps for x86-64 processors with BMI2
    ShaExtension,  // the x86 SHA instructions
};

// The engines this processor can run, the fastest last; Portable is always there.
std::vector<TSha1Engine> Sha1Engines();
// The fastest of them, which a TSha1 uses unless told otherwise.
TSha1Engine Sha1BestEngine();
std::string_view Sha1EngineName(TSha1Engine engine);

class TSha1 final : public THash {
public:
    static constexpr int kId = 2;
    static constexpr std::string_view kAlgorithm = "SHA1";
    static constexpr int kHashSize = 160;

    TSha1();
    // A chosen engine, for tests and measurements. Throws std::invalid_argument when this
    // processor cannot run it.
    explicit TSha1(TSha1Engine engine);
    ~TSha1() override;

    int Id() const override { return kId; }
    std::string Algorithm() const override { return std::string(kAlgorithm); }
    int HashSize() const override { return kHashSize; }
    // True when "abc" and the 56-character sample give their published digests.
    bool SelfTest() const override;

    void Init() override;
    void Final(std::uint8_t* digest) override;
    void Clear() override;
    void Update(const void* data, std::size_t length) override;

private:
    void Compress(const unsigned char* blocks, std::size_t count);

    using CompressFunction = void (*)(std::uint32_t*, const unsigned char*, std::size_t);
    CompressFunction compress_;

    std::uint32_t chain_[5] = {};
    unsigned char buffer_[64] = {};
    std::size_t buffered_ = 0;
    // The message length in bits, a 64-bit count in two halves.
    std::uint32_t lengthLow_ = 0;
    std::uint32_t lengthHigh_ = 0;
};

}  // namespace qr

#pragma once
// SHA-1 (FIPS 180-1): 160-bit digest over 64-byte blocks, big-endian words and length.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "igc/HashBase.h"

namespace qr {

class TSha1 final : public THash {
public:
    static constexpr int kId = 2;
    static constexpr std::string_view kAlgorithm = "SHA1";
    static constexpr int kHashSize = 160;

    TSha1() = default;
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

    std::uint32_t chain_[5] = {};
    unsigned char buffer_[64] = {};
    std::size_t buffered_ = 0;
    // The message length in bits, a 64-bit count in two halves.
    std::uint32_t lengthLow_ = 0;
    std::uint32_t lengthHigh_ = 0;
};

}  // namespace qr

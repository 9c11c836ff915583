#pragma once
// The base of the program's hash classes: the initialised flag, the class facts every hash
// gives (identifier, name, digest size) and an update with the bytes of a text.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qr {

// A hash used before it was initialised ("Hash not initialized").
class EHashError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Overwrites memory in a way the optimiser may not drop (state that held secret input).
void WipeMemory(void* memory, std::size_t length);

class THash {
public:
    THash() = default;
    THash(const THash&) = delete;
    THash& operator=(const THash&) = delete;
    virtual ~THash() = default;

    // Facts of the algorithm, the same for every object of a class.
    virtual int Id() const = 0;
    virtual std::string Algorithm() const = 0;
    virtual int HashSize() const = 0;  // in bits
    // Digests of published samples compared with their published values.
    virtual bool SelfTest() const = 0;

    // Starts a fresh digest.
    virtual void Init() = 0;
    // Writes HashSize() / 8 bytes into digest, then clears the state.
    // Throws EHashError when the object is not initialised.
    virtual void Final(std::uint8_t* digest) = 0;
    // Wipes the running state and the initialised flag.
    virtual void Clear() { initialized_ = false; }
    // Adds a run of bytes. Throws EHashError when the object is not initialised.
    virtual void Update(const void* data, std::size_t length) = 0;

    // Adds the bytes of an 8-bit text (no terminator).
    void UpdateStr(std::string_view text) { Update(text.data(), text.size()); }

    bool Initialized() const { return initialized_; }

protected:
    // Throws EHashError unless Init() ran since the last Final() or Clear().
    void RequireInitialized() const;
    bool initialized_ = false;
};

}  // namespace qr

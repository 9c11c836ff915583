#include "igc/HashBase.h"

namespace qr {

void THash::RequireInitialized() const {
    if (!initialized_) throw EHashError("Hash not initialized");
}

void WipeMemory(void* memory, std::size_t length) {
    volatile auto* bytes = static_cast<volatile unsigned char*>(memory);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = 0;
}

}  // namespace qr

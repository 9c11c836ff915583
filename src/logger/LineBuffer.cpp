#include "logger/LineBuffer.h"

#include <stdexcept>

namespace qr {

std::string& LineBuffer::store(int n, std::string_view text) {
    const auto index = static_cast<std::size_t>(n) - 1;
    if (n < 1 || index > lines_.size()) throw std::out_of_range("line number out of order");
    if (index == lines_.size()) return lines_.emplace_back(text);
    // Reuse the old line's storage: a second download of the same memory allocates nothing.
    return lines_[index].assign(text);
}

}  // namespace qr

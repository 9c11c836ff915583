#include "logger/MemoAppender.h"

namespace qr {

void MemoAppender::add(std::string_view line) {
    if (memoSize_ + text_.size() + line.size() + 1 > capacity_) {
        clearFirst_ = true;
        memoSize_ = 0;
        text_.assign(kClearedNote);
        text_ += '\n';
    }
    text_ += line;
    text_ += '\n';
}

void MemoAppender::flushed() {
    memoSize_ += text_.size();  // after a clear memoSize_ started again from 0
    clearFirst_ = false;
    text_.clear();
}

}  // namespace qr

#pragma once
// The text an evaluation adds to the memo, built once and handed to the memo in one piece,
// so that showing many lines costs no more than their length. Each shown line grows the
// memo's text by the line and an LF. A memo that cannot take more (its text would pass
// the capacity) is emptied and starts again with the line "Fenster gelöscht".
#include <cstddef>
#include <string>
#include <string_view>

namespace qr {

class MemoAppender {
public:
    // capacity: the most text the memo takes; memoSize: the length of its text now.
    MemoAppender(std::size_t capacity, std::size_t memoSize)
        : capacity_(capacity), memoSize_(memoSize) {}

    void add(std::string_view line);

    // The memo must be emptied before text() is appended.
    bool clearFirst() const { return clearFirst_; }
    // 8-bit text to append (Latin-1, as the logger sends it).
    const std::string& text() const { return text_; }
    bool empty() const { return !clearFirst_ && text_.empty(); }
    // Starts a new piece after the memo has taken the previous one.
    void flushed();

    static constexpr std::string_view kClearedNote = "Fenster gel\xF6scht";  // Latin-1

private:
    std::size_t capacity_;
    std::size_t memoSize_;
    bool clearFirst_ = false;
    std::string text_;
};

}  // namespace qr

#pragma once
// The few kinds of failure the program knows. Each carries the text the user sees
// (UTF-8); a handler that lets one escape ends and the text goes to the error box.
#include <stdexcept>
#include <string>

namespace qr {

// A text that breaks the number conversion, or a date or time that does not exist.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value of the settings store that is not a single text.
class ESettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure of the file layer, with its code in the file layer's numbering.
class EInOutError : public std::runtime_error {
public:
    EInOutError(int code, const std::string& text) : std::runtime_error(text), code_(code) {}
    int code() const noexcept { return code_; }

private:
    int code_;
};

}  // namespace qr

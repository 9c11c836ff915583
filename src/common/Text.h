#pragma once
// Byte texts from the logger and from files are 8-bit (Latin-1); messages are UTF-8.
#include <string>
#include <string_view>

namespace qr {

// The replacement character for bytes that are no valid UTF-8.
inline constexpr char32_t kUtf8Replacement = 0xFFFD;
// Appends a code point as UTF-8 (a surrogate becomes the replacement character).
void appendUtf8(std::string& out, char32_t codePoint);
// The code point at i, moving i past it; a byte that starts no valid sequence gives U+FFFD.
char32_t nextCodePoint(std::string_view text, std::size_t& i);
// The text with every invalid sequence replaced by U+FFFD.
std::string validUtf8(std::string_view text);

// Latin-1 bytes as UTF-8, for putting a byte text into a message.
std::string latin1ToUtf8(std::string_view latin1);

// Replaces the first "%s" of a pattern.
std::string formatText(std::string_view pattern, std::string_view value);

// ASCII upper case; other bytes stay.
std::string asciiUpper(std::string_view text);

// Equal when ASCII letters are compared without case.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

bool startsWith(std::string_view text, std::string_view prefix);
bool contains(std::string_view text, std::string_view part);

}  // namespace qr

#pragma once
// Byte texts from the logger and from files are 8-bit (Latin-1); messages are UTF-8.
#include <string>
#include <string_view>

namespace qr {

// Latin-1 bytes as UTF-8, for putting a byte text into a message.
std::string latin1ToUtf8(std::string_view latin1);

// Replaces the first "%s" of a pattern.
std::string formatText(std::string_view pattern, std::string_view value);

// ASCII upper case; other bytes stay.
std::string asciiUpper(std::string_view text);

bool startsWith(std::string_view text, std::string_view prefix);
bool contains(std::string_view text, std::string_view part);

}  // namespace qr

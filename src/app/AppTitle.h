#pragma once
#include <string>
#include <string_view>

namespace qr {

// The title the program shows: the executable's file name without its folder, cut at
// its first ".", first character as it stands and the rest in lower case.
std::string applicationTitle(std::string_view executablePath);

}  // namespace qr

#include "app/AppTitle.h"

#include <cctype>

namespace qr {

std::string applicationTitle(std::string_view executablePath) {
    if (auto slash = executablePath.find_last_of('/'); slash != std::string_view::npos)
        executablePath.remove_prefix(slash + 1);
    if (auto dot = executablePath.find('.'); dot != std::string_view::npos)
        executablePath = executablePath.substr(0, dot);
    std::string title(executablePath);
    for (std::size_t i = 1; i < title.size(); ++i)
        title[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(title[i])));
    return title;
}

}  // namespace qr

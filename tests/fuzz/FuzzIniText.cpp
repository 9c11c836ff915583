// The settings file text over arbitrary input: what is read, written and read again gives
// the same texts, values of other types stay of another type, and a second write changes
// nothing.
#include <cstdint>
#include <cstdlib>
#include <map>

#include "app/IniText.h"

namespace {

std::map<std::string, qr::IniValue> valuesOf(std::string_view file) {
    std::map<std::string, qr::IniValue> values;
    for (qr::IniEntry& entry : qr::parseIni(file)) values[entry.path] = std::move(entry.value);
    return values;
}

std::string written(const std::map<std::string, qr::IniValue>& values) {
    std::vector<qr::IniEntry> entries;
    for (const auto& [path, value] : values) entries.push_back({path, value});
    return qr::formatIni(entries);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto first = valuesOf(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string file = written(first);
    const auto second = valuesOf(file);
    if (second.size() != first.size()) std::abort();
    for (const auto& [path, value] : first) {
        const auto again = second.find(path);
        if (again == second.end() || again->second.isText != value.isText) std::abort();
        if (value.isText && again->second.data != value.data) std::abort();
    }
    if (written(second) != file) std::abort();
    return 0;
}

#pragma once
// The text of the settings file: the INI dialect of QSettings::IniFormat, read and written
// without Qt. Only plain texts are decoded. Every other value (a list, or one of the
// "@Type(...)" forms that stand for binary data) stays the text it was in the file: it is
// never deserialised, and writing the file puts it back unchanged.
#include <string>
#include <string_view>
#include <vector>

namespace qr {

struct IniValue {
    bool isText = true;
    // A text (UTF-8), or the file text after the '=' of a value that is not a text.
    std::string data;

    bool operator==(const IniValue&) const = default;
};

struct IniEntry {
    // "section/key"; a key of the general section has no section part.
    std::string path;
    IniValue value;
};

// The entries in file order. A key given twice appears twice; the later one counts.
// Lines that are no entries (comments, garbage) are skipped; parsing never fails.
std::vector<IniEntry> parseIni(std::string_view file);

// The file for the entries: sections in the order of their first entry, keys in the given
// order, in the form QSettings::IniFormat writes and reads.
std::string formatIni(const std::vector<IniEntry>& entries);

}  // namespace qr

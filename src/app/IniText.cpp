#include "app/IniText.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>

#include "common/Text.h"

namespace qr {

namespace {

// Collects a text from raw file bytes and from UTF-16 code units given by escapes; two
// escaped surrogates form one character, as they do in a QString.
class TextBuilder {
public:
    void bytes(std::string_view b) {
        flush();
        out_ += b;
    }
    void unit(char16_t u) {
        if (u >= 0xD800 && u <= 0xDBFF) {
            flush();
            high_ = u;
        } else if (u >= 0xDC00 && u <= 0xDFFF && high_ != 0) {
            appendUtf8(out_, 0x10000 + ((char32_t(high_) - 0xD800) << 10) + (u - 0xDC00));
            high_ = 0;
        } else {
            flush();
            appendUtf8(out_, u);
        }
    }
    std::size_t size() const { return out_.size(); }
    // Drops blanks and tabs at the end, but none before `limit`.
    void chopTrailingSpaces(std::size_t limit) {
        flush();
        while (out_.size() > limit && (out_.back() == ' ' || out_.back() == '\t')) out_.pop_back();
    }
    std::string text() {
        flush();
        return validUtf8(out_);
    }

private:
    void flush() {
        if (high_ != 0) appendUtf8(out_, kUtf8Replacement);
        high_ = 0;
    }
    std::string out_;
    char16_t high_ = 0;
};

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isAsciiSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isAsciiSpace(s.back())) s.remove_suffix(1);
    return s;
}

// The escapes of a value: the letter after the backslash and the character it stands for.
// The first ones are the control characters the writer escapes this way.
constexpr std::array<std::pair<char, char>, 11> kEscapes{{{'a', '\a'},
                                                          {'b', '\b'},
                                                          {'f', '\f'},
                                                          {'n', '\n'},
                                                          {'r', '\r'},
                                                          {'t', '\t'},
                                                          {'v', '\v'},
                                                          {'"', '"'},
                                                          {'?', '?'},
                                                          {'\'', '\''},
                                                          {'\\', '\\'}}};
constexpr std::ptrdiff_t kControlEscapes = 7;

// --- Reading -----------------------------------------------------------------------------

struct Line {
    std::size_t start = 0;
    std::size_t length = 0;
    std::size_t equals = std::string_view::npos;  // index in the file
};

bool isLineSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The next logical line from pos: a line break inside double quotes or after a backslash
// does not end it, an unquoted ';' does, and a line that starts with ';' is a comment.
// The first unquoted '=' separates key and value.
bool nextLine(std::string_view data, std::size_t& pos, Line& line) {
    std::size_t start = pos;
    while (start < data.size() && isLineSpace(data[start])) ++start;
    std::size_t equals = std::string_view::npos;
    bool inQuotes = false;
    std::size_t i = start;
    while (i < data.size()) {
        const char c = data[i++];
        if (c == '=') {
            if (!inQuotes && equals == std::string_view::npos) equals = i - 1;
        } else if (c == '\n' || c == '\r') {
            if (i == start + 1) {
                ++start;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < data.size()) {
                const char escaped = data[i++];
                if (i < data.size()) {
                    const char next = data[i];
                    if ((escaped == '\n' && next == '\r') || (escaped == '\r' && next == '\n')) ++i;
                }
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == ';') {
            if (i == start + 1) {
                while (i < data.size() && data[i] != '\n' && data[i] != '\r') ++i;
                while (i < data.size() && isLineSpace(data[i])) ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    pos = i;
    line = Line{start, i - start, equals};
    return i > start;
}

// A key or section name: '\' stands for '/', %XX and %UXXXX for other characters.
std::string unescapeKey(std::string_view key) {
    TextBuilder out;
    std::size_t i = 0;
    while (i < key.size()) {
        const char c = key[i];
        if (c == '\\') {
            out.bytes("/");
            ++i;
            continue;
        }
        if (c == '%' && i + 1 < key.size()) {
            const std::size_t first = key[i + 1] == 'U' ? i + 2 : i + 1;
            const std::size_t digits = key[i + 1] == 'U' ? 4 : 2;
            std::uint32_t value = 0;
            bool ok = first + digits <= key.size();
            for (std::size_t k = first; ok && k < first + digits; ++k) {
                const int h = hexValue(key[k]);
                ok = h >= 0;
                value = value * 16 + std::uint32_t(std::max(h, 0));
            }
            if (ok) {
                out.unit(char16_t(value));
                i = first + digits;
                continue;
            }
        }
        out.bytes(key.substr(i, 1));
        ++i;
    }
    return out.text();
}

// The text of a value, or nothing when an unquoted ',' makes it a list.
std::optional<std::string> unescapeValue(std::string_view s) {
    TextBuilder out;
    bool inQuotes = false;
    bool quoted = false;
    std::size_t i = 0;
    const auto skipSpaces = [&] {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    };
    skipSpaces();
    // Blanks at the end are dropped unless quoted or written as escapes.
    std::size_t chopLimit = out.size();
    while (i < s.size()) {
        const char c = s[i];
        if (c == '\\') {
            ++i;
            if (i >= s.size()) return out.text();  // a lone backslash at the end keeps the blanks
            const char e = s[i++];
            const auto simple = std::find_if(kEscapes.begin(), kEscapes.end(),
                                             [&](const auto& p) { return p.first == e; });
            if (simple != kEscapes.end()) {
                out.unit(char16_t(simple->second));
            } else if (e == 'x' || (e >= '0' && e <= '7')) {
                const bool hex = e == 'x';
                if (hex && (i >= s.size() || hexValue(s[i]) < 0)) {
                    if (i >= s.size()) return out.text();
                    chopLimit = out.size();  // "\x" without digits is dropped
                    continue;
                }
                char16_t value = hex ? 0 : char16_t(e - '0');
                while (i < s.size()) {
                    const int digit =
                        hex ? hexValue(s[i]) : ((s[i] >= '0' && s[i] <= '7') ? s[i] - '0' : -1);
                    if (digit < 0) break;
                    value = char16_t((value << (hex ? 4 : 3)) + digit);
                    ++i;
                }
                out.unit(value);
                if (i >= s.size()) return out.text();
            } else if (e == '\n' || e == '\r') {
                // a continued line
                if (i < s.size() && (s[i] == '\n' || s[i] == '\r') && s[i] != e) ++i;
            }
            chopLimit = out.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipSpaces();
                chopLimit = out.size();
            }
        } else if (c == ',' && !inQuotes) {
            return std::nullopt;
        } else {
            std::size_t j = i + 1;
            while (j < s.size() && s[j] != '\\' && s[j] != '"' && s[j] != ',') ++j;
            out.bytes(s.substr(i, j - i));
            i = j;
        }
    }
    if (!quoted) out.chopTrailingSpaces(chopLimit);
    return out.text();
}

IniValue valueOf(std::string_view raw) {
    const IniValue notText{false, std::string(raw)};
    const std::optional<std::string> text = unescapeValue(raw);
    if (!text) return notText;
    const std::string& s = *text;
    if (startsWith(s, "@")) {
        if (s.back() == ')') {
            for (std::string_view binary :
                 {"@ByteArray(", "@Variant(", "@DateTime(", "@Rect(", "@Size(", "@Point("}) {
                if (startsWith(s, binary)) return notText;
            }
            if (s == "@Invalid()") return notText;
            if (startsWith(s, "@String(")) return {true, s.substr(8, s.size() - 9)};
        }
        if (startsWith(s, "@@")) return {true, s.substr(1)};
    }
    return {true, s};
}

// --- Writing -----------------------------------------------------------------------------

constexpr char kHexUpper[] = "0123456789ABCDEF";

std::string escapeKey(std::string_view key) {
    std::string out;
    const auto escapeUnit = [&](char32_t u) {
        if (u <= 0xFF) {
            out += '%';
            out += kHexUpper[u >> 4];
            out += kHexUpper[u & 0xF];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4) out += kHexUpper[(u >> shift) & 0xF];
        }
    };
    for (std::size_t i = 0; i < key.size();) {
        const char32_t cp = nextCodePoint(key, i);
        if (cp == '/') {
            out += '\\';
        } else if ((cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z') ||
                   (cp >= '0' && cp <= '9') || cp == '_' || cp == '-' || cp == '.') {
            out += static_cast<char>(cp);
        } else if (cp > 0xFFFF) {
            escapeUnit(0xD800 + ((cp - 0x10000) >> 10));
            escapeUnit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            escapeUnit(cp);
        }
    }
    return out;
}

std::string hexLower(char32_t value) {
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789abcdef"[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return digits;
}

std::string escapeText(std::string_view text) {
    // '@' starts the forms of other types, so a text that starts with it is marked.
    // Built by appending: GCC 12 at -O3 warns falsely about the overlap in "x" + string&&.
    std::string s;
    if (text.find('\0') != std::string_view::npos)
        s.append("@String(").append(text).append(")");
    else if (startsWith(text, "@"))
        s.append("@").append(text);
    else
        s.assign(text);

    std::string out;
    bool needsQuotes = false;
    bool escapeNextIfHex = false;  // so that a digit after "\0" or "\x1" is not read as part of it
    for (std::size_t i = 0; i < s.size();) {
        const char32_t cp = nextCodePoint(s, i);
        if (cp == ';' || cp == ',' || cp == '=') needsQuotes = true;
        if (escapeNextIfHex && cp < 0x80 && hexValue(char(cp)) >= 0) {
            out += "\\x" + hexLower(cp);
            continue;
        }
        escapeNextIfHex = false;
        if (cp == '\0') {
            out += "\\0";
            escapeNextIfHex = true;
        } else if (cp == '"' || cp == '\\') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp < 0x20) {
            const auto named =
                std::find_if(kEscapes.begin(), kEscapes.begin() + kControlEscapes,
                             [&](const auto& e) { return char32_t(e.second) == cp; });
            if (named != kEscapes.begin() + kControlEscapes) {
                out += '\\';
                out += named->first;
            } else {
                out += "\\x" + hexLower(cp);
                escapeNextIfHex = true;
            }
        } else {
            appendUtf8(out, cp);
        }
    }
    if (needsQuotes || (!out.empty() && (out.front() == ' ' || out.back() == ' ')))
        out = '"' + out + '"';
    return out;
}

// The file text of a value that is not a text, unchanged, except where it ran to the end of
// the file inside quotes or with a backslash before a line break or before nothing: such a
// value is closed, so that it cannot take the following line into it.
std::string closedRaw(std::string_view raw) {
    bool inQuotes = false;
    std::size_t continuations = std::string_view::npos;  // where the line breaks at the end begin
    for (std::size_t i = 0; i < raw.size();) {
        const std::size_t at = i;
        const char c = raw[i++];
        bool lineBreak = false;
        if (c == '\\') {
            const char escaped = i < raw.size() ? raw[i++] : '\n';
            if (i < raw.size() &&
                ((escaped == '\n' && raw[i] == '\r') || (escaped == '\r' && raw[i] == '\n')))
                ++i;
            lineBreak = escaped == '\n' || escaped == '\r';
        } else if (c == '"') {
            inQuotes = !inQuotes;
        }
        if (!lineBreak)
            continuations = std::string_view::npos;
        else if (continuations == std::string_view::npos)
            continuations = at;
    }
    std::string out(raw.substr(0, std::min(continuations, raw.size())));
    if (inQuotes) out += '"';
    return out;
}

std::string sectionHeader(std::string_view name) {
    const std::string escaped = escapeKey(name);
    if (equalsIgnoringAsciiCase(escaped, "general")) return "[%" + escaped + "]";
    return "[" + escaped + "]";
}

}  // namespace

std::vector<IniEntry> parseIni(std::string_view file) {
    if (startsWith(file, "\xEF\xBB\xBF")) file.remove_prefix(3);
    std::vector<IniEntry> entries;
    std::string section;  // "name/", empty for the general section
    std::size_t pos = 0;
    Line line;
    while (nextLine(file, pos, line)) {
        const std::string_view text = file.substr(line.start, line.length);
        if (text.front() == '[') {
            const std::size_t close = std::min(text.find(']'), text.size());
            const std::string_view name = trimmed(text.substr(1, close - 1));
            if (equalsIgnoringAsciiCase(name, "general"))
                section.clear();
            else if (equalsIgnoringAsciiCase(name, "%general"))
                section = std::string(name.substr(1)) + "/";
            else
                section = unescapeKey(name) + "/";
            continue;
        }
        if (line.equals == std::string_view::npos) continue;
        const std::size_t equals = line.equals - line.start;
        entries.push_back({section + unescapeKey(trimmed(text.substr(0, equals))),
                           valueOf(text.substr(equals + 1))});
    }
    return entries;
}

std::string formatIni(const std::vector<IniEntry>& entries) {
    // A path without '/' belongs to the general section; "/key" to the section named "".
    struct Section {
        std::string header;
        std::string body;
    };
    std::vector<Section> sections;
    std::map<std::string, std::size_t> indexOf;
    for (const IniEntry& entry : entries) {
        const std::size_t slash = entry.path.find('/');
        const bool general = slash == std::string::npos;
        const std::string name = general ? std::string() : entry.path.substr(0, slash);
        const std::string id = general ? std::string() : "/" + name;
        auto found = indexOf.find(id);
        if (found == indexOf.end()) {
            found = indexOf.emplace(id, sections.size()).first;
            sections.push_back({general ? "[General]" : sectionHeader(name), {}});
        }
        std::string key = escapeKey(general ? entry.path : entry.path.substr(slash + 1));
        if (!key.empty() && key.back() == '\\') key += ' ';  // the '=' must not be escaped
        std::string& body = sections[found->second].body;
        body += key + '=';
        body += entry.value.isText ? escapeText(entry.value.data) : closedRaw(entry.value.data);
        body += '\n';
    }
    // The general section goes first, where Qt puts it too.
    std::stable_partition(sections.begin(), sections.end(),
                          [](const Section& s) { return s.header == "[General]"; });
    std::string file;
    for (const Section& section : sections) {
        if (!file.empty()) file += '\n';
        file += section.header + '\n' + section.body;
    }
    return file;
}

}  // namespace qr

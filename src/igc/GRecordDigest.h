#pragma once
// The digest a G record signs: SHA-1 over the lines of an .igc file that carry flight data.
// Lines that a person may edit after signing (optional "HO" headers, L comments) and the
// G record itself stay out of it.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "igc/Sha1Hash.h"

namespace qr {

using TGRecordDigest = std::array<std::uint8_t, 20>;

// What a CR that is not followed by LF means.
enum class TLoneCr {
    Dropped,   // signing: the CR is left out of the line
    EndsLine,  // checking: files whose line ends were turned into CR alone still read as lines
};

// The lines of a file's bytes. LF and CR LF end a line and are not part of it; text after the
// last line end is one more line.
std::vector<std::string> ReadIgcLines(std::string_view bytes, TLoneCr loneCr = TLoneCr::Dropped);

// False for lines beginning with "G", "HO" or "L", except that "L   Valdorine..." counts.
bool EntersGRecordDigest(std::string_view line);

// SHA-1 over every line that enters the digest, each followed by one LF; by default with the
// fastest SHA-1 engine of this processor.
TGRecordDigest GRecordDigest(const std::vector<std::string>& lines);
TGRecordDigest GRecordDigest(const std::vector<std::string>& lines, TSha1Engine engine);

}  // namespace qr

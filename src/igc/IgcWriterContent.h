#pragma once
// The bytes of an IGC file, composed from the chosen track before anything touches the disk.
#include <span>
#include <string>

#include "common/DateTime.h"
#include "igc/IgcWriterRequest.h"

namespace qr {

struct IgcContent {
    std::string bytes;            // every line ended with CR LF
    bool needsSignature = false;  // the track carried no G line: the signer appends one
    TDateTime trackStart = 0.0;   // start of the chosen track, for the file name
};

// The number of the line that opens track index + 1 (the (index + 1)-th line that begins
// with "AXVN"), searched in lines 1 to lineCount; 0 when the buffer has no such track.
int findTrackALine(std::span<const std::string> lines, int lineCount, int index);

// Composes the file: the first A record, the line after the track's A line, the kept "HF"
// run, the "HO" lines for what the logger did not supply, the line after the run, the body
// (without "SendTrk" lines, with an L title and date pair in front of each "G" line) and,
// for a track without a G line, the closing L title and German date line. Reads no line
// past the line count. Throws EIgcWriteError when no track is chosen or it does not exist.
IgcContent composeIgcContent(const IgcWriteRequest& request);

// The formats used when the request brings none: "08.07.2026" and "14:03:09".
std::string defaultShortDate(TDateTime value);
std::string defaultLongTime(TDateTime value);

}  // namespace qr

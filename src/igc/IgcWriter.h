#pragma once
// The IGC file writer: the chosen track of a download as a new, complete .igc file.
#include <string>

#include "igc/IgcWriterRequest.h"

namespace qr {

// Writes the chosen track as a new file in the save directory under its IGC short name and,
// for a track without a G line of its own, has the signer append the G record. Returns the
// full path (save directory and name).
//
// The file is composed under a hidden temporary name in the save directory and gets its
// final name only when it is complete, signed and on the disk; an existing file is never
// replaced or appended to (a name taken meanwhile moves on to the next flight number).
// On any failure no file is left behind.
//
// Throws EIgcWriteError when no track is chosen, the track is not in the buffer or all 31
// names of the day and pilot ID are taken; EInOutError for a failing file operation (e.g.
// "Dateizugriff verweigert", "Zu wenig Speicherplatz"), also for a pilot ID that would
// leave the directory; whatever the signer throws.
std::string writeIgcFile(const IgcWriteRequest& request);

}  // namespace qr

#pragma once
// The barogram as a PNG file, for the command line (no Qt in this interface).
#include <string>
#include <vector>

#include "flight/Fix.h"

namespace qr::flight {

// Writes the barogram of the fixes to path as a PNG of the barogram's size times scale
// (800 × 400 pixels at the default 2). The file is complete or not there at all, and a file
// that is there already is left as it is (an error). Without a
// QGuiApplication the drawing makes one of its own on the offscreen platform; a
// QCoreApplication that is not one cannot draw text, which is then an error. False with a
// German message in error for a track without fixes or a file that cannot be written.
bool writeBarogramPng(const std::vector<Fix>& fixes, const std::string& path, std::string& error,
                      int scale = 2);

}  // namespace qr::flight

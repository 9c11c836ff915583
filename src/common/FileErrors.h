#pragma once
// The file layer's I/O errors: one mapping from errno for every file the program writes.
#include <string>

namespace qr {

// The file layer's code for an errno value (2, 3, 4, 5, 101), or 0 when the table has none.
int fileLayerCode(int err);

// "Datei nicht gefunden", "Dateizugriff verweigert", ..., or "E/A-Fehler <code>".
std::string fileLayerText(int code);

// The message for an errno value: the table's text, or "E/A-Fehler <errno>".
std::string fileErrorText(int err);

// Throws EInOutError for an errno value (its code: the table's, or the errno).
[[noreturn]] void throwFileError(int err);

}  // namespace qr

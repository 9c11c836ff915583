#pragma once
#include <QString>

namespace qr {

// Where the main window sends the user for information about the program: the README as
// installed next to the program (share/doc/quendarix-reader), else the one of the source
// tree the program was built from, as a file address. The project has no web page.
QString informationAddress();

// The same choice for a given program folder and source README, for tests.
QString informationAddress(const QString& programFolder, const QString& sourceReadme);

}  // namespace qr

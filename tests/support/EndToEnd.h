#pragma once
// Shared by the end-to-end tests that run the real windows against the logger simulator.
#include <QByteArray>
#include <chrono>

namespace qr::test {

// Qt's painting hands work to pool threads whose glib event dispatchers pass memory between
// threads in ways ThreadSanitizer cannot follow (glib is not instrumented). Qt's own Unix
// dispatcher keeps those reports away; it is set before the test's QApplication exists.
inline const bool kWithoutGlib = qputenv("QT_NO_GLIB", "1");

// How long a run may take before it counts as hung: generous, for sanitizers and a busy
// machine.
constexpr std::chrono::seconds kEndToEndDeadline{120};

}  // namespace qr::test

#pragma once
// How a command of the command line ends: its exit status, and the failures that choose it.
#include <stdexcept>

namespace qr::cli {

enum ExitStatus : int {
    kDone = 0,
    kLoggerFailed = 1,  // no answer, the port cannot be opened, hang-up
    kRefused = 2,       // usage, or values refused
    kFileFailed = 3,    // a file could not be written or read
};

// A wrong command line: unknown option or command, missing or bad argument.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Values the command refuses (an implausible header, delete without --yes).
class RefusedError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The logger or its port failed.
class LoggerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace qr::cli

#pragma once
// The values of the settings group "Zelmor", which the main window and the logger settings
// dialog keep: each name with its default and its range, in one table.
#include <climits>

namespace qr::zelmor {

inline constexpr const char* kSubkey = "Zelmor";

struct Value {
    const char* name;
    const char* defaultText;  // the text read when the value is missing
    int minimum;              // the range a number is kept in (texts: unused)
    int maximum;
    int outOfRange;  // what a stored number outside the range becomes (where the reader says)
};

// The main window.
inline constexpr Value kTest{"Test", "0", INT_MIN, INT_MAX, 0};  // non-zero: show line errors
inline constexpr Value kComPort{"COM Port", "1", 1, 20, 1};      // the number of "COM n"
inline constexpr Value kComSpeed{"COM Speed", "0", 0, 5, 4};     // download speed index
// The logger settings dialog (the owner settings it sends).
inline constexpr Value kPilot{"setPLT", "not set", 0, 0, 0};
inline constexpr Value kGliderType{"setGTY", "not set", 0, 0, 0};
inline constexpr Value kGliderId{"setGID", "not set", 0, 0, 0};
inline constexpr Value kReserve{"setRES", "not set", 0, 0, 0};
inline constexpr Value kMinInterval{"setINT", "5", 1, 60, 1};  // seconds
inline constexpr Value kPowerDown{"setPWD", "33", 1, 255, 1};  // steps of 30 s
inline constexpr Value kLcd{"setLCD", "FALSE", 0, 0, 0};       // "TRUE" or "FALSE"

inline constexpr const Value* kAll[] = {&kTest,       &kComPort,  &kComSpeed, &kPilot,
                                        &kGliderType, &kGliderId, &kReserve,  &kMinInterval,
                                        &kPowerDown,  &kLcd};

// The numeric default of a number value.
constexpr int defaultNumber(const Value& value) {
    int n = 0;
    for (const char* c = value.defaultText; *c; ++c) n = n * 10 + (*c - '0');
    return n;
}

// A stored number kept in the value's range: outside it, the value's outOfRange.
constexpr int inRange(const Value& value, int number) {
    return number < value.minimum || number > value.maximum ? value.outOfRange : number;
}

}  // namespace qr::zelmor

#pragma once
// A small track memory for end-to-end runs against the simulator: three flights, the first
// longer than the other two together, so that a fault in the middle of the memory falls into
// it. Small enough for a single write on the line.
#include <cstdio>
#include <string>

namespace qr::test {

// One flight: its A record, date, pilot and fixes one second apart.
inline std::string smallFlight(int number, const char* date, int fixes) {
    char a[16];
    std::snprintf(a, sizeof a, "AQVD%03d\r\n", number);
    std::string out = std::string(a) + "HFDTE" + date + "\r\nHFPLTPILOT:Zora Quendel\r\n";
    for (int i = 0; i < fixes; ++i) {
        char b[48];
        std::snprintf(b, sizeof b, "B10%02d%02d4807123N01131234EA0050000600\r\n", i / 60, i % 60);
        out += b;
    }
    return out;
}

inline std::string smallMemory() {
    return smallFlight(1, "010826", 40) + smallFlight(2, "020826", 10) +
           smallFlight(3, "030826", 12);
}

}  // namespace qr::test

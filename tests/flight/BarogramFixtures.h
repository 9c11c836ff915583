#pragma once
// A small flight for the barogram tests: standing still, climbing, gliding, landed.
#include <cstdio>
#include <string>
#include <vector>

#include "flight/Fix.h"

namespace qr::flight {

// 10 minutes on the ground, an hour in the air up to 1500 m and down, 10 minutes landed;
// a fix every 10 s, moving north 200 thousandths of a minute (370 m) per fix in the air.
inline std::vector<Fix> sampleFlight() {
    std::vector<std::string> lines;
    int north = 0;
    for (int t = 0; t <= 80 * 60; t += 10) {
        const bool flying = t > 600 && t <= 70 * 60;
        if (flying) north += 200;
        const int altitude = !flying       ? (t <= 600 ? 1000 : 500)
                             : t < 40 * 60 ? 1000 + (t - 600) * 500 / 1800
                                           : 1500 - (t - 2400) * 1000 / 1800;
        char line[64];
        std::snprintf(line, sizeof line, "B%02d%02d%02d47%05dN01100000EA%05d%05d", 12 + t / 3600,
                      t / 60 % 60, t % 60, north, altitude, altitude + 20);
        lines.push_back(line);
    }
    return fixesOf(lines);
}

}  // namespace qr::flight

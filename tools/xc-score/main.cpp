// qvd-xc-score FILE.igc… [--rules XContest|FFVL] [--max-time S] [--geojson FILE]
// Scores each flight and prints one tab-separated row per file: file, rules, type, km,
// points, proven optimal (yes/no), milliseconds.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "flight/Fix.h"
#include "xc/Score.h"

namespace {

int usage() {
    std::cerr << "usage: qvd-xc-score FILE.igc... [--rules XContest|FFVL] [--max-time S] "
                 "[--geojson FILE] [--whole-log]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const qr::xc::Rules* rules = &qr::xc::xcontestRules();
    qr::xc::ScoreOptions options;
    std::string geojsonPath;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rules" && i + 1 < argc) {
            rules = qr::xc::rulesNamed(argv[++i]);
            if (!rules) {
                std::cerr << "unknown rules " << argv[i] << " (XContest or FFVL)\n";
                return 2;
            }
        } else if (arg == "--max-time" && i + 1 < argc) {
            char* end = nullptr;
            const double seconds = std::strtod(argv[++i], &end);
            if (!end || *end || seconds <= 0) return usage();
            options.maxTimeSeconds = seconds;
        } else if (arg == "--geojson" && i + 1 < argc) {
            geojsonPath = argv[++i];
        } else if (arg == "--whole-log") {
            options.detectFlight = false;
        } else if (!arg.empty() && arg[0] == '-') {
            return usage();
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) return usage();
    int status = 0;
    std::string geojson;
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::cerr << file << ": cannot be read\n";
            status = 1;
            continue;
        }
        std::ostringstream read;
        read << in.rdbuf();
        const std::string text = std::move(read).str();
        const auto fixes = qr::flight::fixesOfIgcText(text);
        const auto result = qr::xc::score(fixes, *rules, options);
        std::cout << qr::xc::scoreRow(file, result) << '\n';
        if (geojson.empty()) geojson = qr::xc::geoJson(result);
    }
    if (!geojsonPath.empty()) {
        std::ofstream out(geojsonPath, std::ios::binary);
        out << geojson;
        if (!out) {
            std::cerr << geojsonPath << ": cannot be written\n";
            status = 1;
        }
    }
    return status;
}

// The solution of a score as GeoJSON, for a map. The texts are built by appending (optimised
// GCC 12 builds warn falsely on chains of string additions).
#include <cstdio>
#include <string>

#include "xc/Score.h"

namespace qr::xc {
namespace {

void number(std::string& out, double value, const char* format = "%.7f") {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    out += text;
}

void quoted(std::string& out, const std::string& text) {
    out += '"';
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
}

void coordinates(std::string& out, const ScoredFix& f) {
    out += '[';
    number(out, f.longitude);
    out += ',';
    number(out, f.latitude);
    out += ']';
}

void opening(std::string& out, const std::string& id) {
    if (out.back() != '[') out += ",\n";
    out += "{\"type\":\"Feature\",\"id\":";
    quoted(out, id);
    out += ",\"properties\":{\"id\":";
    quoted(out, id);
}

void point(std::string& out, const std::string& id, const ScoredFix& f) {
    opening(out, id);
    out += ",\"r\":";
    out += std::to_string(f.index);
    out += ",\"time\":";
    out += std::to_string(f.time);
    out += "},\"geometry\":{\"type\":\"Point\",\"coordinates\":";
    coordinates(out, f);
    out += "}}";
}

void line(std::string& out, const std::string& id, const ScoredFix& a, const ScoredFix& b,
          double km) {
    opening(out, id);
    out += ",\"d\":";
    number(out, km, "%.2f");
    out += "},\"geometry\":{\"type\":\"LineString\",\"coordinates\":[";
    coordinates(out, a);
    out += ',';
    coordinates(out, b);
    out += "]}}";
}

void property(std::string& out, const char* name, double value) {
    out += ",\"";
    out += name;
    out += "\":";
    number(out, value, "%.2f");
}

}  // namespace

std::string geoJson(const ScoreResult& r) {
    std::string out = "{\"type\":\"FeatureCollection\",\"properties\":{\"rules\":";
    quoted(out, r.rules);
    out += ",\"type\":";
    quoted(out, r.type);
    out += ",\"code\":";
    quoted(out, r.code);
    property(out, "multiplier", r.multiplier);
    property(out, "distance", r.distanceKm);
    property(out, "score", r.points);
    property(out, "penalty", r.penaltyKm);
    out += ",\"optimal\":";
    out += r.optimal ? "true" : "false";
    out += "},\"features\":[";
    for (std::size_t i = 0; i < r.turnpoints.size(); ++i)
        point(out, "tp" + std::to_string(i), r.turnpoints[i]);
    if (r.start && r.finish) {
        point(out, "ep_start", *r.start);
        point(out, "ep_finish", *r.finish);
        std::vector<ScoredFix> path{*r.start};
        path.insert(path.end(), r.turnpoints.begin(), r.turnpoints.end());
        path.push_back(*r.finish);
        for (std::size_t i = 0; i + 1 < path.size() && i < r.legsKm.size(); ++i)
            line(out, "leg" + std::to_string(i), path[i], path[i + 1], r.legsKm[i]);
    } else if (r.turnpoints.size() == 3) {
        for (std::size_t i = 0; i < 3 && i < r.legsKm.size(); ++i)
            line(out, "leg" + std::to_string(i), r.turnpoints[i], r.turnpoints[(i + 1) % 3],
                 r.legsKm[i]);
    }
    if (r.closingIn && r.closingOut) {
        point(out, "cp_in", *r.closingIn);
        point(out, "cp_out", *r.closingOut);
        line(out, "closing", *r.closingIn, *r.closingOut, r.closingKm);
    }
    if (r.launch) point(out, "launch", *r.launch);
    if (r.landing) point(out, "landing", *r.landing);
    out += "]}\n";
    return out;
}

}  // namespace qr::xc

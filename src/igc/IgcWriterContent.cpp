#include "igc/IgcWriterContent.h"

#include <algorithm>
#include <cstdio>

#include "common/DayNames.h"
#include "common/Text.h"

namespace qr {

namespace {

constexpr std::string_view kLinePrefix = "LXVN   ";

int usableLineCount(std::span<const std::string> lines, int lineCount) {
    const auto available = static_cast<long long>(lines.size());
    return static_cast<int>(std::clamp<long long>(lineCount, 0, available));
}

// The header records the logger may supply; a kept one makes its "HO" line unnecessary.
struct HeaderFlags {
    bool plt = false, gty = false, gid = false, sit = false, dtm = false, cid = false, ccl = false;
};

class Composer {
public:
    explicit Composer(const IgcWriteRequest& request) : request_(request) {}

    void line(std::string_view text) {
        out_.bytes.append(text);
        out_.bytes.append("\r\n");
    }

    void titleLine() { line(std::string(kLinePrefix) + request_.applicationTitle); }

    // Reads the clock once, so weekday, date and time always belong to the same moment.
    void dateLine(bool german) {
        const TDateTime now = request_.clock ? request_.clock() : Now();
        const std::string date =
            request_.shortDate ? request_.shortDate(now) : defaultShortDate(now);
        const std::string time = request_.longTime ? request_.longTime(now) : defaultLongTime(now);
        line(std::string(kLinePrefix) + (german ? GermanDayName(now) : EnglishDayName(now)) + date +
             "  " + time);
    }

    // One header record of the run: written or dropped, and its flag set when kept.
    void headerRecord(const std::string& text, HeaderFlags& flags) {
        struct Named {
            std::string_view prefix;
            bool HeaderFlags::*flag;
            bool fromLoggerOnly;  // kept only when the names come from the logger
        };
        static constexpr Named kNamed[] = {
            {"HFPLT", &HeaderFlags::plt, true},  {"HFGID", &HeaderFlags::gid, true},
            {"HFGTY", &HeaderFlags::gty, true},  {"HFSIT", &HeaderFlags::sit, false},
            {"HFDTM", &HeaderFlags::dtm, false}, {"HFCID", &HeaderFlags::cid, false},
            {"HFCCL", &HeaderFlags::ccl, false},
        };
        for (const Named& named : kNamed) {
            if (!startsWith(text, named.prefix)) continue;
            if (named.fromLoggerOnly && !request_.namesFromLogger) return;
            flags.*named.flag = true;
            break;
        }
        line(text);
    }

    void optionalHeaderLines(const HeaderFlags& flags) {
        const IgcHeaderValues& h = request_.header;
        if (!flags.plt) line("HOPLTPILOT: " + h.pilotName);
        if (!flags.gty) line("HOGTYGLIDERTYPE: " + h.gliderType);
        if (!flags.gid) line("HOGIDGLIDERID: " + h.gliderId);
        if (!flags.cid) line("HOCIDCOMPETITIONID: " + h.competitionId);
        if (!flags.dtm) line("HODTM100GPSDATUM: WGS-84");
        if (!flags.ccl) line("HOCCLCOMPETITION CLASS: " + h.competitionClass);
        if (!flags.sit) line("HOSITSite: " + h.site);
    }

    IgcContent take() { return std::move(out_); }
    IgcContent& content() { return out_; }

private:
    const IgcWriteRequest& request_;
    IgcContent out_;
};

}  // namespace

int findTrackALine(std::span<const std::string> lines, int lineCount, int index) {
    if (index < 0) return 0;
    const int n = usableLineCount(lines, lineCount);
    long long seen = 0;
    for (int k = 1; k <= n; ++k) {
        if (startsWith(lines[static_cast<std::size_t>(k - 1)], "AXVN") && ++seen == index + 1LL)
            return k;
    }
    return 0;
}

IgcContent composeIgcContent(const IgcWriteRequest& request) {
    if (request.chosenIndex < 0) throw EIgcWriteError("Es ist kein Track ausgewählt.");
    const int n = usableLineCount(request.lines, request.lineCount);
    const int a = findTrackALine(request.lines, n, request.chosenIndex);
    if (a == 0) {
        throw EIgcWriteError("Track " + std::to_string(request.chosenIndex + 1LL) +
                             " ist im gelesenen Speicher nicht vorhanden.");
    }
    auto lineAt = [&](int k) -> const std::string& {
        return request.lines[static_cast<std::size_t>(k - 1)];
    };

    Composer out(request);
    std::size_t estimate = request.firstARecord.size() + 512;
    for (int k = a + 1; k <= n && !startsWith(lineAt(k), "AXVN"); ++k)
        estimate += lineAt(k).size() + 2;
    out.content().bytes.reserve(estimate);
    const auto index = static_cast<std::size_t>(request.chosenIndex);
    out.content().trackStart =
        index < request.trackStarts.size() ? request.trackStarts[index] : 0.0;

    bool gSeen = false;
    out.line(request.firstARecord);
    // Each step below needs a further line; where the buffer ends, the copy ends and the
    // closing lines follow.
    if (a + 1 <= n) {
        out.line(lineAt(a + 1));  // normally "HFDTE", written whatever it holds

        HeaderFlags flags;
        int b = a + 2;
        for (; b <= n && startsWith(lineAt(b), "HF"); ++b) out.headerRecord(lineAt(b), flags);
        out.optionalHeaderLines(flags);

        if (b <= n) {
            out.line(lineAt(b));
            // The body runs to the next track's A line (not written) or to the last line.
            for (int c = b; !contains(lineAt(c), "AXVN") && c < n;) {
                ++c;
                const std::string& text = lineAt(c);
                if (startsWith(text, "G")) {
                    gSeen = true;
                    out.titleLine();
                    out.dateLine(/*german=*/false);
                }
                if (!startsWith(text, "AXVN") && !contains(text, "SendTrk")) out.line(text);
            }
        }
    }

    if (!gSeen) {
        out.titleLine();
        out.dateLine(/*german=*/true);
    }
    IgcContent content = out.take();
    content.needsSignature = !gSeen;
    return content;
}

std::string defaultShortDate(TDateTime value) {
    const CivilDate d = DecodeDate(value);
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", d.day, d.month, d.year);
    return text;
}

std::string defaultLongTime(TDateTime value) {
    const TimeOfDay t = DecodeTime(value);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return text;
}

}  // namespace qr

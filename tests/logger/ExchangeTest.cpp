#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Errors.h"
#include "logger/Evaluation.h"
#include "logger/Exchange.h"
#include "logger/LoggerCommands.h"
#include "logger/MemoAppender.h"

namespace qr {
namespace {

struct Recorder : EvaluationObserver {
    std::vector<int> percents;
    std::vector<std::string> shown;
    int gliderIds = 0;
    int lastLine = 0;
    void lineTaken(int n, int percent) override {
        EXPECT_EQ(n, lastLine + 1);
        lastLine = n;
        percents.push_back(percent);
    }
    void showLine(std::string_view line) override { shown.emplace_back(line); }
    void gliderIdFound() override { ++gliderIds; }
};

std::vector<std::string> validLines(const LineBuffer& lines) {
    return {lines.lines().begin(), lines.lines().begin() + lines.count()};
}

TEST(StatusEvaluation, SplitsAtCrLf) {
    const struct {
        const char* answer;
        std::vector<std::string> lines;
        const char* left;  // what stays in the receive buffer
    } cases[] = {
        {"A\r\nB\r\n", {"A", "B"}, ""},
        // An empty line is not a line of its own: its CR LF leads the next line.
        {"A\r\n\r\nB\r\n", {"A", "\r\nB"}, ""},
        {"\r\nA\r\n", {"", "A"}, ""},  // only the first line can be empty
        {"A\r\nB", {"A"}, "B"},
        {"A\r\nB\r", {"A"}, "B\r"},  // a CR at the very end ends no line
        {"A\r\n\r\n", {"A"}, "\r\n"},
        {"A\rB\nC\r\n", {"A\rB\nC"}, ""},
        {"no end", {}, "no end"},
    };
    for (const auto& c : cases) {
        std::string buffer = c.answer;
        LineBuffer lines;
        int dataflashUsed = 7;
        Recorder recorder;
        EXPECT_EQ(evaluateStatus(buffer, lines, dataflashUsed, recorder),
                  static_cast<int>(c.lines.size()))
            << c.answer;
        EXPECT_EQ(validLines(lines), c.lines) << c.answer;
        EXPECT_EQ(recorder.shown, c.lines) << c.answer;
        EXPECT_EQ(buffer, c.left) << c.answer;
        EXPECT_EQ(dataflashUsed, 7);
    }
}

TEST(StatusEvaluation, ProgressIsTheShareConsumed) {
    std::string buffer = "A\r\nB\r\nCC";  // 8 bytes: 5 left after A, 2 after B
    LineBuffer lines;
    int dataflashUsed = 0;
    Recorder recorder;
    evaluateStatus(buffer, lines, dataflashUsed, recorder);
    EXPECT_EQ(recorder.percents, (std::vector<int>{38, 75}));  // 37.5 rounds up
}

TEST(StatusEvaluation, DataflashUsedAndGliderId) {
    const struct {
        const char* line;
        int dataflashUsed;  // -1: conversion error
        const char* error;
        int gliderIds;
    } cases[] = {
        {"DATAFLASH USED: 00000123", 123, "", 0},
        {"dataflash used: 00004711", 4711, "", 0},
        {"Dataflash Used: 00000042 of 4096", 42, "", 0},  // characters 17 to 24 only
        {"DATAFLASH USED: 0123 KB", -1, "'0123 KB' ist kein gültiger Integerwert", 0},
        {"DATAFLASH USED", -1, "'' ist kein gültiger Integerwert", 0},
        {"GliderID: D-1234", 0, "", 1},
        {"GLIDER ID: D-1234", 0, "", 0},
    };
    for (const auto& c : cases) {
        std::string buffer = std::string("FIRST\r\n") + c.line + "\r\nLAST\r\n";
        LineBuffer lines;
        lines.store(1, "old");
        lines.setCount(1);
        int dataflashUsed = 0;
        Recorder recorder;
        if (c.dataflashUsed >= 0) {
            EXPECT_EQ(evaluateStatus(buffer, lines, dataflashUsed, recorder), 3) << c.line;
            EXPECT_EQ(dataflashUsed, c.dataflashUsed) << c.line;
        } else {
            try {
                evaluateStatus(buffer, lines, dataflashUsed, recorder);
                ADD_FAILURE() << "no conversion error for " << c.line;
            } catch (const EConvertError& e) {
                EXPECT_STREQ(e.what(), c.error);
            }
            // The failing line is stored but neither counted nor shown, and it stays in
            // the receive buffer; the line before it is gone from there.
            EXPECT_EQ(lines.count(), 1);
            EXPECT_EQ(lines.stored(), 2);
            EXPECT_EQ(lines.line(2), c.line);
            EXPECT_EQ(recorder.shown, std::vector<std::string>{"FIRST"});
            EXPECT_EQ(buffer, std::string(c.line) + "\r\nLAST\r\n");
            EXPECT_EQ(dataflashUsed, 0);
        }
        EXPECT_EQ(recorder.gliderIds, c.gliderIds) << c.line;
    }
}

// A download of exactly `bytes` bytes: an H record, then B records (the last one padded).
std::string downloadOf(std::size_t bytes) {
    std::string memory = "HFDTE080126\r\n";
    const std::string record = "B1015004807123N01131456EA0050000600\r\n";
    while (memory.size() + 2 * record.size() <= bytes) memory += record;
    memory += "B";
    memory += std::string(bytes - memory.size() - 2, '9');
    memory += "\r\n";
    return memory;
}

TEST(DownloadEvaluation, DecimationGrowsWithEvery12500Bytes) {
    const struct {
        std::size_t bytes;
        int k;
    } cases[] = {{0, 1}, {2 * 12500 - 1, 1}, {2 * 12500, 2}, {4 * 12500 + 12499, 4}};
    for (const auto& c : cases) EXPECT_EQ(displayDecimation(c.bytes), c.k) << c.bytes;

    for (const std::size_t bytes : {std::size_t{2 * 12500 - 1}, std::size_t{2 * 12500}}) {
        const std::string memory = downloadOf(bytes);
        ASSERT_EQ(memory.size(), bytes);
        LineBuffer lines;
        Recorder recorder;
        const int n = evaluateDownload(memory, lines, recorder);
        ASSERT_EQ(lines.count(), n);
        const auto all = validLines(lines);
        if (bytes < 2 * 12500) {
            EXPECT_EQ(recorder.shown, all);
        } else {
            // The H record, then every second B record counted from it.
            std::vector<std::string> expected{all[0]};
            for (int i = 2; i < n; i += 2) expected.push_back(all[i]);
            EXPECT_EQ(recorder.shown, expected);
        }
    }
}

TEST(DownloadEvaluation, EveryLineNotAB_RecordIsShown) {
    std::string memory;
    for (int i = 0; i < 3000; ++i) memory += i % 7 == 0 ? "LXVN note\r\n" : "B123456\r\n";
    ASSERT_GE(displayDecimation(memory.size()), 2);
    LineBuffer lines;
    Recorder recorder;
    evaluateDownload(memory, lines, recorder);
    const int k = displayDecimation(memory.size());
    int since = 0;
    std::vector<std::string> expected;
    for (const auto& line : validLines(lines)) {
        ++since;
        if (line[0] != 'B' || since == k) {
            expected.push_back(line);
            since = 0;
        }
    }
    EXPECT_EQ(recorder.shown, expected);
    EXPECT_EQ(std::count(recorder.shown.begin(), recorder.shown.end(), "LXVN note"), 429);
}

TEST(DownloadEvaluation, SplitsAndRewritesA_Records) {
    const std::string memory =
        "AQVD123\r\nAXQVabc\r\n\r\nHFPLTPILOT: AQVD inside\r\nAQV\r\naqvd1\r\nAXVN 001\r\nrest";
    LineBuffer lines;
    Recorder recorder;
    EXPECT_EQ(evaluateDownload(memory, lines, recorder), 7);
    EXPECT_EQ(validLines(lines),
              (std::vector<std::string>{"AXVN 123", "AXVN abc", "", "HFPLTPILOT: AQVD inside",
                                        "AQV", "aqvd1", "AXVN 001"}));
    // Progress: the CR of each line (counted from 1) as a share of the answer.
    EXPECT_EQ(recorder.percents.front(), 8 * 100 / static_cast<int>(memory.size()));
}

TEST(DownloadEvaluation, KeepsEveryLineOfALongMemory) {
    std::string memory;
    for (int i = 0; i < 40000; ++i) memory += "B" + std::to_string(i) + "\r\n";
    Exchange exchange;
    exchange.setDownloadMode();
    exchange.receive(memory);
    NullEvaluationObserver none;
    const auto result = exchange.evaluate(none);
    EXPECT_EQ(result.lineCount, 40000);
    EXPECT_EQ(exchange.lineBuffer().line(40000), "B39999");
    EXPECT_EQ(exchange.receiveBuffer(), memory);  // download mode leaves it unchanged

    // A shorter answer later: only its lines count, older ones stay behind them.
    exchange.prepareCommand();
    exchange.receive("OK\r\n");
    EXPECT_EQ(exchange.evaluate(none).lineCount, 1);
    EXPECT_EQ(exchange.lineBuffer().count(), 1);
    EXPECT_EQ(exchange.lineBuffer().line(1), "OK");
    EXPECT_EQ(exchange.lineBuffer().line(2), "B1");
    EXPECT_EQ(exchange.receiveBuffer(), "");
}

TEST(DownloadEvaluation, TrackSplitOfferedFrom16Lines) {
    for (const int count : {15, 16}) {
        std::string memory;
        for (int i = 0; i < count; ++i) memory += "B1\r\n";
        LineBuffer lines;
        NullEvaluationObserver none;
        const int n = evaluateDownload(memory, lines, none);
        EXPECT_EQ(n, count);
        EXPECT_EQ(n >= kTrackSplitMinimumLines, count == 16);
    }
}

TEST(DownloadProgress, ReckonsWith623BytesPerUnit) {
    EXPECT_EQ(downloadProgress(50 * 623, 100), 50);
    EXPECT_EQ(downloadProgress(50 * 623 - 1, 100), 49);
    EXPECT_EQ(downloadProgress(100 * 623, 100), 100);
    EXPECT_EQ(downloadProgress(300 * 623, 100), 300);
    EXPECT_EQ(downloadProgress(5000, 0), 0);
    EXPECT_EQ(downloadProgress(std::size_t{1} << 40, 2147483647), 82);  // no overflow
}

TEST(Commands, SentencesAndSpeeds) {
    EXPECT_EQ(downloadCommand(4), "$PQVD,IGC,4\r\n");
    EXPECT_EQ(downloadCommand(-1), "$PQVD,IGC,-1\r\n");  // no speed chosen
    EXPECT_EQ(downloadBaud(-1), std::nullopt);
    EXPECT_EQ(downloadBaud(6), std::nullopt);
    EXPECT_EQ(downloadBaud(0), 4800);
    EXPECT_EQ(downloadBaud(5), 115200);
}

TEST(MemoAppender, EmptiesAFullMemoWithANote) {
    MemoAppender memo(20, 5);  // the memo holds 5 characters already
    memo.add("0123456789");    // 16
    EXPECT_FALSE(memo.clearFirst());
    EXPECT_EQ(memo.text(), "0123456789\n");
    memo.flushed();
    memo.add("abc");  // 20: still fits
    EXPECT_FALSE(memo.clearFirst());
    memo.add("d");  // 22 would not
    EXPECT_TRUE(memo.clearFirst());
    EXPECT_EQ(memo.text(), "Fenster gel\xF6scht\nd\n");
    memo.flushed();
    EXPECT_TRUE(memo.empty());
    memo.add("e");  // 19 + 2 > 20
    EXPECT_TRUE(memo.clearFirst());
    EXPECT_EQ(memo.text(), "Fenster gel\xF6scht\ne\n");
}

}  // namespace
}  // namespace qr

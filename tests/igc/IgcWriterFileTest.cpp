#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "common/CompleteFile.h"
#include "common/Errors.h"
#include "common/Text.h"
#include "igc/IgcFileName.h"
#include "igc/IgcWriter.h"
#include "igc/IgcWriterContent.h"
#include "igc/IgcWriterTestSupport.h"

namespace qr {
namespace {

using test::FakeSigner;
using test::loadMemory;
using test::readBytes;
using test::requestFor;
using test::TempSaveDir;

class IgcWriterFiles : public ::testing::Test {
protected:
    IgcWriteRequest request(int index, bool namesFromLogger = true) {
        IgcWriteRequest r = requestFor(memory_, index, namesFromLogger);
        r.header.saveDirectory = dir_.path();
        r.signer = std::ref(signer_);
        return r;
    }

    // The text of what writeIgcFile throws, or "" when it returns.
    static std::string failureOf(const IgcWriteRequest& r) {
        try {
            writeIgcFile(r);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "";
    }

    std::vector<std::string> memory_ = loadMemory();
    TempSaveDir dir_;
    FakeSigner signer_;
};

// Runs `body` in a child process (for a changed user or resource limit) and returns the
// text it reports.
std::string inChild(const std::function<std::string()>& body) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return "pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::string report;
        try {
            report = body();
        } catch (const std::exception& e) {
            report = std::string("unexpected: ") + e.what();
        }
        [[maybe_unused]] auto written = ::write(pipeFds[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string report;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return report;
}

TEST_F(IgcWriterFiles, WritesTheSignedFileUnderItsShortName) {
    const mode_t oldMask = ::umask(022);
    const std::string path = writeIgcFile(request(0));
    ::umask(oldMask);

    EXPECT_EQ(path, dir_.path() + "678BrDi1.igc");
    EXPECT_EQ(dir_.names(), std::vector<std::string>{"678BrDi1.igc"});
    EXPECT_EQ(readBytes(path), composeIgcContent(request(0)).bytes + FakeSigner::kLines);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);  // like any new file, not private to the owner

    // The signer worked on the hidden temporary file in the same directory.
    ASSERT_EQ(signer_.calls.size(), 1u);
    EXPECT_TRUE(startsWith(signer_.calls[0], dir_.path() + ".678BrDi1.igc."));
    EXPECT_NE(::access(signer_.calls[0].c_str(), F_OK), 0);
}

TEST_F(IgcWriterFiles, TrackWithItsOwnGLineIsNotSigned) {
    const std::string path = writeIgcFile(request(2));
    EXPECT_EQ(path, dir_.path() + "679BrDi1.igc");
    EXPECT_TRUE(signer_.calls.empty());
    EXPECT_EQ(readBytes(path), composeIgcContent(request(2)).bytes);
}

TEST_F(IgcWriterFiles, EmptyTrackIsNamedAfter30December1899) {
    EXPECT_EQ(writeIgcFile(request(3)), dir_.path() + "9CUBrDi1.igc");
}

TEST_F(IgcWriterFiles, TakesTheFirstFreeFlightNumberAndNeverTouchesAnExistingFile) {
    auto flights = [](std::string numbers) {
        return [numbers](const TempSaveDir& dir) {
            for (char n : numbers) dir.touch(std::string("678BrDi") + n + ".igc", {n});
        };
    };
    const struct {
        const char* what;
        std::function<void(const TempSaveDir&)> setUp;
        const char* expected;
    } cases[] = {
        {"1 to 9 taken", flights("123456789"), "678BrDiA.igc"},
        {"a gap", flights("124"), "678BrDi3.igc"},
        {"a directory of that name",
         [](const TempSaveDir& dir) { ::mkdir((dir.path() + "678BrDi1.igc").c_str(), 0755); },
         "678BrDi2.igc"},
        {"a dangling link of that name",
         [](const TempSaveDir& dir) {
             [[maybe_unused]] int rc = ::symlink("nowhere", (dir.path() + "678BrDi1.igc").c_str());
         },
         "678BrDi2.igc"},
        {"another day and another pilot ID",
         [](const TempSaveDir& dir) { dir.touch("677BrDi1.igc"), dir.touch("678brdi1.igc"); },
         "678BrDi1.igc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempSaveDir dir;
        c.setUp(dir);
        const auto before = dir.names();
        IgcWriteRequest r = request(0);
        r.header.saveDirectory = dir.path();
        EXPECT_EQ(writeIgcFile(r), dir.path() + c.expected);
        auto after = dir.names();
        std::erase(after, c.expected);
        EXPECT_EQ(after, before);
    }
    // Existing flights keep their contents.
    TempSaveDir dir;
    flights("12")(dir);
    IgcWriteRequest r = request(0);
    r.header.saveDirectory = dir.path();
    writeIgcFile(r);
    EXPECT_EQ(readBytes(dir.path() + "678BrDi1.igc"), "1");
    EXPECT_EQ(readBytes(dir.path() + "678BrDi2.igc"), "2");
}

TEST_F(IgcWriterFiles, AllThirtyOneNamesTakenIsRefusedWithoutAFile) {
    for (char c : kFlightNumberAlphabet) dir_.touch(std::string("678BrDi") + c + ".igc");
    const auto before = dir_.names();
    EXPECT_EQ(failureOf(request(0)),
              "Alle 31 Dateinamen dieses Tages sind vergeben: 678BrDi1.igc bis 678BrDiV.igc");
    EXPECT_EQ(dir_.names(), before);
    EXPECT_TRUE(signer_.calls.empty());
}

TEST_F(IgcWriterFiles, NameTakenWhileSigningMovesOnToTheNextNumber) {
    const struct {
        const char* what;
        bool othersTaken;  // 2 to 31 exist already
        const char* outcome;
    } cases[] = {
        {"a free name follows", false, "678BrDi2.igc"},
        {"none follows", true,
         "Alle 31 Dateinamen dieses Tages sind vergeben: 678BrDi1.igc bis 678BrDiV.igc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempSaveDir dir;
        if (c.othersTaken)
            for (char n : kFlightNumberAlphabet.substr(1))
                dir.touch(std::string("678BrDi") + n + ".igc");
        IgcWriteRequest r = request(0);
        r.header.saveDirectory = dir.path();
        r.signer = [&](const std::string& path) {
            dir.touch("678BrDi1.igc", "rival");  // another program takes the name meanwhile
            signer_(path);
        };
        const std::string failure = failureOf(r);
        if (c.othersTaken) {
            EXPECT_EQ(failure, c.outcome);
            EXPECT_EQ(dir.names().size(), 31u);  // no temporary file left
        } else {
            EXPECT_EQ(failure, "");
            EXPECT_EQ(readBytes(dir.path() + c.outcome),
                      composeIgcContent(r).bytes + FakeSigner::kLines);
        }
        EXPECT_EQ(readBytes(dir.path() + "678BrDi1.igc"), "rival");
    }
}

TEST_F(IgcWriterFiles, FailingSignerLeavesNoFile) {
    IgcWriteRequest r = request(1);
    r.signer = [](const std::string& path) {
        std::ofstream(path, std::ios::app) << "GValdorine half";
        throw EInOutError(101, "Zu wenig Speicherplatz");
    };
    EXPECT_EQ(failureOf(r), "Zu wenig Speicherplatz");
    EXPECT_TRUE(dir_.names().empty());
}

TEST_F(IgcWriterFiles, UnusableSaveDirectoryGivesTheFileLayerError) {
    dir_.touch("plain-file");
    const struct {
        const char* what;
        std::string directory;
        const char* text;
        int code;
    } cases[] = {
        {"through a regular file", dir_.path() + "plain-file/", "Ungültiger Dateiname", 3},
        {"missing", dir_.path() + "missing/", "Datei nicht gefunden", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        IgcWriteRequest r = request(0);
        r.header.saveDirectory = c.directory;
        try {
            writeIgcFile(r);
            ADD_FAILURE() << "written";
        } catch (const EInOutError& e) {
            EXPECT_STREQ(e.what(), c.text);
            EXPECT_EQ(e.code(), c.code);
        }
    }
    EXPECT_EQ(dir_.names(), std::vector<std::string>{"plain-file"});
}

TEST_F(IgcWriterFiles, PilotIdThatLeavesTheDirectoryIsRefused) {
    IgcWriteRequest r = request(0);
    r.header.pilotId = "../x";
    EXPECT_EQ(failureOf(r), "Ungültiger Dateiname");
    EXPECT_TRUE(dir_.names().empty());
}

TEST_F(IgcWriterFiles, DirectoryWithoutWriteRightIsRefused) {
    ASSERT_EQ(::chmod(dir_.path().c_str(), 0555), 0);
    const IgcWriteRequest r = request(0);
    // Root may write anywhere: the write then runs as an ordinary user.
    const std::string report = inChild([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return std::string("cannot drop root");
        return failureOf(r);
    });
    if (report == "cannot drop root") GTEST_SKIP() << "cannot run as an ordinary user here";
    EXPECT_EQ(report, "Dateizugriff verweigert");
    EXPECT_TRUE(dir_.names().empty());
}

TEST_F(IgcWriterFiles, FullDiskStopsTheWriteAndLeavesNoFile) {
    const IgcWriteRequest r = request(0);
    const std::string report = inChild([&] {
        // A file size limit makes the write fail as on a full disk (EFBIG).
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        return failureOf(r);
    });
    EXPECT_EQ(report, "Zu wenig Speicherplatz");
    EXPECT_TRUE(dir_.names().empty());
    EXPECT_TRUE(signer_.calls.empty());
}

TEST(CompleteFileHandle, WriteErrorsGoThroughTheFileLayer) {
    FileHandle full(::open("/dev/full", O_WRONLY | O_CLOEXEC));
    ASSERT_TRUE(full.isOpen());
    try {
        full.write("B1015005206343N00006198WA0058700558\r\n");
        ADD_FAILURE() << "write to a full device succeeded";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), "Zu wenig Speicherplatz");
        EXPECT_EQ(e.code(), 101);
    }
    FileHandle closed;
    EXPECT_THROW(closed.write("x"), EInOutError);
    EXPECT_THROW(FileHandle::openForReading("/nonexistent/x.igc"), EInOutError);
}

}  // namespace
}  // namespace qr

// The serial port component against real pseudo-terminals: the test plays the far end on
// the master side; tcgetattr on the master shows what the component set on its side.
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/resource.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QThread>
#include <atomic>

#include "app/AppContext.h"
#include "app/QuendarixApplication.h"
#include "serial/ComDevice.h"
#include "serial/LineSpeed.h"
#include "serial/TComPort.h"
#include "support/FakePrompts.h"
#include "support/PtyPair.h"
#include "support/TempConfig.h"

using namespace std::chrono_literals;
using qr::test::pumpFor;
using qr::test::pumpUntil;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace qr {
namespace {

bool onGuiThread() {
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

// The shortest of three runs: a pause the code makes shows in every run, a stall of the
// machine hardly in all three.
template <typename F>
std::chrono::milliseconds shortestOfThree(F f) {
    auto best = std::chrono::milliseconds::max();
    for (int i = 0; i < 3; ++i) {
        const auto begin = std::chrono::steady_clock::now();
        f();
        best = std::min(best, std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now() - begin));
    }
    return best;
}

std::string exceptionText(const std::function<void()>& f) {
    try {
        f();
    } catch (const EComPortError& e) {
        return e.what();
    }
    return "(no EComPortError)";
}

class ComPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        pty.registerAs(7);
        port.setPortNum(7);
        port.setBaudrate(TComBaudrate::br4800);
    }
    std::string display() const { return "COM7 (" + pty.slavePath() + ")"; }

    test::TempConfig config;
    test::PtyPair pty;
    TComPort port;
};

TEST(ComPortDefaults, AreThoseOfTheComponent) {
    TComPort port;
    EXPECT_EQ(port.Baudrate(), TComBaudrate::br1200);
    EXPECT_EQ(port.UserBaudrate(), 0);
    EXPECT_EQ(port.Parity(), TComParity::paNone);
    EXPECT_EQ(port.Databits(), TComDatabits::db8);
    EXPECT_EQ(port.Stopbits(), TComStopbits::sb1);
    EXPECT_TRUE(port.Options().empty());
    EXPECT_EQ(port.PortNum(), 0);
    EXPECT_EQ(port.DeviceName(), "COM%d");
    EXPECT_EQ(port.EventMask(), EV_RXCHAR | EV_ERR);  // ceTxEmpty is the write thread's
    EXPECT_EQ(port.EventPriority(), TThreadPriority::tpNormal);
    EXPECT_EQ(port.WritePriority(), TThreadPriority::tpHighest);
    EXPECT_FALSE(port.AutoOpen());
    EXPECT_FALSE(port.DirectWrite());
    EXPECT_TRUE(port.UpdateDCB());
    EXPECT_EQ(port.Version(), "1.0.0.0");
    EXPECT_FALSE(port.IsOpen());
    auto& b = port.Buffers();
    EXPECT_EQ(std::vector<int>({b.ReadSize(), b.WriteSize(), b.ReadTimeout(), b.WriteTimeout(),
                                b.XonLimit(), b.XoffLimit()}),
              std::vector<int>({4096, 2048, 1000, 1000, 1024, 1024}));
    auto& f = port.FlowControl();
    EXPECT_FALSE(f.OutCtsFlow() || f.OutDsrFlow() || f.XonXoffOut() || f.XonXoffIn() ||
                 f.DsrSensitivity() || f.TxContinueOnXoff());
    EXPECT_EQ(f.ControlDtr(), TComDtrControl::dtrDisabled);
    EXPECT_EQ(f.ControlRts(), TComRtsControl::rtsDisabled);
    auto& c = port.EventChars();
    EXPECT_EQ(std::string({c.XonChar(), c.XoffChar(), c.ErrorChar(), c.EventChar(), c.EofChar()}),
              std::string("\x11\x13\0\0\0", 5));
    EXPECT_EQ(baudrateValue(TComBaudrate::br56000), 56000);
    EXPECT_EQ(baudrateValue(TComBaudrate::br256000), 256000);
}

TEST(ComPortNames, ResolveThroughThePortsGroupOrTheDefaultTable) {
    test::TempConfig config;
    struct Case {
        std::string name, path;
    } cases[] = {{"COM1", "/dev/ttyUSB0"},
                 {"COM4", "/dev/ttyUSB3"},
                 {"COM5", "/dev/ttyACM0"},
                 {"COM8", "/dev/ttyACM3"},
                 {"COM9", "/dev/ttyS0"},
                 {"COM20", "/dev/ttyS11"},
                 {"COM0", ""},
                 {"COM21", ""},
                 {"LPT1", ""},
                 {"/dev/ttyX9", "/dev/ttyX9"}};
    for (const auto& c : cases) EXPECT_EQ(resolveDevicePath(c.name), c.path) << c.name;
    SettingsStore store;
    store.writeString("Ports", "COM3", "/dev/rfcomm0");
    EXPECT_EQ(resolveDevicePath("COM3"), "/dev/rfcomm0");
    store.writeString("Ports", "COM3", "/dev/rfcomm1");  // read afresh every time
    EXPECT_EQ(resolveDevicePath("COM3"), "/dev/rfcomm1");
    EXPECT_EQ(formatDeviceName("COM%d", 12), "COM12");
    EXPECT_EQ(formatDeviceName("/dev/ttyUSB%d", 0), "/dev/ttyUSB0");
    EXPECT_EQ(formatDeviceName("100%% COM%d", 3), "100% COM3");
}

TEST(ComPortMessages, PermissionProblemsNameTheGroupOfTheDevice) {
    // A stand-in for a device node that belongs to the group "daemon".
    QTemporaryDir dir;
    const std::string device = dir.path().toStdString() + "/ttyUSB0";
    ::close(::open(device.c_str(), O_CREAT | O_WRONLY, 0660));
    const group* daemon = ::getgrnam("daemon");
    ASSERT_NE(daemon, nullptr);
    ASSERT_EQ(::chown(device.c_str(), static_cast<uid_t>(-1), daemon->gr_gid), 0);
    const std::string text = serial::openError(device, "COM1 (" + device + ")", EACCES).what();
    EXPECT_THAT(text, StartsWith("Can't open specified device COM1 (" + device +
                                 ") (Error 13, Permission denied"));
    EXPECT_THAT(text, HasSubstr("member of the group 'daemon'"));
    // A device that cannot even be looked at: the usual group of serial devices.
    EXPECT_THAT(serial::openError("/nonexistent/ttyUSB0", "COM1", EACCES).what(),
                HasSubstr("group 'dialout'"));
    EXPECT_THAT(serial::openError("/dev/ttyUSB0", "COM1 (/dev/ttyUSB0)", ENOENT).what(),
                ::testing::StrEq("Specified device not found (COM1 (/dev/ttyUSB0))."));
}

TEST_F(ComPortTest, OpenFailuresLeaveThePortClosed) {
    port.setPortNum(0);
    EXPECT_EQ(exceptionText([&] { port.Open(); }), "Specified device not found (COM0).");
    EXPECT_FALSE(port.IsOpen());

    SettingsStore().writeString("Ports", "COM8", "/dev/nonexistent-qr-port");
    port.setPortNum(8);
    EXPECT_EQ(exceptionText([&] { port.Open(); }),
              "Specified device not found (COM8 (/dev/nonexistent-qr-port)).");

    // A line setting the device refuses: the device is released again.
    port.setPortNum(7);
    port.setDatabits(TComDatabits::db4);
    EXPECT_EQ(exceptionText([&] { port.Open(); }), "Error writing dcb (22), Invalid argument");
    EXPECT_FALSE(port.IsOpen());
    port.setDatabits(TComDatabits::db8);
    port.Open();
    EXPECT_TRUE(port.IsOpen());
}

TEST_F(ComPortTest, APortHeldByAnotherOpenerIsRefused) {
    TComPort first;
    first.setPortNum(7);
    first.Open();
    EXPECT_EQ(exceptionText([&] { port.Open(); }),
              "Can't open specified device " + display() + " (Error 16, Device or resource busy)");
    first.Close();
    // Another program that locks the device the same way.
    const int other = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_THAT(exceptionText([&] { port.Open(); }),
                StartsWith("Can't open specified device " + display() + " (Error 16, "));
    ::close(other);
    port.Open();
    EXPECT_TRUE(port.IsOpen());
}

TEST_F(ComPortTest, SomeChangesAreRefusedWhileOpen) {
    port.Open();
    const std::string whileOpen = "Can't perform this operation while port is open";
    EXPECT_EQ(exceptionText([&] { port.Open(); }), whileOpen);
    EXPECT_EQ(exceptionText([&] { port.setPortNum(7); }), whileOpen);
    EXPECT_EQ(exceptionText([&] { port.setPortNum(3); }), whileOpen);
    EXPECT_EQ(exceptionText([&] { port.setDeviceName("TTY%d"); }), whileOpen);
    EXPECT_EQ(exceptionText([&] { port.Buffers().setWriteSize(4096); }), whileOpen);
    EXPECT_EQ(exceptionText([&] { port.setMonitorEvents({TComLineEvent::ceRxChar}); }), whileOpen);
    EXPECT_EQ(port.PortNum(), 7);
    EXPECT_EQ(port.Buffers().WriteSize(), 2048);
    EXPECT_TRUE(port.IsOpen());
}

TEST_F(ComPortTest, CloseOnAClosedPortDoesNotPause) {
    EXPECT_LT(shortestOfThree([&] { port.Close(); }), 300ms);
    port.Open();
    const auto begin = std::chrono::steady_clock::now();
    port.Close();
    EXPECT_GE(std::chrono::steady_clock::now() - begin, 300ms);
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(ComPortTest, ReadTextNeverWaits) {
    EXPECT_EQ(port.ReadText(), "");  // closed
    port.Open();
    EXPECT_LT(shortestOfThree([&] { EXPECT_EQ(port.ReadText(), ""); }), 500ms);
    pty.send(std::string("a\0b", 3));
    ASSERT_TRUE(pumpUntil([&] { return port.InputCount() == 3; }));
    EXPECT_EQ(port.ReadText(), std::string("a\0b", 3));
    EXPECT_EQ(port.ReadText(), "");
}

TEST_F(ComPortTest, WriteTextOnAClosedPortQueuesNothing) {
    EXPECT_FALSE(port.WriteText("$PQVD,ON\r\n"));
    EXPECT_TRUE(port.WriteText(""));
    port.Open();
    EXPECT_TRUE(port.WriteText(""));
    EXPECT_TRUE(port.WriteText("x"));
    EXPECT_EQ(pty.receive(1), "x");
    port.Close();
    EXPECT_FALSE(port.WriteText("y"));
    EXPECT_EQ(pty.receive(1, 300ms), "");
}

TEST_F(ComPortTest, TheWriteBufferHolds2048Bytes) {
    port.Buffers().setWriteTimeout(300);
    port.Open();
    EXPECT_TRUE(port.WriteText(std::string(2048, 'a')));
    EXPECT_EQ(pty.receive(2048), std::string(2048, 'a'));

    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(exceptionText([&] { port.WriteText(std::string(2049, 'b')); }),
              "Output buffer is full. Please check comm status.");
    EXPECT_GE(std::chrono::steady_clock::now() - begin, 300ms);

    // A far end that does not read: the buffer fills up, then WriteText fails; every byte
    // accepted before arrives in order once the far end reads.
    std::string accepted;
    for (int i = 0; i < 1000; ++i) {
        const std::string piece =
            std::to_string(i) + std::string(500, static_cast<char>('A' + i % 26));
        try {
            ASSERT_TRUE(port.WriteText(piece));
        } catch (const EComPortError& e) {
            EXPECT_STREQ(e.what(), "Output buffer is full. Please check comm status.");
            break;
        }
        accepted += piece;
    }
    EXPECT_LT(accepted.size(), 1000u * 500u);
    EXPECT_EQ(pty.receive(accepted.size()), accepted);
}

TEST_F(ComPortTest, ManyWritesArriveInOrder) {
    port.Open();
    std::string all;
    std::string got;
    std::thread reader([&] { got = pty.receive(30890); });
    for (int i = 0; i < 2000; ++i) {
        const std::string line = "$PQVD,SET," + std::to_string(i) + "\r\n";
        all += line;
        ASSERT_TRUE(port.WriteText(line));
    }
    reader.join();
    EXPECT_EQ(got, all);
}

TEST_F(ComPortTest, BaudrateReachesTheDeviceAtOnceOrAtTheNextOpen) {
    auto outputSpeed = [&] { return cfgetospeed(&static_cast<const termios&>(pty.attributes())); };
    port.Open();
    EXPECT_EQ(outputSpeed(), B4800);
    port.setBaudrate(TComBaudrate::br57600);
    EXPECT_EQ(outputSpeed(), B57600);
    port.setBaudrate(TComBaudrate::br14400);  // no standard constant: set by its number
    EXPECT_EQ(serial::lineSpeed(pty.master()), 14400);
    port.Close();
    port.setBaudrate(TComBaudrate::br9600);
    EXPECT_EQ(serial::lineSpeed(pty.master()), 14400);  // closed: the device keeps its speed
    port.Open();
    EXPECT_EQ(outputSpeed(), B9600);
    // The line: raw 8N1, no flow control; changed settings reach the device at once.
    termios t = pty.attributes();
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
    // (A pseudo-terminal takes no parity: that setting cannot be seen here.)
    port.setStopbits(TComStopbits::sb2);
    port.FlowControl().BeginUpdate();
    port.FlowControl().setOutCtsFlow(true);
    port.FlowControl().setXonXoffIn(true);
    EXPECT_EQ(pty.attributes().c_cflag & CRTSCTS, 0u);  // batched until EndUpdate
    port.FlowControl().EndUpdate();
    t = pty.attributes();
    EXPECT_EQ(t.c_cflag & (CSTOPB | CRTSCTS), static_cast<tcflag_t>(CSTOPB | CRTSCTS));
    EXPECT_EQ(t.c_iflag & IXOFF, static_cast<tcflag_t>(IXOFF));
}

TEST_F(ComPortTest, ABrokenSettingKeepsItsValueAndTheDeviceItsSpeed) {
    port.Open();
    port.setUserBaudrate(0);
    EXPECT_EQ(exceptionText([&] { port.setBaudrate(TComBaudrate::brUser); }),
              "Error writing dcb (22), Invalid argument");
    EXPECT_EQ(port.Baudrate(), TComBaudrate::brUser);
    EXPECT_EQ(serial::lineSpeed(pty.master()), 4800);
    EXPECT_TRUE(port.IsOpen());
    port.setUserBaudrate(250000);
    EXPECT_EQ(serial::lineSpeed(pty.master()), 250000);
}

TEST_F(ComPortTest, BytesAHandlerHasReadCauseNoFurtherNotification) {
    int calls = 0;
    std::string got;
    port.OnRxChar = [&](TCustomComPort& sender, int count) {
        ++calls;
        EXPECT_TRUE(onGuiThread());
        EXPECT_GE(count, 1);
        got += sender.ReadText();
        if (calls > 1) return;
        // The handler polls for the rest of the answer itself, as the main window does.
        pty.send("rest");
        const auto end = std::chrono::steady_clock::now() + 5s;
        while (got.size() < 9 && std::chrono::steady_clock::now() < end) {
            got += sender.ReadText();
            std::this_thread::sleep_for(5ms);
        }
    };
    port.Open();
    pty.send("first");
    ASSERT_TRUE(pumpUntil([&] { return calls >= 1; }));
    pumpFor(600ms);
    EXPECT_EQ(got, "firstrest");
    EXPECT_EQ(calls, 1);
}

TEST_F(ComPortTest, TheReceiveThreadWaitsForTheHandler) {
    int depth = 0, maxDepth = 0, calls = 0;
    std::vector<int> counts;
    port.OnRxChar = [&](TCustomComPort& sender, int count) {
        ++calls;
        counts.push_back(count);
        maxDepth = std::max(maxDepth, ++depth);
        EXPECT_TRUE(onGuiThread());
        if (calls == 1) {
            // Lets the event loop run while more bytes arrive: no second notification of
            // this port may come in between.
            pty.send("more");
            pumpFor(400ms);
        } else {
            sender.ReadText();
        }
        --depth;
    };
    port.Open();
    pty.send("x");
    ASSERT_TRUE(pumpUntil([&] { return calls >= 2; }));
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(counts[1], 5);  // "x" and "more": the first handler read nothing
}

TEST_F(ComPortTest, AHandlerExceptionIsReportedAndTheThreadGoesOn) {
    std::vector<std::string> reported;
    TCustomComPort::setExceptionReporter([&](std::exception_ptr e) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& x) {
            reported.push_back(x.what());
        }
    });
    int calls = 0;
    port.OnRxChar = [&](TCustomComPort& sender, int) {
        ++calls;
        sender.ReadText();
        throw std::runtime_error("handler failed");
    };
    port.Open();
    pty.send("a");
    ASSERT_TRUE(pumpUntil([&] { return calls == 1; }));
    pty.send("b");
    EXPECT_TRUE(pumpUntil([&] { return calls == 2; }));
    EXPECT_EQ(reported, std::vector<std::string>({"handler failed", "handler failed"}));
    TCustomComPort::setExceptionReporter(nullptr);
}

TEST_F(ComPortTest, WithoutAReporterAHandlerExceptionGoesToTheApplicationsErrorBox) {
    test::FakePrompts prompts;
    AppContext context(prompts, "title");
    auto* app = dynamic_cast<QuendarixApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    app->setContext(&context);
    port.OnRxChar = [&](TCustomComPort& sender, int) {
        sender.ReadText();
        throw EComPortError("Read error (5), Input/output error");
    };
    port.Open();
    pty.send("a");
    EXPECT_TRUE(pumpUntil([&] { return !prompts.errors.isEmpty(); }));
    EXPECT_EQ(prompts.errors, QStringList{"Read error (5), Input/output error"});
    app->setContext(nullptr);
}

TEST_F(ComPortTest, AHangUpIsReportedOnceAndNothingSpins) {
    std::vector<int> errors;
    port.OnError = [&](TCustomComPort&, int e) {
        EXPECT_TRUE(onGuiThread());
        errors.push_back(e);
    };
    std::string got;
    port.OnRxChar = [&](TCustomComPort& sender, int) { got += sender.ReadText(); };
    port.Open();
    ASSERT_TRUE(port.WriteText("before"));
    EXPECT_EQ(pty.receive(6), "before");
    EXPECT_FALSE(port.HungUp());
    pty.closeMaster();  // the adapter is pulled out
    // The component knows before its report reaches the GUI thread (no event is handled).
    const auto giveUp = std::chrono::steady_clock::now() + 5s;
    while (!port.HungUp() && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(port.HungUp());
    EXPECT_TRUE(errors.empty());
    ASSERT_TRUE(pumpUntil([&] { return !errors.empty(); }));
    EXPECT_EQ(errors, std::vector<int>{CE_IOE});
    EXPECT_TRUE(port.HungUp());

    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    std::this_thread::sleep_for(1s);  // the threads have nothing to do now
    ::getrusage(RUSAGE_SELF, &after);
    const auto cpu = [](const rusage& u) {
        return u.ru_utime.tv_sec + u.ru_stime.tv_sec +
               (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    };
    EXPECT_LT(cpu(after) - cpu(before), 0.5);
    pumpFor(300ms);
    EXPECT_EQ(errors.size(), 1u);

    EXPECT_FALSE(port.WriteText("after"));
    EXPECT_TRUE(port.WriteText(""));
    EXPECT_EQ(port.ReadText(), "");
    EXPECT_TRUE(port.IsOpen());
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.HungUp());
}

TEST_F(ComPortTest, CloseServesAPendingHandOff) {
    bool handled = false;
    bool closeReturned = false;
    port.OnRxChar = [&](TCustomComPort& sender, int count) {
        EXPECT_TRUE(onGuiThread());
        EXPECT_FALSE(closeReturned);
        EXPECT_EQ(sender.ReadText().size(), static_cast<std::size_t>(count));
        handled = true;
    };
    port.Open();
    pty.send("late");
    // The receive thread is soon blocked in its hand-off; the GUI thread does not pump.
    std::this_thread::sleep_for(1s);
    port.Close();
    closeReturned = true;
    EXPECT_TRUE(handled);
    pumpFor(200ms);  // nothing is left queued for the closed port
}

TEST_F(ComPortTest, AHandlerMayCloseItsOwnPort) {
    int calls = 0;
    port.OnRxChar = [&](TCustomComPort& sender, int) {
        ++calls;
        sender.Close();
        EXPECT_EQ(sender.ReadText(), "");
    };
    port.OnError = [&](TCustomComPort&, int) { ADD_FAILURE() << "no error expected"; };
    port.Open();
    pty.send("bye");
    ASSERT_TRUE(pumpUntil([&] { return !port.IsOpen(); }));
    pumpFor(200ms);
    EXPECT_EQ(calls, 1);
    port.Open();  // and it opens again
    EXPECT_TRUE(port.IsOpen());
}

TEST_F(ComPortTest, AHandlerMayDestroyItsOwnPort) {
    auto own = std::make_unique<TComPort>();
    own->setPortNum(7);
    bool handled = false;
    own->OnRxChar = [&](TCustomComPort&, int) {
        handled = true;
        own.reset();
    };
    own->Open();
    pty.send("gone");
    ASSERT_TRUE(pumpUntil([&] { return handled; }));
    EXPECT_EQ(own, nullptr);
    pumpFor(200ms);
}

}  // namespace
}  // namespace qr

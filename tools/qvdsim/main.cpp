// qvdsim: plays the logger on a pseudo-terminal until it is killed or its standard input
// ends. Prints the device path, and enters it as COM<n> into the given settings file.
//
//   qvdsim [--memory FILE] [--settings INI] [--com N] [--fault F] [--no-pacing]
//
// F: none, no-answer, cut-short, stall, hang-up, garbage, no-final-crlf, wrong-speed.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <QString>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>

#include "app/SettingsStore.h"
#include "qvdsim/LoggerSimulator.h"

namespace {

int usage(const char* message) {
    std::cerr << "qvdsim: " << message << "\n"
              << "usage: qvdsim [--memory FILE] [--settings INI] [--com N] [--fault F] "
                 "[--no-pacing]\n"
              << "  F: none, no-answer, cut-short, stall, hang-up, garbage, no-final-crlf, "
                 "wrong-speed\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using qr::sim::Fault;
    static const std::map<std::string, Fault> kFaults = {{"none", Fault::None},
                                                         {"no-answer", Fault::NoAnswer},
                                                         {"cut-short", Fault::CutShort},
                                                         {"stall", Fault::Stall},
                                                         {"hang-up", Fault::HangUp},
                                                         {"garbage", Fault::Garbage},
                                                         {"no-final-crlf", Fault::NoFinalCrLf},
                                                         {"wrong-speed", Fault::WrongSpeed}};

    qr::sim::SimulatorConfig config;
    std::string settingsPath = qr::SettingsStore::defaultPath().toStdString();
    int com = 1;
    Fault fault = Fault::None;
    bool emptyMemory = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--memory" && hasValue) {
            std::ifstream in(argv[++i], std::ios::binary);
            if (!in) return usage("cannot read the memory file");
            std::ostringstream text;
            text << in.rdbuf();
            config.memory = text.str();
            emptyMemory = config.memory.empty();
        } else if (arg == "--settings" && hasValue) {
            settingsPath = argv[++i];
        } else if (arg == "--com" && hasValue) {
            com = std::atoi(argv[++i]);
            if (com < 1) return usage("--com needs a number from 1");
        } else if (arg == "--fault" && hasValue) {
            const auto it = kFaults.find(argv[++i]);
            if (it == kFaults.end()) return usage("unknown fault");
            fault = it->second;
        } else if (arg == "--no-pacing") {
            config.pacing = false;
        } else {
            return usage(("unknown argument " + arg).c_str());
        }
    }

    // Ends on SIGINT/SIGTERM (taken through sigwait) or at the end of standard input.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    qr::sim::LoggerSimulator simulator(config);
    if (emptyMemory) simulator.setMemory({});  // an empty file: a logger without tracks
    simulator.setFault(fault);
    simulator.start();
    simulator.registerAs(settingsPath, com);
    std::cout << simulator.devicePath() << std::endl;

    std::thread input([&] {
        char buf[256];
        while (::read(STDIN_FILENO, buf, sizeof buf) > 0) {
        }
        ::kill(::getpid(), SIGTERM);
    });
    input.detach();
    int received = 0;
    sigwait(&stopSignals, &received);
    simulator.stop();
    return 0;
}

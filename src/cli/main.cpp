// quendarix-cli: the road from the logger to a signed file without a window.
#include <unistd.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>
#include <iostream>
#include <memory>

#include "cli/CliErrors.h"
#include "cli/Commands.h"
#include "common/Errors.h"
#include "igc/IgcWriterRequest.h"
#include "serial/TComPort.h"

#ifndef QR_VERSION
#define QR_VERSION "?"
#endif

namespace {

using namespace qr::cli;

int run(const std::vector<std::string>& args) {
    GlobalOptions options = parseGlobalOptions(args);
    if (options.version) {
        std::cout << "quendarix-cli " QR_VERSION "\n";
        return kDone;
    }
    if (options.command.empty()) {
        if (options.help) {
            std::cout << programHelp();
            return kDone;
        }
        throw UsageError("Kein Befehl angegeben");
    }
    for (const Command& command : commandTable()) {
        if (command.name != options.command) continue;
        std::vector<std::string> commandArgs = options.args;
        if (options.help) commandArgs.insert(commandArgs.begin(), "--help");
        CliContext context(std::move(options), std::cout, std::cerr, ::isatty(STDOUT_FILENO) == 1,
                           ::isatty(STDERR_FILENO) == 1);
        return command.run(context, commandArgs);
    }
    throw UsageError("Unbekannter Befehl: " + options.command);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // Drawing a barogram needs fonts, so a Gui application, on no screen; all else runs on Qt
    // Core alone, also over ssh without a display.
    std::unique_ptr<QCoreApplication> application;
    if (std::find(args.begin(), args.end(), "--barogram") != args.end()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    auto fail = [](const char* text, int status) {
        std::cerr << "quendarix-cli: " << text << '\n';
        return status;
    };
    try {
        return run(args);
    } catch (const UsageError& e) {
        fail(e.what(), kRefused);
        std::cerr << "Hilfe: quendarix-cli --help\n";
        return kRefused;
    } catch (const RefusedError& e) {
        return fail(e.what(), kRefused);
    } catch (const LoggerError& e) {
        return fail(e.what(), kLoggerFailed);
    } catch (const qr::EComPortError& e) {
        return fail(e.what(), kLoggerFailed);
    } catch (const qr::EInOutError& e) {
        return fail(e.what(), kFileFailed);
    } catch (const qr::EIgcWriteError& e) {
        return fail(e.what(), kFileFailed);
    } catch (const qr::ESettingsError& e) {
        return fail(e.what(), kFileFailed);
    } catch (const qr::EConvertError& e) {
        return fail(e.what(), kFileFailed);
    } catch (const std::exception& e) {
        return fail(e.what(), kFileFailed);
    }
}

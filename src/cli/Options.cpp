#include "cli/Options.h"

#include "cli/CliErrors.h"

namespace qr::cli {

namespace {

// Splits "--name=value"; the value is nullopt without '='.
std::pair<std::string, std::optional<std::string>> splitOption(const std::string& arg) {
    const std::size_t eq = arg.find('=');
    if (arg.rfind("--", 0) != 0 || eq == std::string::npos) return {arg, std::nullopt};
    return {arg.substr(0, eq), arg.substr(eq + 1)};
}

std::string takeValue(const std::string& name, std::optional<std::string> inline_,
                      const std::vector<std::string>& args, std::size_t& i) {
    if (inline_) return *inline_;
    if (i + 1 >= args.size()) throw UsageError("Option " + name + " braucht einen Wert");
    return args[++i];
}

}  // namespace

std::optional<int> speedIndexOf(std::string_view bps) {
    for (int i = 0; i < static_cast<int>(std::size(kSpeeds)); ++i)
        if (bps == std::to_string(kSpeeds[i])) return i;
    return std::nullopt;
}

GlobalOptions parseGlobalOptions(const std::vector<std::string>& args) {
    GlobalOptions options;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const auto [name, inlineValue] = splitOption(args[i]);
        if (name.empty() || name.front() != '-') break;
        if (name == "-q" || name == "--quiet") {
            options.quiet = true;
        } else if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--version") {
            options.version = true;
        } else if (name == "--config") {
            options.config = takeValue(name, inlineValue, args, i);
        } else if (name == "--port") {
            options.port = takeValue(name, inlineValue, args, i);
        } else if (name == "--speed") {
            const std::string value = takeValue(name, inlineValue, args, i);
            options.speedIndex = speedIndexOf(value);
            if (!options.speedIndex)
                throw UsageError("Ungültige Geschwindigkeit '" + value +
                                 "' (erlaubt: 4800 9600 19200 38400 57600 115200)");
        } else {
            throw UsageError("Unbekannte Option: " + name);
        }
        if (inlineValue &&
            (name == "-q" || name == "--quiet" || name == "--help" || name == "--version"))
            throw UsageError("Option " + name + " nimmt keinen Wert");
    }
    if (i < args.size()) {
        options.command = args[i];
        options.args.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    }
    return options;
}

std::optional<std::string> CommandArgs::value(const std::string& name) const {
    const auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

CommandArgs parseCommandArgs(const std::string& command, const std::vector<std::string>& args,
                             const std::set<std::string>& valueOptions,
                             const std::set<std::string>& flagOptions) {
    CommandArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg.front() != '-' || arg == "-") {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const auto [name, inlineValue] = splitOption(arg);
        if (name == "--help" || name == "-h") {
            parsed.help = true;
        } else if (valueOptions.count(name)) {
            parsed.values[name] = takeValue(name, inlineValue, args, i);
        } else if (flagOptions.count(name) && !inlineValue) {
            parsed.flags.insert(name);
        } else {
            throw UsageError("Unbekannte Option für '" + command + "': " + arg);
        }
    }
    return parsed;
}

}  // namespace qr::cli

#pragma once
// Runs quendarix-cli as a program, in a folder of its own: settings, archive and home point
// there, so nothing touches the user's files.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace qr::test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

class CliRunner {
public:
    CliRunner() {
        char pattern[] = "/tmp/qr-cli-XXXXXX";
        root_ = ::mkdtemp(pattern);
        std::filesystem::create_directories(root_ + "/out");
    }
    ~CliRunner() { std::filesystem::remove_all(root_); }
    CliRunner(const CliRunner&) = delete;
    CliRunner& operator=(const CliRunner&) = delete;

    const std::string& root() const { return root_; }
    std::string out() const { return root_ + "/out/"; }
    std::string config() const { return root_ + "/config/QuendarixReader/QuendarixReader.ini"; }
    std::string archive() const { return root_ + "/data/QuendarixReader/downloads/"; }

    CliResult run(const std::vector<std::string>& args) const {
        const std::string outPath = root_ + "/.stdout", errPath = root_ + "/.stderr";
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int in = ::open("/dev/null", O_RDONLY);
            ::dup2(out, 1);
            ::dup2(err, 2);
            ::dup2(in, 0);
            ::setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), 1);
            ::setenv("XDG_DATA_HOME", (root_ + "/data").c_str(), 1);
            ::setenv("HOME", root_.c_str(), 1);
            std::vector<char*> argv{const_cast<char*>(QR_CLI)};
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(QR_CLI, argv.data());
            ::_exit(127);
        }
        CliResult result;
        int status = 0;
        ::waitpid(pid, &status, 0);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        result.out = read(outPath);
        result.err = read(errPath);
        return result;
    }

    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The .igc files of the output folder, by name.
    std::vector<std::string> igcFiles() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(out()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string root_;
};

}  // namespace qr::test

#pragma once
// Runs quendarix-cli as a program, in a folder of its own: settings, archive and home point
// there, so nothing touches the user's files.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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
        // Everything the child needs is made before fork: a test may run threads (the
        // simulator), and the child only calls what is safe after fork.
        std::vector<std::string> env{"XDG_CONFIG_HOME=" + root_ + "/config",
                                     "XDG_DATA_HOME=" + root_ + "/data", "HOME=" + root_,
                                     "LANG=C.UTF-8"};
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (!entry.starts_with("XDG_CONFIG_HOME=") && !entry.starts_with("XDG_DATA_HOME=") &&
                !entry.starts_with("HOME=") && !entry.starts_with("LANG="))
                env.push_back(entry);
        }
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        std::vector<std::string> argStore{QR_CLI};
        argStore.insert(argStore.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : argStore) argv.push_back(a.data());
        argv.push_back(nullptr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int in = ::open("/dev/null", O_RDONLY);
            ::dup2(out, 1);
            ::dup2(err, 2);
            ::dup2(in, 0);
            ::execve(QR_CLI, argv.data(), envp.data());
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

#include "support/IgcOracles.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace qr::test {

namespace {

constexpr int kExecFailed = 127;
constexpr int kPackageMissing = 3;

struct Finished {
    int status = -1;  // exit status, -1 when killed
    std::string output;
};

// Runs a program with its arguments (no shell), stdout and stderr captured together.
Finished run(const std::vector<std::string>& argv, const char* nodePath = nullptr) {
    Finished done;
    int fds[2];
    if (::pipe(fds) != 0) return done;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return done;
    }
    if (pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::dup2(fds[1], STDERR_FILENO);
        ::close(fds[0]);
        ::close(fds[1]);
        if (nodePath) ::setenv("NODE_PATH", nodePath, 1);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(kExecFailed);
    }
    ::close(fds[1]);
    char buffer[4096];
    for (ssize_t got; (got = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        done.output.append(buffer, static_cast<std::size_t>(got));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    done.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return done;
}

constexpr const char* kIgcParserScript = R"JS(
let IGCParser;
try { IGCParser = require('igc-parser'); } catch (e) { console.log('igc-parser not installed'); process.exit(3); }
const text = require('fs').readFileSync(process.argv[1], 'latin1');
try {
  const r = IGCParser.parse(text, { parseComments: true });
  console.log(JSON.stringify({ fixes: r.fixes.length, pilot: r.pilot, gliderType: r.gliderType,
    registration: r.registration, callsign: r.callsign, competitionClass: r.competitionClass,
    site: r.site, geoDatum: r.geoDatum, date: r.date, security: r.security,
    comments: r.commentRecords.length }));
} catch (e) { console.log(String(e)); process.exit(1); }
)JS";

constexpr const char* kVerifyScript = R"PY(
import sys
try:
    from cryptography.exceptions import InvalidSignature
    from cryptography.hazmat.primitives import hashes, serialization
    from cryptography.hazmat.primitives.asymmetric import utils
except ImportError:
    print('python3-cryptography not installed'); sys.exit(3)
path, pem = sys.argv[1], sys.argv[2]
pieces = open(path, 'rb').read().split(b'\n')
if pieces and pieces[-1] == b'':
    pieces.pop()
lines = [p.replace(b'\r', b'') for p in pieces]  # a CR without LF is dropped as well
digest = hashes.Hash(hashes.SHA1())
for line in lines:
    if line.startswith((b'G', b'HO', b'L')) and not line.startswith(b'L   Valdorine'):
        continue
    digest.update(line + b'\n')
digest = digest.finalize()
tail = lines[-2:]
if len(tail) != 2 or not all(l.startswith(b'GValdorine ') for l in tail):
    print('the file does not end with two GValdorine lines'); sys.exit(1)
r, s = (int(l[len(b'GValdorine '):].decode('ascii'), 16) for l in tail)
key = serialization.load_pem_public_key(open(pem, 'rb').read())
try:
    key.verify(utils.encode_dss_signature(r, s), digest, utils.Prehashed(hashes.SHA1()))
except InvalidSignature:
    print('signature does not verify, digest', digest.hex().upper()); sys.exit(1)
print('OK', digest.hex().upper())
)PY";

OracleRun judge(const Finished& done, const char* tool, bool quietRequired = false) {
    OracleRun result;
    result.output = done.output;
    if (done.status == kExecFailed || done.status == kPackageMissing) {
        if (result.output.empty()) result.output = std::string(tool) + " not installed";
        return result;
    }
    result.available = true;
    result.accepted = done.status == 0 && (!quietRequired || done.output.empty());
    return result;
}

}  // namespace

OracleRun igcParserRead(const std::string& path) {
    const std::string modules = std::string(QR_TEST_TOOLS_DIR) + "/node_modules";
    if (!std::filesystem::exists(modules + "/igc-parser")) {
        OracleRun missing;
        missing.output = "igc-parser not installed in " + modules;
        return missing;
    }
    return judge(run({"node", "-e", kIgcParserScript, path}, modules.c_str()), "node");
}

OracleRun gpsbabelRead(const std::string& path) {
    return judge(run({"gpsbabel", "-i", "igc", "-f", path, "-o", "gpx", "-F", "/dev/null"}),
                 "gpsbabel", /*quietRequired=*/true);
}

OracleRun grecordVerify(const std::string& path, const std::string& publicKeyPem) {
    return judge(run({"python3", "-c", kVerifyScript, path, publicKeyPem}), "python3");
}

bool oraclesRequired() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

}  // namespace qr::test

// SHA-1, DSA signing and modular exponentiation next to OpenSSL and GMP on the same inputs.
//
// OpenSSL runs as it does on a user's machine (its SHA extension code on where the processor
// has it); with --openssl_sha=off the program starts over with OPENSSL_ia32cap=":~0x20000000",
// which switches that code off, so that SHA-1 is compared with OpenSSL's general x86-64 code.
//
// The machine may be busy with other work, so each comparison runs in rounds: ours, theirs,
// ours, theirs, ... (--rounds, 15 by default), each run at least --benchmark_min_time seconds
// (0.1 by default). A busy
// spell then slows both sides alike; the ratios printed at the end are those of the medians.
#include <benchmark/benchmark.h>
#include <gmp.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>
#include <openssl/sha.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "igc/BigInt.h"
#include "igc/BigIntDsa.h"
#include "igc/GRecordKey.h"
#include "igc/Sha1Hash.h"

namespace {

using namespace qr;

std::string randomBytes(std::size_t size, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

const std::string& input(std::size_t size) {
    static std::map<std::size_t, std::string> inputs;
    auto it = inputs.find(size);
    if (it == inputs.end()) it = inputs.emplace(size, randomBytes(size, size)).first;
    return it->second;
}

void sha1Ours(benchmark::State& state, TSha1Engine engine) {
    const std::string& data = input(static_cast<std::size_t>(state.range(0)));
    std::uint8_t digest[20];
    for (auto _ : state) {
        TSha1 sha(engine);
        sha.Init();
        sha.UpdateStr(data);
        sha.Final(digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void Sha1Ours(benchmark::State& state) {
    sha1Ours(state, Sha1BestEngine());
}

void Sha1OursPortable(benchmark::State& state) {
    sha1Ours(state, TSha1Engine::Portable);
}

void Sha1OpenSsl(benchmark::State& state) {
    const std::string& data = input(static_cast<std::size_t>(state.range(0)));
    unsigned char digest[20];
    for (auto _ : state) {
        SHA1(reinterpret_cast<const unsigned char*>(data.data()), data.size(), digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

// The signer's inputs: the program's key, a digest and 64 values of k below q.
struct DsaInputs {
    TBigInt p = BigFromDecimalText(kGRecordKey.p);
    TBigInt q = BigFromDecimalText(kGRecordKey.q);
    TBigInt g = BigFromDecimalText(kGRecordKey.g);
    TBigInt x = BigFromDecimalText(kGRecordKey.x);
    std::string digest = randomBytes(20, 7);
    std::vector<TBigInt> ks;

    DsaInputs() {
        std::mt19937_64 random(11);
        while (ks.size() < 64) {
            TBigInt k = BigFromByteText(randomBytes(20, random()));
            if (BigCompareMagnitude(k, q) == TBigCompare::Smaller && !k.IsZero()) ks.push_back(k);
        }
    }
};

const DsaInputs& dsaInputs() {
    static const DsaInputs inputs;
    return inputs;
}

void DsaSignOurs(benchmark::State& state) {
    const DsaInputs& in = dsaInputs();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            BigDsaSign(in.p, in.q, in.g, in.x, in.ks[i++ % in.ks.size()], in.digest));
    }
}

template <auto Free>
struct Deleter {
    template <class T>
    void operator()(T* p) const {
        Free(p);
    }
};

std::unique_ptr<BIGNUM, Deleter<BN_free>> toBn(const TBigInt& v) {
    const std::string bytes = BigToByteText(v);
    return std::unique_ptr<BIGNUM, Deleter<BN_free>>(
        BN_bin2bn(reinterpret_cast<const unsigned char*>(bytes.data()),
                  static_cast<int>(bytes.size()), nullptr));
}

// The same key as an OpenSSL private key.
std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY_free>> opensslKey() {
    const DsaInputs& in = dsaInputs();
    const auto p = toBn(in.p), q = toBn(in.q), g = toBn(in.g), x = toBn(in.x);
    const auto y = toBn(BigPowMod(in.g, in.x, in.p));
    std::unique_ptr<OSSL_PARAM_BLD, Deleter<OSSL_PARAM_BLD_free>> build(OSSL_PARAM_BLD_new());
    OSSL_PARAM_BLD_push_BN(build.get(), OSSL_PKEY_PARAM_FFC_P, p.get());
    OSSL_PARAM_BLD_push_BN(build.get(), OSSL_PKEY_PARAM_FFC_Q, q.get());
    OSSL_PARAM_BLD_push_BN(build.get(), OSSL_PKEY_PARAM_FFC_G, g.get());
    OSSL_PARAM_BLD_push_BN(build.get(), OSSL_PKEY_PARAM_PUB_KEY, y.get());
    OSSL_PARAM_BLD_push_BN(build.get(), OSSL_PKEY_PARAM_PRIV_KEY, x.get());
    std::unique_ptr<OSSL_PARAM, Deleter<OSSL_PARAM_free>> params(
        OSSL_PARAM_BLD_to_param(build.get()));
    std::unique_ptr<EVP_PKEY_CTX, Deleter<EVP_PKEY_CTX_free>> ctx(
        EVP_PKEY_CTX_new_from_name(nullptr, "DSA", nullptr));
    EVP_PKEY* key = nullptr;
    if (!ctx || EVP_PKEY_fromdata_init(ctx.get()) != 1 ||
        EVP_PKEY_fromdata(ctx.get(), &key, EVP_PKEY_KEYPAIR, params.get()) != 1) {
        throw std::runtime_error("OpenSSL refuses the DSA key");
    }
    return std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY_free>>(key);
}

void DsaSignOpenSsl(benchmark::State& state) {
    const auto key = opensslKey();
    std::unique_ptr<EVP_PKEY_CTX, Deleter<EVP_PKEY_CTX_free>> ctx(
        EVP_PKEY_CTX_new(key.get(), nullptr));
    if (EVP_PKEY_sign_init(ctx.get()) != 1 ||
        EVP_PKEY_CTX_set_signature_md(ctx.get(), EVP_sha1()) != 1) {
        state.SkipWithError("EVP_PKEY_sign_init failed");
        return;
    }
    const std::string& digest = dsaInputs().digest;
    unsigned char signature[64];
    for (auto _ : state) {
        std::size_t length = sizeof signature;
        if (EVP_PKEY_sign(ctx.get(), signature, &length,
                          reinterpret_cast<const unsigned char*>(digest.data()),
                          digest.size()) != 1) {
            state.SkipWithError("EVP_PKEY_sign failed");
            break;
        }
        benchmark::DoNotOptimize(signature);
    }
}

// g^k mod p, the heart of a signature.
void PowModOurs(benchmark::State& state) {
    const DsaInputs& in = dsaInputs();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BigPowMod(in.g, in.ks[i++ % in.ks.size()], in.p));
    }
}

struct Mpz {
    mpz_t v;
    explicit Mpz(const TBigInt& n) {
        mpz_init(v);
        const std::string bytes = BigToByteText(n);
        mpz_import(v, bytes.size(), 1, 1, 1, 0, bytes.data());
    }
    Mpz(const Mpz&) = delete;
    Mpz& operator=(const Mpz&) = delete;
    ~Mpz() { mpz_clear(v); }
};

void PowModGmp(benchmark::State& state) {
    const DsaInputs& in = dsaInputs();
    const Mpz g(in.g), p(in.p);
    std::vector<std::unique_ptr<Mpz>> ks;
    for (const TBigInt& k : in.ks) ks.push_back(std::make_unique<Mpz>(k));
    mpz_t result;
    mpz_init(result);
    std::size_t i = 0;
    for (auto _ : state) {
        mpz_powm(result, g.v, ks[i++ % ks.size()]->v, p.v);
        benchmark::DoNotOptimize(result);
    }
    mpz_clear(result);
}

// Keeps the CPU time per iteration of every round, for the medians.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration) {
                seconds_[run.benchmark_name()].push_back(run.GetAdjustedCPUTime());
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    double median(const std::string& name) const {
        const auto it = seconds_.find(name);
        if (it == seconds_.end() || it->second.empty()) return 0;
        std::vector<double> v = it->second;
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }

    void printRatio(const char* what, const std::string& ours, const std::string& theirs,
                    const char* goal) const {
        const double a = median(ours), b = median(theirs);
        if (a <= 0 || b <= 0) return;
        std::printf("%-40s %6.2f  (%s)\n", what, b / a, goal);
    }

private:
    std::map<std::string, std::vector<double>> seconds_;
};

// One comparison: the runs that take turns in every round.
struct Comparison {
    std::vector<std::pair<std::string, void (*)(benchmark::State&)>> sides;
    std::int64_t argument = -1;  // the input size for SHA-1, none for the others
    benchmark::TimeUnit unit = benchmark::kNanosecond;
};

void registerRounds(int rounds) {
    const Comparison comparisons[] = {
        {{{"Sha1Ours", Sha1Ours},
          {"Sha1OursPortable", Sha1OursPortable},
          {"Sha1OpenSsl", Sha1OpenSsl}},
         64,
         benchmark::kNanosecond},
        {{{"Sha1Ours", Sha1Ours},
          {"Sha1OursPortable", Sha1OursPortable},
          {"Sha1OpenSsl", Sha1OpenSsl}},
         1 << 20,
         benchmark::kMicrosecond},
        {{{"DsaSignOurs", DsaSignOurs}, {"DsaSignOpenSsl", DsaSignOpenSsl}},
         -1,
         benchmark::kMicrosecond},
        {{{"PowModOurs", PowModOurs}, {"PowModGmp", PowModGmp}}, -1, benchmark::kMicrosecond},
    };
    for (const Comparison& c : comparisons) {
        for (int round = 0; round < rounds; ++round) {
            for (const auto& [name, function] : c.sides) {
                auto* b = benchmark::RegisterBenchmark(name.c_str(), function);
                if (c.argument >= 0) b->Arg(c.argument);
                b->Unit(c.unit);
            }
        }
    }
}

// Takes "--name=value" out of the arguments; nullptr when it is not there.
const char* takeFlag(int& argc, char** argv, std::string_view name) {
    const std::string prefix = "--" + std::string(name) + "=";
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]).starts_with(prefix)) {
            const char* value = argv[i] + prefix.size();
            for (int j = i; j < argc; ++j) argv[j] = argv[j + 1];
            --argc;
            return value;
        }
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    // OpenSSL reads its capability mask when it is loaded: set it and start over once.
    const char* opensslSha = takeFlag(argc, argv, "openssl_sha");
    if (opensslSha && std::string_view(opensslSha) == "off" &&
        std::getenv("OPENSSL_ia32cap") == nullptr) {
        setenv("OPENSSL_ia32cap", ":~0x20000000", 1);
        execv("/proc/self/exe", argv);
        std::perror("execv");
        return 1;
    }
    const char* rounds = takeFlag(argc, argv, "rounds");
    // Short runs by default, so that many rounds fit in a minute.
    std::vector<char*> args(argv, argv + argc);
    std::string minTime = "--benchmark_min_time=0.1";
    if (std::none_of(args.begin(), args.end(), [](const char* a) {
            return std::string_view(a).starts_with("--benchmark_min_time");
        })) {
        args.insert(args.begin() + 1, minTime.data());
    }
    argc = static_cast<int>(args.size());
    args.push_back(nullptr);
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    registerRounds(rounds ? std::max(1, std::atoi(rounds)) : 15);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const char* mask = std::getenv("OPENSSL_ia32cap");
    std::printf("\nSHA-1 engine: %s; OpenSSL: %s\n",
                std::string(Sha1EngineName(Sha1BestEngine())).c_str(),
                mask ? (std::string("OPENSSL_ia32cap=") + mask).c_str() : "as it runs by default");
    std::printf(
        "speed relative to the reference, medians of the rounds (1 = equal, above 1 = ours "
        "faster):\n");
    reporter.printRatio("SHA-1 64 B vs OpenSSL", "Sha1Ours/64", "Sha1OpenSsl/64", "goal >= 1");
    reporter.printRatio("SHA-1 1 MiB vs OpenSSL", "Sha1Ours/1048576", "Sha1OpenSsl/1048576",
                        mask ? "-" : "goal >= 0.9");
    reporter.printRatio("SHA-1 1 MiB, portable, vs OpenSSL", "Sha1OursPortable/1048576",
                        "Sha1OpenSsl/1048576", mask ? "goal >= 0.8" : "-");
    reporter.printRatio("DSA signature vs OpenSSL", "DsaSignOurs", "DsaSignOpenSsl", "goal >= 1");
    reporter.printRatio("g^k mod p vs GMP mpz_powm", "PowModOurs", "PowModGmp", "goal >= 0.8");
    benchmark::Shutdown();
    return 0;
}

// SHA-1, DSA signing and modular exponentiation next to OpenSSL and GMP on the same inputs.
// OpenSSL runs with its SHA extension code switched off (OPENSSL_ia32cap=":~0x20000000"),
// so SHA-1 is compared with its general x86-64 code; the ratios are printed at the end.
#include <benchmark/benchmark.h>
#include <gmp.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>
#include <openssl/sha.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
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

void Sha1Ours(benchmark::State& state) {
    const std::string& data = input(static_cast<std::size_t>(state.range(0)));
    std::uint8_t digest[20];
    for (auto _ : state) {
        TSha1 sha;
        sha.Init();
        sha.UpdateStr(data);
        sha.Final(digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
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

BENCHMARK(Sha1Ours)->Arg(64)->Arg(1 << 20);
BENCHMARK(Sha1OpenSsl)->Arg(64)->Arg(1 << 20);

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

BENCHMARK(DsaSignOurs)->Unit(benchmark::kMicrosecond);
BENCHMARK(DsaSignOpenSsl)->Unit(benchmark::kMicrosecond);

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

BENCHMARK(PowModOurs)->Unit(benchmark::kMicrosecond);
BENCHMARK(PowModGmp)->Unit(benchmark::kMicrosecond);

// Keeps each run's time per iteration, for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration) {
                seconds_[run.benchmark_name()] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatio(const char* what, const std::string& ours, const std::string& theirs,
                    const char* goal) const {
        const auto a = seconds_.find(ours), b = seconds_.find(theirs);
        if (a == seconds_.end() || b == seconds_.end()) return;
        std::printf("%-34s %6.2f  (%s)\n", what, b->second / a->second, goal);
    }

private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    // OpenSSL reads its capability mask when it is loaded: set it and start over once.
    if (std::getenv("OPENSSL_ia32cap") == nullptr) {
        setenv("OPENSSL_ia32cap", ":~0x20000000", 1);
        execv("/proc/self/exe", argv);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf(
        "\nOPENSSL_ia32cap=%s\nspeed of ours relative to the reference (1 = equal, "
        "above 1 = ours faster):\n",
        std::getenv("OPENSSL_ia32cap"));
    reporter.printRatio("SHA-1 64 B vs OpenSSL", "Sha1Ours/64", "Sha1OpenSsl/64", "-");
    reporter.printRatio("SHA-1 1 MiB vs OpenSSL", "Sha1Ours/1048576", "Sha1OpenSsl/1048576",
                        "goal >= 0.8");
    reporter.printRatio("DSA signature vs OpenSSL", "DsaSignOurs", "DsaSignOpenSsl", "goal >= 0.5");
    reporter.printRatio("g^k mod p vs GMP mpz_powm", "PowModOurs", "PowModGmp", "-");
    benchmark::Shutdown();
    return 0;
}

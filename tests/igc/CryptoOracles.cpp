#include "CryptoOracles.h"

#include <openssl/bio.h>
#include <openssl/core_names.h>
#include <openssl/dsa.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/sha.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace qr::test {

namespace {

template <auto Free>
struct Deleter {
    template <class T>
    void operator()(T* p) const {
        Free(p);
    }
};
using Pkey = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY_free>>;
using PkeyCtx = std::unique_ptr<EVP_PKEY_CTX, Deleter<EVP_PKEY_CTX_free>>;
using Bio = std::unique_ptr<BIO, Deleter<BIO_free>>;
using Bn = std::unique_ptr<BIGNUM, Deleter<BN_free>>;
using DsaSig = std::unique_ptr<DSA_SIG, Deleter<DSA_SIG_free>>;

void freeOpensslBytes(unsigned char* p) {
    OPENSSL_free(p);
}

Pkey loadPublicKey(const std::string& pemPath) {
    Bio bio(BIO_new_file(pemPath.c_str(), "r"));
    if (!bio) throw std::runtime_error("cannot open " + pemPath);
    Pkey key(PEM_read_bio_PUBKEY(bio.get(), nullptr, nullptr, nullptr));
    if (!key) throw std::runtime_error("no public key in " + pemPath);
    return key;
}

mpz_class bnParam(const EVP_PKEY* key, const char* name) {
    BIGNUM* raw = nullptr;
    if (EVP_PKEY_get_bn_param(key, name, &raw) != 1) throw std::runtime_error(name);
    Bn bn(raw);
    std::string bytes(static_cast<std::size_t>(BN_num_bytes(bn.get())), '\0');
    BN_bn2bin(bn.get(), reinterpret_cast<unsigned char*>(bytes.data()));
    return MpzFromBytes(bytes.empty() ? std::string(1, '\0') : bytes);
}

BIGNUM* toBn(const mpz_class& v) {
    const std::string bytes = MpzToBytes(v);
    return BN_bin2bn(reinterpret_cast<const unsigned char*>(bytes.data()),
                     static_cast<int>(bytes.size()), nullptr);
}

}  // namespace

Digest OpensslSha1(std::string_view bytes) {
    Digest d{};
    SHA1(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), d.data());
    return d;
}

std::string ToHex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    return hex;
}

TBigInt ToBig(const mpz_class& value) {
    return BigFromDecimalText(value.get_str(10));
}

mpz_class ToMpz(const TBigInt& value) {
    mpz_class m = MpzFromBytes(BigToByteText(value));
    return value.IsNegative() ? mpz_class(-m) : m;
}

mpz_class MpzFromBytes(std::string_view bytes) {
    mpz_class v;
    mpz_import(v.get_mpz_t(), bytes.size(), 1, 1, 1, 0, bytes.data());
    return v;
}

std::string MpzToBytes(const mpz_class& value) {
    std::size_t count = (mpz_sizeinbase(value.get_mpz_t(), 2) + 7) / 8;
    std::string bytes(count == 0 ? 1 : count, '\0');
    if (sgn(value) != 0) mpz_export(bytes.data(), &count, 1, 1, 1, 0, value.get_mpz_t());
    return bytes;
}

DsaPublicKey ReadDsaPublicKey(const std::string& pemPath) {
    const Pkey key = loadPublicKey(pemPath);
    return {bnParam(key.get(), OSSL_PKEY_PARAM_FFC_P), bnParam(key.get(), OSSL_PKEY_PARAM_FFC_Q),
            bnParam(key.get(), OSSL_PKEY_PARAM_FFC_G), bnParam(key.get(), OSSL_PKEY_PARAM_PUB_KEY)};
}

bool OpensslDsaVerify(const std::string& pemPath, const Digest& digest, const mpz_class& r,
                      const mpz_class& s) {
    const Pkey key = loadPublicKey(pemPath);
    DsaSig sig(DSA_SIG_new());
    if (DSA_SIG_set0(sig.get(), toBn(r), toBn(s)) != 1) throw std::runtime_error("DSA_SIG_set0");
    unsigned char* der = nullptr;
    const int derLength = i2d_DSA_SIG(sig.get(), &der);
    if (derLength <= 0) throw std::runtime_error("i2d_DSA_SIG");
    const std::unique_ptr<unsigned char, Deleter<freeOpensslBytes>> derOwner(der);
    PkeyCtx ctx(EVP_PKEY_CTX_new(key.get(), nullptr));
    if (!ctx || EVP_PKEY_verify_init(ctx.get()) != 1 ||
        EVP_PKEY_CTX_set_signature_md(ctx.get(), EVP_sha1()) != 1) {
        throw std::runtime_error("EVP_PKEY_verify_init");
    }
    return EVP_PKEY_verify(ctx.get(), der, static_cast<std::size_t>(derLength), digest.data(),
                           digest.size()) == 1;
}

std::string DataPath(const std::string& name) {
    return std::string(QR_IGC_TEST_DATA) + "/" + name;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace qr::test

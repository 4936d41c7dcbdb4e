#include "SetupSigner.h"

#include <fcntl.h>
#include <openssl/core_names.h>
#include <openssl/ec.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace signer {

namespace {

constexpr std::size_t kCoordinateSize = 32;

struct PkeyFree {
    void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
};
struct MdCtxFree {
    void operator()(EVP_MD_CTX* p) const { EVP_MD_CTX_free(p); }
};
struct BnFree {
    void operator()(BIGNUM* p) const { BN_free(p); }
};
struct SigFree {
    void operator()(ECDSA_SIG* p) const { ECDSA_SIG_free(p); }
};
struct FileClose {
    void operator()(std::FILE* p) const { std::fclose(p); }
};
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;
using MdCtx = std::unique_ptr<EVP_MD_CTX, MdCtxFree>;
using Bn = std::unique_ptr<BIGNUM, BnFree>;
using Sig = std::unique_ptr<ECDSA_SIG, SigFree>;
using File = std::unique_ptr<std::FILE, FileClose>;

// OpenSSL's own reason, for the publisher to read.
std::string OpenSslError(const char* what) {
    const unsigned long code = ERR_get_error();
    char reason[256] = "";
    if (code != 0) {
        ERR_error_string_n(code, reason, sizeof reason);
    }
    ERR_clear_error();
    return code != 0 ? std::string(what) + ": " + reason : what;
}

bool PublicKeyOf(EVP_PKEY* key, updater::SetupKey& publicKey, std::string& error) {
    char group[64] = "";
    std::size_t groupLength = 0;
    if (!EVP_PKEY_is_a(key, "EC") ||
        !EVP_PKEY_get_utf8_string_param(key, OSSL_PKEY_PARAM_GROUP_NAME, group, sizeof group,
                                        &groupLength) ||
        std::strcmp(group, SN_X9_62_prime256v1) != 0) {
        error = "not an ECDSA P-256 key";
        return false;
    }
    BIGNUM* x = nullptr;
    BIGNUM* y = nullptr;
    const bool got = EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_EC_PUB_X, &x) &&
                     EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_EC_PUB_Y, &y);
    const Bn ownX(x), ownY(y);
    if (!got || BN_bn2binpad(x, publicKey.data(), kCoordinateSize) < 0 ||
        BN_bn2binpad(y, publicKey.data() + kCoordinateSize, kCoordinateSize) < 0) {
        error = OpenSslError("cannot read the public key");
        return false;
    }
    return true;
}

Pkey LoadKey(const char* keyPath, std::string& error) {
    const File file(std::fopen(keyPath, "rb"));
    if (!file) {
        error = std::string("cannot open ") + keyPath + ": " + std::strerror(errno);
        return nullptr;
    }
    Pkey key(PEM_read_PrivateKey(file.get(), nullptr, nullptr, nullptr));
    if (!key) {
        error = OpenSslError((std::string("no private key in ") + keyPath).c_str());
    }
    return key;
}

bool HashFile(const char* path, updater::SetupDigest& digest, std::uint64_t& size,
              std::string& error) {
    const File file(std::fopen(path, "rb"));
    if (!file) {
        error = std::string("cannot open ") + path + ": " + std::strerror(errno);
        return false;
    }
    const MdCtx context(EVP_MD_CTX_new());
    if (!context || !EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr)) {
        error = OpenSslError("SHA-256 unavailable");
        return false;
    }
    std::vector<unsigned char> block(1 << 16);
    std::size_t read = 0;
    size = 0;
    while ((read = std::fread(block.data(), 1, block.size(), file.get())) > 0) {
        size += read;
        if (!EVP_DigestUpdate(context.get(), block.data(), read)) {
            error = OpenSslError("SHA-256 failed");
            return false;
        }
    }
    if (std::ferror(file.get())) {
        error = std::string("cannot read ") + path;
        return false;
    }
    unsigned int length = 0;
    if (!EVP_DigestFinal_ex(context.get(), digest.data(), &length) || length != digest.size()) {
        error = OpenSslError("SHA-256 failed");
        return false;
    }
    return true;
}

} // namespace

bool GenerateKeyFile(const char* keyPath, updater::SetupKey& publicKey, std::string& error) {
    const Pkey key(EVP_EC_gen(SN_X9_62_prime256v1));
    if (!key) {
        error = OpenSslError("cannot make a key");
        return false;
    }
    if (!PublicKeyOf(key.get(), publicKey, error)) {
        return false;
    }
    // Never over an existing key: it may be the one the clients hold.
    const int fd = open(keyPath, O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) {
        error = std::string("cannot create ") + keyPath + ": " + std::strerror(errno);
        return false;
    }
    File file(fdopen(fd, "wb"));
    if (!file) {
        close(fd);
        error = std::string("cannot write ") + keyPath;
        return false;
    }
    const bool written =
        PEM_write_PrivateKey(file.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1;
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed) {
        unlink(keyPath);
        error = OpenSslError((std::string("cannot write ") + keyPath).c_str());
        return false;
    }
    return true;
}

bool ReadPublicKey(const char* keyPath, updater::SetupKey& publicKey, std::string& error) {
    const Pkey key = LoadKey(keyPath, error);
    return key && PublicKeyOf(key.get(), publicKey, error);
}

bool SignSetup(const char* keyPath, const char* version, const char* setupPath,
               const std::string& expires, SignedRelease& release, std::string& error) {
    if (!IsSignableVersion(version)) {
        error = std::string("version \"") + (version ? version : "") +
                "\" is not four numbers 0-255 separated by commas, e.g. 1,2,3,5";
        return false;
    }
    std::int64_t expiresAt = 0;
    if (!expires.empty() && !updater::ParseExpiresText(expires.c_str(), expiresAt)) {
        error = "expiry \"" + expires + "\" is not YYYY-MM-DDTHH:MM:SSZ";
        return false;
    }
    const Pkey key = LoadKey(keyPath, error);
    updater::SetupKey publicKey;
    SignedRelease signedRelease;
    std::uint64_t size = 0;
    if (!key || !PublicKeyOf(key.get(), publicKey, error) ||
        !HashFile(setupPath, signedRelease.digest, size, error)) {
        return false;
    }
    // The updater counts a download in 32 bits and takes no empty setup.
    if (size == 0 || size > UINT32_MAX) {
        error = std::string(setupPath) + " is empty or 4 GiB or larger";
        return false;
    }
    signedRelease.size = static_cast<std::uint32_t>(size);
    signedRelease.expires = expires;
    const std::string message = updater::SignedSetupMessage(version, signedRelease.size,
                                                            signedRelease.digest, expires.c_str());
    const MdCtx context(EVP_MD_CTX_new());
    std::size_t length = 0;
    if (!context ||
        EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, key.get()) != 1 ||
        EVP_DigestSign(context.get(), nullptr, &length,
                       reinterpret_cast<const unsigned char*>(message.data()),
                       message.size()) != 1) {
        error = OpenSslError("cannot sign");
        return false;
    }
    std::vector<unsigned char> der(length);
    if (EVP_DigestSign(context.get(), der.data(), &length,
                       reinterpret_cast<const unsigned char*>(message.data()),
                       message.size()) != 1 ||
        !DerSignatureToRaw(der.data(), length, signedRelease.signature)) {
        error = OpenSslError("cannot sign");
        return false;
    }
    release = signedRelease;
    return true;
}

std::string ExpiresAfterDays(long long days, std::int64_t now) {
    if (days < 1 || days > 36500) {
        return "";
    }
    return updater::ExpiresText(now + days * 86400);
}

bool IsSignableVersion(const char* version) {
    if (version == nullptr) {
        return false;
    }
    const char* p = version;
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && *p++ != ',') {
            return false;
        }
        unsigned value = 0;
        int digits = 0;
        for (; *p >= '0' && *p <= '9'; ++p, ++digits) {
            value = value * 10 + unsigned(*p - '0');
            if (value > 255) {
                return false;
            }
        }
        if (digits == 0) {
            return false;
        }
    }
    return *p == '\0';
}

bool DerSignatureToRaw(const unsigned char* der, std::size_t size, updater::SetupSignature& raw) {
    const unsigned char* p = der;
    const Sig sig(d2i_ECDSA_SIG(nullptr, &p, long(size)));
    if (!sig || p != der + size) {
        return false;
    }
    const BIGNUM* r = nullptr;
    const BIGNUM* s = nullptr;
    ECDSA_SIG_get0(sig.get(), &r, &s);
    updater::SetupSignature out;
    if (BN_is_negative(r) || BN_is_negative(s) ||
        BN_bn2binpad(r, out.data(), kCoordinateSize) < 0 ||
        BN_bn2binpad(s, out.data() + kCoordinateSize, kCoordinateSize) < 0) {
        return false;
    }
    raw = out;
    return true;
}

} // namespace signer

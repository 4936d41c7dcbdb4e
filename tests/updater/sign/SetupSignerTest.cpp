// updater-sign's work: the signature's raw form, the versions it signs, and
// a key made, used and checked independently with OpenSSL.
#include "SetupSigner.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

Bytes Repeat(unsigned char byte, std::size_t count) {
    return Bytes(count, byte);
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

TEST(SetupSigner, DerSignaturesBecomeRawPaddedRAndS) {
    // r = 1 (one byte), s = 0x80 0x11... (32 bytes, DER adds a 0x00 in front).
    const Bytes shortR =
        Concat({{0x30, 0x26, 0x02, 0x01, 0x01, 0x02, 0x21, 0x00, 0x80}, Repeat(0x11, 31)});
    const Bytes shortRRaw = Concat({Repeat(0, 31), {0x01, 0x80}, Repeat(0x11, 31)});
    // r of 33 significant bytes does not fit P-256.
    const Bytes longR =
        Concat({{0x30, 0x26, 0x02, 0x21, 0x01}, Repeat(0x22, 32), {0x02, 0x01, 0x01}});
    struct Case {
        const char* label;
        Bytes der;
        bool valid;
        Bytes raw;
    };
    const Case cases[] = {
        {"short r, s with high bit", shortR, true, shortRRaw},
        {"r too long", longR, false, {}},
        {"trailing byte", Concat({shortR, {0x00}}), false, {}},
        {"cut short", Bytes(shortR.begin(), shortR.end() - 1), false, {}},
        {"not DER", Repeat(0x30, 8), false, {}},
        {"empty", {}, false, {}},
    };
    for (const Case& c : cases) {
        updater::SetupSignature raw;
        raw.fill(0x5A);
        EXPECT_EQ(signer::DerSignatureToRaw(c.der.data(), c.der.size(), raw), c.valid) << c.label;
        EXPECT_EQ(Bytes(raw.begin(), raw.end()), c.valid ? c.raw : Repeat(0x5A, 64)) << c.label;
    }
}

TEST(SetupSigner, SignsOnlyVersionsTheUpdaterCompares) {
    const struct {
        const char* version;
        bool signable;
    } cases[] = {
        {"1,2,3,5", true},   {"0,0,0,0", true},    {"255,255,255,255", true}, {"1,2,3,256", false},
        {"1.2.3.5", false},  {"1,2,3", false},     {"1,2,3,5,6", false},      {" 1,2,3,5", false},
        {"1,2,3,5 ", false}, {"1,,3,5", false},    {"1,2,3,5\n", false},      {"", false},
        {"-1,2,3,5", false}, {"1,2,3,5#x", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(signer::IsSignableVersion(c.version), c.signable) << c.version;
    }
    EXPECT_FALSE(signer::IsSignableVersion(nullptr));
}

// Verifies with OpenSSL, apart from the tool: the raw signature back to DER,
// over "<version>\n<lower-case SHA-256 of the file>".
bool OpensslVerifies(const std::string& keyPath, const std::string& message,
                     const updater::SetupSignature& raw) {
    std::FILE* file = std::fopen(keyPath.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    EVP_PKEY* key = PEM_read_PrivateKey(file, nullptr, nullptr, nullptr);
    std::fclose(file);
    ECDSA_SIG* sig = ECDSA_SIG_new();
    ECDSA_SIG_set0(sig, BN_bin2bn(raw.data(), 32, nullptr),
                   BN_bin2bn(raw.data() + 32, 32, nullptr));
    unsigned char* der = nullptr;
    const int derLength = i2d_ECDSA_SIG(sig, &der);
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    const bool verified = key != nullptr && derLength > 0 &&
                          EVP_DigestVerifyInit(context, nullptr, EVP_sha256(), nullptr, key) == 1 &&
                          EVP_DigestVerify(context, der, std::size_t(derLength),
                                           reinterpret_cast<const unsigned char*>(message.data()),
                                           message.size()) == 1;
    EVP_MD_CTX_free(context);
    OPENSSL_free(der);
    ECDSA_SIG_free(sig);
    EVP_PKEY_free(key);
    return verified;
}

TEST(SetupSigner, KeyMadeThenSetupSignedVerifiesForItsVersionOnly) {
    CScratchDir scratch("setup_signer");
    const fs::path& folder = scratch.Path();
    const std::string keyPath = (folder / "publisher.pem").string();
    const std::string setupPath = (folder / "VemliSetup.exe").string();
    {
        std::FILE* setup = std::fopen(setupPath.c_str(), "wb");
        ASSERT_NE(setup, nullptr);
        std::fputs("abc", setup);
        std::fclose(setup);
    }

    updater::SetupKey made, read;
    std::string error;
    ASSERT_TRUE(signer::GenerateKeyFile(keyPath.c_str(), made, error)) << error;
    EXPECT_EQ(fs::status(keyPath).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    updater::SetupKey again;
    EXPECT_FALSE(signer::GenerateKeyFile(keyPath.c_str(), again, error)) << "replaced a key";
    ASSERT_TRUE(signer::ReadPublicKey(keyPath.c_str(), read, error)) << error;
    EXPECT_EQ(made, read);

    signer::SignedRelease release;
    ASSERT_TRUE(
        signer::SignSetup(keyPath.c_str(), "1,2,3,5", setupPath.c_str(), "", release, error))
        << error;
    // SHA-256 of "abc".
    const std::string abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    EXPECT_EQ(updater::HexText(release.digest.data(), release.digest.size()), abc);
    EXPECT_EQ(release.size, 3u);
    EXPECT_TRUE(OpensslVerifies(keyPath, "1,2,3,5\n3\n" + abc + "\n", release.signature));
    EXPECT_FALSE(OpensslVerifies(keyPath, "1,2,3,6\n3\n" + abc + "\n", release.signature));
    EXPECT_FALSE(OpensslVerifies(keyPath, "1,2,3,5\n4\n" + abc + "\n", release.signature));

    const std::string expires = signer::ExpiresAfterDays(30, 1700000000);
    EXPECT_EQ(expires, "2023-12-14T22:13:20Z");
    ASSERT_TRUE(
        signer::SignSetup(keyPath.c_str(), "1,2,3,5", setupPath.c_str(), expires, release, error))
        << error;
    EXPECT_EQ(release.expires, expires);
    EXPECT_TRUE(OpensslVerifies(keyPath, "1,2,3,5\n3\n" + abc + "\n" + expires, release.signature));
    EXPECT_FALSE(OpensslVerifies(keyPath, "1,2,3,5\n3\n" + abc + "\n", release.signature));

    for (long long days : {0LL, -1LL, 36501LL}) {
        EXPECT_EQ(signer::ExpiresAfterDays(days, 1700000000), "") << days;
    }
    EXPECT_FALSE(signer::SignSetup(keyPath.c_str(), "1,2,3,5", setupPath.c_str(), "2023-12-14",
                                   release, error));
    EXPECT_FALSE(
        signer::SignSetup(keyPath.c_str(), "1.2.3.5", setupPath.c_str(), "", release, error));
    EXPECT_FALSE(signer::SignSetup(keyPath.c_str(), "1,2,3,5", (folder / "none").string().c_str(),
                                   "", release, error));
    const std::string emptyPath = (folder / "empty.exe").string();
    std::fclose(std::fopen(emptyPath.c_str(), "wb"));
    EXPECT_FALSE(
        signer::SignSetup(keyPath.c_str(), "1,2,3,5", emptyPath.c_str(), "", release, error));
}

} // namespace

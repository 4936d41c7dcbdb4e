// updater-sign: the publisher's tool for signed setups.
//
//   updater-sign keygen KEYFILE
//       writes a new private key to KEYFILE (never over an existing file) and
//       prints the line "SetupKey=..." for the clients' Server.ini
//   updater-sign pubkey KEYFILE
//       prints the "SetupKey=..." line of an existing key again
//   updater-sign sign --key KEYFILE --version A,B,C,D [--expires DAYS] SETUP
//       prints the lines "SetupSize=...", "SetupSHA256=...", with --expires
//       "SetupExpires=..." (DAYS from now, UTC), and "SetupSignature=..." for
//       the [Version] section of the version document that offers SETUP as
//       A,B,C,D
//
// Exit code 0 on success, 1 on failure (the reason on stderr), 2 on misuse.
#include "SetupSigner.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: updater-sign keygen KEYFILE\n"
                         "       updater-sign pubkey KEYFILE\n"
                         "       updater-sign sign --key KEYFILE --version A,B,C,D "
                         "[--expires DAYS] SETUP\n");
    return 2;
}

int Fail(const std::string& error) {
    std::fprintf(stderr, "updater-sign: %s\n", error.c_str());
    return 1;
}

void PrintKey(const updater::SetupKey& publicKey) {
    std::printf("%s=%s\n", updater::kSetupKeyName,
                updater::HexText(publicKey.data(), publicKey.size()).c_str());
}

int Keygen(const char* keyPath) {
    updater::SetupKey publicKey;
    std::string error;
    if (!signer::GenerateKeyFile(keyPath, publicKey, error)) {
        return Fail(error);
    }
    PrintKey(publicKey);
    std::fprintf(stderr, "updater-sign: private key written to %s; keep it secret\n", keyPath);
    return 0;
}

int Pubkey(const char* keyPath) {
    updater::SetupKey publicKey;
    std::string error;
    if (!signer::ReadPublicKey(keyPath, publicKey, error)) {
        return Fail(error);
    }
    PrintKey(publicKey);
    return 0;
}

int Sign(int argc, char** argv) {
    const char* keyPath = nullptr;
    const char* version = nullptr;
    const char* setupPath = nullptr;
    const char* days = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--key") == 0 && i + 1 < argc) {
            keyPath = argv[++i];
        } else if (std::strcmp(argv[i], "--version") == 0 && i + 1 < argc) {
            version = argv[++i];
        } else if (std::strcmp(argv[i], "--expires") == 0 && i + 1 < argc) {
            days = argv[++i];
        } else if (setupPath == nullptr && argv[i][0] != '-') {
            setupPath = argv[i];
        } else {
            return Usage();
        }
    }
    if (keyPath == nullptr || version == nullptr || setupPath == nullptr) {
        return Usage();
    }
    std::string expires;
    if (days != nullptr) {
        char* end = nullptr;
        const long long count = std::strtoll(days, &end, 10);
        expires = *end == '\0' ? signer::ExpiresAfterDays(count, std::time(nullptr)) : "";
        if (expires.empty()) {
            return Fail(std::string("--expires ") + days + ": give whole days, 1 to 36500");
        }
    }
    signer::SignedRelease release;
    std::string error;
    if (!signer::SignSetup(keyPath, version, setupPath, expires, release, error)) {
        return Fail(error);
    }
    std::printf("%s=%u\n%s=%s\n", updater::kSetupSizeName, static_cast<unsigned>(release.size),
                updater::kSetupDigestName,
                updater::HexText(release.digest.data(), release.digest.size()).c_str());
    if (!release.expires.empty()) {
        std::printf("%s=%s\n", updater::kSetupExpiresName, release.expires.c_str());
    }
    std::printf("%s=%s\n", updater::kSetupSignatureName,
                updater::HexText(release.signature.data(), release.signature.size()).c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "keygen") == 0) {
        return Keygen(argv[2]);
    }
    if (argc == 3 && std::strcmp(argv[1], "pubkey") == 0) {
        return Pubkey(argv[2]);
    }
    if (argc >= 2 && std::strcmp(argv[1], "sign") == 0) {
        return Sign(argc - 2, argv + 2);
    }
    return Usage();
}

// Loads arbitrary bytes as the version document and reads what a signed
// document says of its setup. Besides ASan/UBSan it checks that what is
// accepted reads back as written (digest, size, expiry) and that a refused
// signed part leaves the caller's copy untouched.
#include "SignedSetup.h"
#include "VersionInfo.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Says which check failed: the crash's stack has only the fuzz function.
void Check(bool condition, int line = __builtin_LINE()) {
    if (!condition) {
        std::fprintf(stderr, "check failed on line %d\n", line);
        std::abort();
    }
}

// The document goes through the file the updater would read: one file of
// this process, rewritten for every input and removed at exit.
std::string g_path;

void RemoveDocument() {
    if (!g_path.empty()) {
        unlink(g_path.c_str());
    }
}

bool WriteDocument(const std::uint8_t* data, std::size_t size) {
    if (g_path.empty()) {
        const char* folder = std::getenv("TMPDIR");
        std::string pattern =
            std::string(folder != nullptr ? folder : "/tmp") + "/version_document_fuzz.XXXXXX";
        const int fd = mkstemp(&pattern[0]);
        Check(fd >= 0);
        close(fd);
        g_path = pattern;
        std::atexit(RemoveDocument);
    }
    std::FILE* file = std::fopen(g_path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

void CheckSignedSetup(const CVersionInfo& info) {
    CVersionInfo::SignedSetup setup;
    setup.size = 7;
    setup.expires = "untouched";
    if (!info.GetSignedSetup(setup)) {
        Check(setup.size == 7 && setup.expires == "untouched");
        return;
    }
    Check(setup.size >= 1);
    updater::SetupDigest digest{};
    Check(updater::ParseHexBytes(updater::HexText(setup.digest.data(), setup.digest.size()).c_str(),
                                 digest) &&
          digest == setup.digest);
    if (!setup.expires.empty()) {
        Check(updater::ExpiresText(setup.expiresAt) == setup.expires);
    }
    const std::string message = updater::SignedSetupMessage(info.GetCurrentVersion(), setup.size,
                                                            setup.digest, setup.expires.c_str());
    Check(message.size() > std::strlen(info.GetCurrentVersion()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!WriteDocument(data, size)) {
        return 0;
    }
    CVersionInfo info;
    if (!info.LoadVersion(g_path.c_str())) {
        return 0;
    }
    Check(std::strlen(info.GetCurrentVersion()) < CVersionInfo::kCurrentVersionSize);
    const unsigned count = info.GetDownloadUrlCount();
    Check(count > 0);
    // An entry without a value reads as null; past the last, null too.
    for (unsigned i = 0; i < count && i < 16; ++i) {
        const char* url = info.GetDownloadUrl(static_cast<int>(i));
        Check(url == nullptr || std::strlen(url) < 1024);
    }
    Check(info.GetDownloadUrl(static_cast<int>(count)) == nullptr);
    CheckSignedSetup(info);
    return 0;
}

#include "HeldSetup.h"

#include "Sha256.h"

#include <utility>
#include <vector>

namespace {
// Large reads: the file is read once more here, from the page cache.
constexpr DWORD kReadSize = 64 * 1024;
} // namespace

bool CHeldSetup::OpenVerified(const char* path, const updater::SetupDigest& digest) {
    Release();
    // The download closed its own handle before this one opens, and another
    // program may have written in between; so the digest that counts is the
    // one of the bytes read through the handle that stays open.
    CKernelHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.IsValid())
        return false;
    CSha256 hash;
    std::vector<unsigned char> block(kReadSize);
    for (;;) {
        DWORD nRead = 0;
        if (!ReadFile(file.Get(), block.data(), kReadSize, &nRead, nullptr))
            return false;
        if (nRead == 0)
            break;
        if (!hash.Update(block.data(), nRead))
            return false;
    }
    updater::SetupDigest actual;
    if (!hash.Finish(actual) || actual != digest)
        return false;
    m_file = std::move(file);
    return true;
}

// The hand-over's hold on a signed setup: only bytes with the signed digest
// are held, and while held nobody can write, delete or rename the file.
#include "HeldSetup.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// SHA-256 of "abc", a published test vector: independent of the code tested.
const char kAbcDigest[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

class HeldSetup : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = m_scratch.File("VemliSetup.exe");
        ASSERT_TRUE(updater::ParseHexBytes(kAbcDigest, m_digest));
    }
    void Write(const std::string& bytes) {
        HANDLE file =
            CreateFileA(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    bool CanWrite() {
        HANDLE file = CreateFileA(m_path.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return false;
        }
        CloseHandle(file);
        return true;
    }

    CScratchDir m_scratch{"held_setup"};
    std::string m_path;
    updater::SetupDigest m_digest;
};

TEST_F(HeldSetup, HeldOnlyWithTheSignedBytes) {
    const struct {
        const char* content;
        bool held;
    } cases[] = {{"abc", true}, {"abd", false}, {"abcd", false}, {"", false}};
    for (const auto& c : cases) {
        Write(c.content);
        CHeldSetup setup;
        EXPECT_EQ(setup.OpenVerified(m_path.c_str(), m_digest), c.held) << c.content;
        EXPECT_EQ(setup.IsHeld(), c.held) << c.content;
        EXPECT_EQ(CanWrite(), !c.held) << c.content;
    }
    CHeldSetup missing;
    DeleteFileA(m_path.c_str());
    EXPECT_FALSE(missing.OpenVerified(m_path.c_str(), m_digest));
}

TEST_F(HeldSetup, NobodyChangesItWhileHeld) {
    Write("abc");
    CHeldSetup setup;
    ASSERT_TRUE(setup.OpenVerified(m_path.c_str(), m_digest));
    EXPECT_FALSE(CanWrite());
    EXPECT_FALSE(DeleteFileA(m_path.c_str()));
    EXPECT_FALSE(MoveFileA(m_path.c_str(), (m_path + ".moved").c_str()));
    // Reading stays open to everybody, the system's start of the setup too.
    HANDLE reader = CreateFileA(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    if (reader != INVALID_HANDLE_VALUE) {
        CloseHandle(reader);
    }
    setup.Release();
    EXPECT_TRUE(CanWrite());
}

} // namespace

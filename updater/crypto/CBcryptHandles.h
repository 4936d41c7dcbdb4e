// Owners of CNG handles: each closes its handle once. The key must go before
// the provider it came from, so keep them declared provider first.
#pragma once

#include <windows.h>

#include <bcrypt.h>

class CBcryptAlgorithm {
public:
    CBcryptAlgorithm() = default;
    ~CBcryptAlgorithm() { Close(); }
    CBcryptAlgorithm(const CBcryptAlgorithm&) = delete;
    CBcryptAlgorithm& operator=(const CBcryptAlgorithm&) = delete;

    // Opens the provider of `pszAlgorithm` (a BCRYPT_*_ALGORITHM name).
    bool Open(LPCWSTR pszAlgorithm) {
        Close();
        if (BCryptOpenAlgorithmProvider(&m_hAlgorithm, pszAlgorithm, nullptr, 0) != 0)
            m_hAlgorithm = nullptr;
        return m_hAlgorithm != nullptr;
    }
    void Close() {
        if (m_hAlgorithm != nullptr)
            BCryptCloseAlgorithmProvider(m_hAlgorithm, 0);
        m_hAlgorithm = nullptr;
    }
    BCRYPT_ALG_HANDLE Get() const { return m_hAlgorithm; }

private:
    BCRYPT_ALG_HANDLE m_hAlgorithm = nullptr;
};

class CBcryptKey {
public:
    CBcryptKey() = default;
    ~CBcryptKey() { Close(); }
    CBcryptKey(const CBcryptKey&) = delete;
    CBcryptKey& operator=(const CBcryptKey&) = delete;

    BCRYPT_KEY_HANDLE* Receive() {
        Close();
        return &m_hKey;
    }
    void Close() {
        if (m_hKey != nullptr)
            BCryptDestroyKey(m_hKey);
        m_hKey = nullptr;
    }
    BCRYPT_KEY_HANDLE Get() const { return m_hKey; }

private:
    BCRYPT_KEY_HANDLE m_hKey = nullptr;
};

class CBcryptHash {
public:
    CBcryptHash() = default;
    ~CBcryptHash() { Close(); }
    CBcryptHash(const CBcryptHash&) = delete;
    CBcryptHash& operator=(const CBcryptHash&) = delete;

    BCRYPT_HASH_HANDLE* Receive() {
        Close();
        return &m_hHash;
    }
    void Close() {
        if (m_hHash != nullptr)
            BCryptDestroyHash(m_hHash);
        m_hHash = nullptr;
    }
    BCRYPT_HASH_HANDLE Get() const { return m_hHash; }

private:
    BCRYPT_HASH_HANDLE m_hHash = nullptr;
};

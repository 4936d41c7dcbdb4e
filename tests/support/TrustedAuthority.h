// CTrustedAuthority: a test certificate authority trusted for as long as the
// object lives, by the current user of this Wine prefix (the Root store in
// the prefix's registry; never the machine's own store), so that WinINet in
// this process and in the programs a test starts accepts the test server's
// https certificates.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CTrustedAuthority {
public:
    // `pem`: the authority's certificate, as the test update server gives it.
    explicit CTrustedAuthority(const std::string& pem);
    ~CTrustedAuthority();
    CTrustedAuthority(const CTrustedAuthority&) = delete;
    CTrustedAuthority& operator=(const CTrustedAuthority&) = delete;

    bool IsTrusted() const { return m_bTrusted; }

private:
    std::vector<unsigned char> m_der;
    bool m_bTrusted = false;
};

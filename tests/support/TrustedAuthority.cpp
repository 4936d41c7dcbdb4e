#include "TrustedAuthority.h"

#include <wincrypt.h>

namespace {

// The user's own Root store in the registry, without the machine's stores
// that the system store adds. A registry store writes what changed only
// when committed or closed, and only then do other stores (WinINet's chain
// engine, another process) see it.
HCERTSTORE OpenRoot() {
    return CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER,
                         L"Root");
}

void CommitAndClose(HCERTSTORE hStore) {
    CertControlStore(hStore, 0, CERT_STORE_CTRL_COMMIT, nullptr);
    CertCloseStore(hStore, 0);
}

} // namespace

CTrustedAuthority::CTrustedAuthority(const std::string& pem) {
    DWORD nSize = 0;
    if (pem.empty() ||
        !CryptStringToBinaryA(pem.c_str(), DWORD(pem.size()), CRYPT_STRING_BASE64HEADER, nullptr,
                              &nSize, nullptr, nullptr))
        return;
    m_der.resize(nSize);
    if (!CryptStringToBinaryA(pem.c_str(), DWORD(pem.size()), CRYPT_STRING_BASE64HEADER,
                              m_der.data(), &nSize, nullptr, nullptr))
        return;
    HCERTSTORE hStore = OpenRoot();
    if (hStore == nullptr)
        return;
    m_bTrusted = CertAddEncodedCertificateToStore(hStore, X509_ASN_ENCODING, m_der.data(), nSize,
                                                  CERT_STORE_ADD_REPLACE_EXISTING, nullptr) != 0;
    CommitAndClose(hStore);
}

CTrustedAuthority::~CTrustedAuthority() {
    if (!m_bTrusted)
        return;
    HCERTSTORE hStore = OpenRoot();
    PCCERT_CONTEXT pMine =
        CertCreateCertificateContext(X509_ASN_ENCODING, m_der.data(), DWORD(m_der.size()));
    if (hStore != nullptr && pMine != nullptr) {
        // Deleting frees the found context as well.
        PCCERT_CONTEXT pFound = CertFindCertificateInStore(hStore, X509_ASN_ENCODING, 0,
                                                           CERT_FIND_EXISTING, pMine, nullptr);
        if (pFound != nullptr)
            CertDeleteCertificateFromStore(pFound);
    }
    if (pMine != nullptr)
        CertFreeCertificateContext(pMine);
    if (hStore != nullptr)
        CommitAndClose(hStore);
}

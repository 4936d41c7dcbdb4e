// AfxParseURL: the service type, server, object and port of an address.
#pragma once

#include "InternetServices.h"

#include <string>

// False when the address cannot be parsed (no scheme, empty, malformed); the
// outputs are then unspecified. Schemes WinINet cracks but this layer has no
// type for come back as AFX_INET_SERVICE_UNK.
bool AfxParseURL(const char* pszURL, DWORD& dwServiceType, std::string& strServer,
                 std::string& strObject, INTERNET_PORT& nPort);

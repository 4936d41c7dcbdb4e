// Service types of addresses, as AfxParseURL reports them, and the session's
// access type that takes the system's proxy settings.
#pragma once

#include <windows.h>

#include <wininet.h>

#define AFX_INET_SERVICE_FTP INTERNET_SERVICE_FTP
#define AFX_INET_SERVICE_GOPHER INTERNET_SERVICE_GOPHER
#define AFX_INET_SERVICE_HTTP INTERNET_SERVICE_HTTP
#define AFX_INET_SERVICE_UNK 0x1000
#define AFX_INET_SERVICE_FILE 0x1001
#define AFX_INET_SERVICE_HTTPS 0x100B

#define PRE_CONFIG_INTERNET_ACCESS INTERNET_OPEN_TYPE_PRECONFIG

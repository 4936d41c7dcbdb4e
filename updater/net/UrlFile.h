// CUrlFile: what CInternetSession::OpenURL hands back, whatever the scheme:
// a stream that can be read, asked for its length and closed.
#pragma once

#include <windows.h>

class CUrlFile {
public:
    virtual ~CUrlFile() = default;

    // Reads up to nCount bytes; 0 at the end. Throws CInternetException.
    virtual UINT Read(void* pBuffer, UINT nCount) = 0;
    // The length the source reports now (for a network stream: the bytes
    // available at this moment); 0 when it cannot say.
    virtual ULONGLONG GetLength() = 0;
    // Closes the stream; later reads fail. Safe from another thread while a
    // read is blocked, which is how a transfer is cut off.
    virtual void Close() = 0;
};

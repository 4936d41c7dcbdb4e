// The update engine's event codes, the only place they are named. The engine
// calls the owner's handler (CUpdateEngine::SetCallback) as
// handler(code, wParam, lParam, context) on the thread that raises the event:
// the check thread (_CheckVersionMain) or the download thread
// (_DownloadSetupMain), never the owner's own thread. Its result is ignored.
// Every payload belongs to the engine; the handler copies what it keeps.
#pragma once

enum UpdateEvent : unsigned int {
    // Check thread, at its start. wParam 0, lParam 0.
    UE_CHECK_STARTED = 1,
    // Check thread: the version request could not be opened or sent (name not
    // resolved, refused, timed out). wParam 0, lParam 0. Last error text set.
    UE_SEND_FAILED = 2,
    // Check thread: the server answered with a status other than 200.
    // wParam 0, lParam 0. Last error text names the object requested.
    UE_VERSION_FILE_MISSING = 3,
    // Check or download thread: a local file could not be created (the
    // temporary document, or "VemliSetup.exe"). wParam 0, lParam 0.
    UE_LOCAL_FILE_FAILED = 4,
    // Check thread: the version document is valid; GetCurrentVersion and
    // GetDownloadUrl answer from now on. wParam 0, lParam 0. The handler may
    // call StartDownload from here.
    UE_VERSION_READY = 5,
    // Check thread: the version document is not valid. wParam 0, lParam 0.
    UE_VERSION_INVALID = 6,
    // Download thread, at its start. wParam 0, lParam 0.
    UE_DOWNLOAD_STARTED = 7,
    // Download thread: the address could not be opened (or was too long).
    // wParam 0, lParam 0.
    UE_DOWNLOAD_CONNECT_FAILED = 8,
    // Download thread: an http(s) address answered with a status other than
    // 200. wParam 0, lParam 0.
    UE_SETUP_MISSING = 9,
    // Download thread: the local file is created, the transfer begins.
    // wParam 0, lParam 0.
    UE_DOWNLOAD_RECEIVING = 10,
    // Download thread, after each block written. wParam: bytes received so far
    // (unsigned 32-bit); lParam: the expected total (unsigned 32-bit).
    UE_DOWNLOAD_PROGRESS = 11,
    // Download thread: transfer complete. wParam: const char* full path of the
    // downloaded file, valid only during the call (the engine's buffer).
    // lParam 0.
    UE_DOWNLOAD_DONE = 12,
    // Check or download thread: reading the body failed, or the server closed
    // the connection before the announced length arrived (for a signed setup:
    // still, after the resumptions; or it is not the signed size or digest).
    // wParam 0, lParam 0. Last error text set; the partial file is deleted,
    // except a signed setup's part that a later run may resume.
    UE_CONNECTION_LOST = 13,
};

namespace updater {

// The failures: after one the engine raises no other event for that check or
// download.
constexpr bool IsFailureEvent(unsigned int code) {
    switch (code) {
    case UE_SEND_FAILED:
    case UE_VERSION_FILE_MISSING:
    case UE_LOCAL_FILE_FAILED:
    case UE_VERSION_INVALID:
    case UE_DOWNLOAD_CONNECT_FAILED:
    case UE_SETUP_MISSING:
    case UE_CONNECTION_LOST:
        return true;
    default:
        return false;
    }
}

} // namespace updater

#include "ExportWorker.h"

CExportWorker::~CExportWorker() {
    Cancel();
    Join();
}

void CExportWorker::Start(HWND notify, UINT message) {
    if (m_thread.joinable())
        return;
    m_thread = std::thread([this, notify, message] {
        // The window's thread must win the processor whenever it has
        // something to paint or answer; the export can wait those moments.
        ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
        ExportJobCallbacks callbacks;
        callbacks.progress = [this](const ExportJobProgress& p) { return Report(p); };
        m_result = exporter::RunExportJob(m_settings, callbacks);
        // The window may be gone by now (then nobody waits for the message).
        ::PostMessageW(notify, message, 0, 0);
    });
}

void CExportWorker::Join() {
    if (m_thread.joinable())
        m_thread.join();
}

bool CExportWorker::Report(const ExportJobProgress& progress) {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_snapshot.counting = progress.counting;
        m_snapshot.done = progress.messagesDone;
        m_snapshot.total = progress.messagesTotal;
        m_snapshot.friendsDone = progress.friendsDone;
        m_snapshot.friendsTotal = progress.friendsTotal;
        m_snapshot.friendName = progress.friendName;
        m_snapshot.friendKey = progress.friendKey;
    }
    return !m_cancel;
}

CExportWorker::Snapshot CExportWorker::Progress() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_snapshot;
}

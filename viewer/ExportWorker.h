// CExportWorker: one export on a thread of its own, over handles of its own
// (the export job opens every log itself; the panes' mappings are never
// touched), so the viewer keeps answering the client and repainting. The
// window thread reads the progress whenever it likes and may ask to cancel.
#pragma once

#include "ExportJob.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

class CExportWorker {
public:
    struct Snapshot {
        bool counting = true;
        std::uint64_t done = 0;
        std::uint64_t total = 0;
        std::size_t friendsDone = 0;
        std::size_t friendsTotal = 0;
        std::string friendName; // UTF-8, empty between friends
        std::string friendKey;
    };

    explicit CExportWorker(ExportJobSettings settings) : m_settings(std::move(settings)) {}
    // Cancels a run still going and waits for it.
    ~CExportWorker();
    CExportWorker(const CExportWorker&) = delete;
    CExportWorker& operator=(const CExportWorker&) = delete;

    // Starts the export; `message` is posted to `notify` when it has ended.
    void Start(HWND notify, UINT message);
    // Asks the export to stop at its next progress report.
    void Cancel() { m_cancel = true; }
    bool Cancelling() const { return m_cancel; }
    // Waits for the thread (after its message arrived, this returns at once).
    void Join();

    Snapshot Progress() const;
    // Valid once joined.
    const ExportJobResult& Result() const { return m_result; }

private:
    bool Report(const ExportJobProgress& progress);

    ExportJobSettings m_settings;
    ExportJobResult m_result;
    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    mutable std::mutex m_lock;
    Snapshot m_snapshot;
};

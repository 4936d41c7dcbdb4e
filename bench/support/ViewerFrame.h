// What the viewer's Windows benchmarks share: the frame opened as the
// program opens it, captioned, 1000 x 700 pixels, shown and painted, and the
// message pump that lets it draw. Include only from a Windows benchmark that
// links viewer_app.
#pragma once

#include "DocTemplate.h"
#include "MainFrame.h"
#include "MerovaneDoc.h"
#include "MerovaneView.h"
#include "ViewerMessages.h"
#include "resource.h"

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <memory>

inline void PumpViewerMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// An empty account folder for the viewer to list: NAME/1234/ChatLog under
// the temporary folder, anything an earlier run left there removed first.
inline std::filesystem::path FreshChatLogFolder(const char* name) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / name / "1234" / "ChatLog";
    std::error_code ec;
    std::filesystem::remove_all(folder.parent_path().parent_path(), ec);
    std::filesystem::create_directories(folder, ec);
    return folder;
}

// The frame opened in `clientFolder` (the current folder, where the viewer
// finds the accounts, as the client starts it). The document template owns
// the frame; null when the frame cannot open.
inline std::unique_ptr<CSingleDocTemplate>
OpenViewerFrame(const std::filesystem::path& clientFolder, CMainFrame*& frame) {
    ::SetCurrentDirectoryW(clientFolder.wstring().c_str());
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&init);
    auto docTemplate = std::make_unique<CSingleDocTemplate>(
        IDR_MAINFRAME, RuntimeClassOf<CMerovaneDoc>(), RuntimeClassOf<CMainFrame>(),
        RuntimeClassOf<CMerovaneView>());
    frame = nullptr;
    if (docTemplate->OpenDocumentFile() == nullptr)
        return nullptr;
    frame = dynamic_cast<CMainFrame*>(docTemplate->GetFrame());
    if (frame == nullptr)
        return nullptr;
    frame->SetWindowText(kViewerCaption);
    frame->SetWindowPos(nullptr, 0, 0, 1000, 700, SWP_NOZORDER);
    frame->ShowWindow(SW_SHOW);
    frame->UpdateWindow();
    PumpViewerMessages();
    return docTemplate;
}

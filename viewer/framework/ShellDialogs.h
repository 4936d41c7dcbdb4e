// The system's own dialogs that a command asks the user through: a folder
// picker, a Save dialog, a message box, and the file manager showing a path.
// Virtual so that a test can stand in for the user without a real dialog.
#pragma once

#include <windows.h>

#include <string>

class CShellDialogs {
public:
    struct SaveRequest {
        std::wstring title;
        std::wstring folder;     // where the dialog starts (empty: the system's choice)
        std::wstring name;       // the proposed file name
        std::wstring filterName; // e.g. "文本 (*.txt)"
        std::wstring extension;  // without the dot
    };

    virtual ~CShellDialogs() = default;

    // The folder picker, starting at `start` when it is a folder; false when
    // the user cancels.
    virtual bool PickFolder(HWND owner, const std::wstring& title, const std::wstring& start,
                            std::wstring& chosen);
    // The Save dialog (asks before replacing a file); false when cancelled.
    // Never moves the process's current folder: the client's account
    // folders are found from it.
    virtual bool PickSaveFile(HWND owner, const SaveRequest& request, std::wstring& chosen);
    // A message box with the owner's caption; returns the button pressed.
    virtual int Message(HWND owner, const std::wstring& text, UINT type);
    // Opens the file manager on the folder that holds `path`, with it selected.
    virtual bool ShowInFileManager(const std::wstring& path);

    // The one the program uses when nothing stands in.
    static CShellDialogs& System();
};

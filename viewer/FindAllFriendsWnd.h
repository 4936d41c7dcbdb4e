// CFindAllFriendsWnd: the 在所有好友中查找 window (dialog template 140), a
// modeless popup owned by the main frame. It searches every friend's log in
// tree order and lists each hit (friend, date, time, the line that holds
// the match) in a virtual list; opening a hit selects its friend and its row as a
// click would, with the match selected in the content pane.
#pragma once

#include "ChatLogSearch.h"
#include "Dialog.h"
#include "FindAllResults.h"

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

class CChatLogFile;
class CPaneHost;

class CFindAllFriendsWnd : public CDialog {
public:
    static constexpr char kClassName[] = "CFindAllFriendsWnd";

    CFindAllFriendsWnd();
    ~CFindAllFriendsWnd() override;

    // Makes the window (hidden) once, owned by the host's window; false if it
    // cannot.
    bool Create(CPaneHost* host);
    // Shows the window and puts the keyboard in its text field.
    void ShowAndFocus();
    // Searches every friend's log for the text in the field.
    void RunSearch();
    // Opens a listed hit: its friend, its row, the match. False when the hit
    // no longer leads to a record (the log changed or went meanwhile).
    bool OpenHit(size_t index);
    // Forgets every hit (the account was reset or changed).
    void Clear();

    size_t HitCount() const { return m_results.HitCount(); }

    // The controls that follow the window's size.
    static constexpr size_t kPlacedControls = 5;

protected:
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnNotify(int id, NMHDR* header, LRESULT* result) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SetUpList();
    void SearchLog(size_t position, CChatLogFile& log, std::vector<unsigned char>& piece);
    std::wstring TextOfField() const;
    void ShowCount();
    void FillCell(NMLVDISPINFOW* info);
    int SelectedHit() const;
    // Selects the match inside the content pane's text and gives it the keyboard.
    void SelectMatchInContent(chatlog::ChatLogRecordPos record);

    CPaneHost* m_host = nullptr; // the panes and the owner, through the frame
    CFindAllResults m_results;
    // The needle of the hits listed, for finding the match again on opening.
    chatlog::CTextSearch m_search;
    // The template's client size and its controls' places in it.
    SIZE m_templateClient = {};
    RECT m_templateRects[kPlacedControls] = {};
    int m_minWidth = 0;
    int m_minHeight = 0;
};

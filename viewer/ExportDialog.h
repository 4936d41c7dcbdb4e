// CExportDialog: the modal dialog of 导出聊天记录 (template IDD_EXPORT):
// scope, format, dates, the table's order and filter, pages by month, and
// where to save. It starts from the choices given and, after 导出, leaves
// the user's in them.
#pragma once

#include "Dialog.h"
#include "ExportChoices.h"

#include <string>

class CShellDialogs;

// Where the last export went, a file and a folder each, offered again.
struct ExportTargets {
    std::wstring file;
    std::wstring folder;
};

// The friend selected in the tree, for 当前好友 and the proposed file name.
struct ExportCurrentFriend {
    bool present = false;
    std::wstring nickname;
    std::wstring key;
};

class CExportDialog : public CDialog {
public:
    CExportDialog(ExportChoices& choices, ExportTargets& targets,
                  const ExportCurrentFriend& current, CShellDialogs& shell);

    // True when it ended with 导出; the choices and targets are then the user's.
    bool Run(HWND owner);
    // The file or folder the export writes.
    const std::wstring& Target() const { return m_target; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;

private:
    ExportChoices ReadChoices() const;
    void ShowChoices(const ExportChoices& choices);
    // Greys what the other choices make meaningless; swaps the target shown
    // when the export goes from a file to a folder or back.
    void UpdateControls();
    bool Browse();
    std::wstring TargetText() const;

    ExportChoices& m_choices;
    ExportTargets& m_targets;
    ExportCurrentFriend m_current;
    CShellDialogs& m_shell;
    std::wstring m_target;
    bool m_showingFolder = false; // what the target field holds now
};

// What the viewer's export tests share: a real main frame with the user
// played by a script at the system's dialogs (message boxes answered 否),
// an account folder for the logs, and 导出聊天记录 run with given choices.
#pragma once

#include "ScriptedShell.h"
#include "ViewerFixture.h"

#include <fstream>
#include <sstream>

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class ViewerExportTest : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        m_frame->SetShellDialogs(m_shell);
        m_shell.m_messageAnswer = IDNO;
        m_logs = AccountFolder("1234");
    }
    // The friend whose key is `key` ("11": the numbers 1 and 1) selected.
    void SelectFriend(const char* key) {
        Send(kViewerMsgSelectFriend, std::atoi(key) / 10, std::atoi(key) % 10);
        Pump();
    }
    const ExportJobResult& Export(const ExportChoices& choices, const std::filesystem::path& to) {
        m_frame->ExportCommand().Export(*m_frame, choices, to.wstring());
        return m_frame->ExportCommand().LastResult();
    }

    CScriptedShell m_shell;
    std::filesystem::path m_logs; // the account's ChatLog folder
};

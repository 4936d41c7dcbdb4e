// CExportCommand: 导出聊天记录. Asks the user (CExportDialog), runs the
// export job on a worker under its progress window, and tells the result,
// offering to show it in the file manager. Reaches the panes through the
// pane host only; keeps the last choices for the next time in this run.
#pragma once

#include "ExportChoices.h"
#include "ExportDialog.h"
#include "ExportJob.h"

#include <string>

class CPaneHost;

class CExportCommand {
public:
    // The whole command, from the dialog to the result.
    void Run(CPaneHost& host);
    // The export for choices already made, to `target` (a file or a
    // folder as the choices say), with its progress and result.
    void Export(CPaneHost& host, const ExportChoices& choices, const std::wstring& target);

    // The settings the choices give for the friends the host lists now:
    // false (with nothing to export) when there is no friend to export.
    static bool MakeSettings(CPaneHost& host, const ExportChoices& choices,
                             const std::wstring& target, ExportJobSettings& settings);
    // The last export's result (for whoever looks after it).
    const ExportJobResult& LastResult() const { return m_lastResult; }

private:
    void ShowResult(CPaneHost& host, const std::wstring& target);

    ExportChoices m_choices;
    ExportTargets m_targets;
    ExportJobResult m_lastResult;
};

#include "ExportResultText.h"

namespace viewer {

namespace {

void AppendLines(std::string& text, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        text += "\n" + line;
}

} // namespace

bool ExportWroteFiles(const ExportJobResult& result) {
    return !result.refused && !result.cancelled && result.files > 0;
}

std::string ExportResultText(const ExportJobResult& result) {
    if (result.cancelled)
        return "已取消导出：写入的文件已删除，原有的文件保持不变。";
    if (result.refused) {
        std::string text = "没有导出，没有改动任何文件：";
        AppendLines(text, result.problems);
        return text;
    }
    std::string text;
    if (result.filesFailed > 0) {
        // A file that fails is never left in part: say so, and what did land.
        text = result.files == 0 ? "导出失败，没有写出文件：" : "导出没有全部完成：";
        text += std::to_string(result.filesFailed) +
                " 个文件无法写入（磁盘可能已满，或没有写入的权限），这些文件没有留下任何部分，"
                "原有的同名文件保持不变。";
        if (result.files > 0)
            text += "\n已写入 " + std::to_string(result.files) + " 个文件，" +
                    std::to_string(result.messages) + " 条消息。";
    } else {
        text = "导出完成：" + std::to_string(result.messages) + " 条消息，" +
               std::to_string(result.friends) + " 位好友，" + std::to_string(result.files) +
               " 个文件。";
    }
    if (!result.damaged.empty()) {
        text += "\n\n以下好友的聊天记录已损坏或已不在，只导出了能读出的部分：";
        // A log that vanished has no header to name its friend: its path then.
        for (const ExportDamagedLog& log : result.damaged)
            text += "\n" +
                    (log.friendKey.empty() ? log.path : log.friendName + "(" + log.friendKey + ")");
    }
    // Warnings that are not about a damaged log (a failed write, say).
    if (result.problems.size() > result.damaged.size()) {
        text += "\n\n问题：";
        AppendLines(text, result.problems);
    }
    return text;
}

} // namespace viewer

#include "ExportResultText.h"

#include <gtest/gtest.h>

namespace {

bool Has(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

TEST(ExportResultText, SaysWhatWasWrittenWhatWasDamagedAndWhyNothingWas) {
    ExportJobResult done;
    done.messages = 1234;
    done.friends = 3;
    done.files = 4;
    ExportJobResult damaged = done;
    damaged.damaged = {{"C:\\a\\11.dat", "11", "张三", "damaged"},
                       {"C:\\a\\22.dat", "", "", "vanished"}};
    damaged.problems = {"11.dat: damaged", "22.dat: cannot be opened"};
    ExportJobResult failed = done;
    failed.filesFailed = 1;
    failed.problems = {"out.txt: cannot write: No space left on device"};
    ExportJobResult nothing = failed;
    nothing.messages = nothing.files = 0;
    ExportJobResult refused;
    refused.refused = true;
    refused.problems = {"x.dat: is one of the chat logs being read"};
    ExportJobResult cancelled;
    cancelled.cancelled = true;
    cancelled.files = 2;

    const struct {
        const ExportJobResult& result;
        std::vector<const char*> parts;
        std::vector<const char*> absent;
        bool wrote;
    } cases[] = {
        {done, {"1234 条消息", "3 位好友", "4 个文件"}, {"损坏", "问题"}, true},
        {damaged, {"1234 条消息", "张三(11)", "C:\\a\\22.dat"}, {"问题"}, true},
        {failed,
         {"没有全部完成", "1 个文件无法写入", "已写入 4 个文件，1234 条消息", "No space"},
         {"损坏", "导出完成"},
         true},
        {nothing, {"导出失败", "1 个文件无法写入", "No space"}, {"条消息"}, false},
        {refused, {"没有导出", "being read"}, {"条消息"}, false},
        {cancelled, {"已取消"}, {"条消息"}, false},
    };
    for (const auto& c : cases) {
        const std::string text = viewer::ExportResultText(c.result);
        for (const char* part : c.parts)
            EXPECT_TRUE(Has(text, part)) << part << " in " << text;
        for (const char* part : c.absent)
            EXPECT_FALSE(Has(text, part)) << part << " in " << text;
        EXPECT_EQ(viewer::ExportWroteFiles(c.result), c.wrote) << text;
    }
}

} // namespace

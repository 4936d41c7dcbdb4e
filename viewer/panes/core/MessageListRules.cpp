#include "MessageListRules.h"

#include <cstdio>
#include <ctime>

namespace viewer {

bool FilterKeeps(int32_t filter, uint32_t direction) {
    return IsSentDirection(direction) ? (filter & kFilterSent) != 0
                                      : (filter & kFilterReceived) != 0;
}

bool FilterFromComboIndex(int index, int32_t* filter) {
    static const int32_t byIndex[] = {kFilterAll, kFilterSent, kFilterReceived};
    if (index < 0 || index >= 3 || filter == nullptr) {
        return false;
    }
    *filter = byIndex[index];
    return true;
}

namespace {

void FormatCell(int32_t time, char* out, LocalTimeFn toLocal, bool date) {
    out[0] = '\0';
    struct tm local {};
    if (toLocal == nullptr || !toLocal(time, &local)) {
        return;
    }
    // Fields printed by hand rather than by strftime: no locale can creep in,
    // and a converter that hands back nonsense cannot overflow the cell.
    int n = date ? std::snprintf(out, kTimeCellSize, "%04d-%02d-%02d", local.tm_year + 1900,
                                 local.tm_mon + 1, local.tm_mday)
                 : std::snprintf(out, kTimeCellSize, "%02d:%02d:%02d", local.tm_hour, local.tm_min,
                                 local.tm_sec);
    if (n < 0) {
        out[0] = '\0';
    }
}

} // namespace

void FormatRecordDate(int32_t time, char* out, LocalTimeFn toLocal) {
    FormatCell(time, out, toLocal, true);
}

void FormatRecordTime(int32_t time, char* out, LocalTimeFn toLocal) {
    FormatCell(time, out, toLocal, false);
}

MessageListLayout ComputeMessageListLayout(int width, int height, int ascWidth, int descWidth,
                                           int fixedColumns) {
    MessageListLayout l{};
    l.tableWidth = width;
    l.tableHeight = height > kStripHeight ? height - kStripHeight : 0;
    l.ascX = 10;
    l.ascY = l.tableHeight + 5;
    l.descX = ascWidth + 20;
    l.descY = l.tableHeight + 5;
    l.comboX = ascWidth + 20 + descWidth + 10;
    l.comboY = l.tableHeight + 2;
    // 16 pixels are left for the vertical scroll bar.
    l.fitContent = fixedColumns + 16 < width;
    l.contentWidth = l.fitContent ? width - fixedColumns - 16 : 0;
    return l;
}

} // namespace viewer

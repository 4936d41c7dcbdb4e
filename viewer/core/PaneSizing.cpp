#include "PaneSizing.h"

namespace viewer {

namespace {
constexpr int kMinFriendColumn = 190;
constexpr int kFriendColumnShare = 7;
constexpr int kMinContentRow = 120;
} // namespace

std::optional<int> FriendColumnWidth(int w0, int w1) {
    if (w0 < 0 || w1 < 0)
        return std::nullopt;
    int w = (w0 + w1) / kFriendColumnShare;
    if (w <= kMinFriendColumn)
        w = kMinFriendColumn;
    return w;
}

std::optional<int> MessageRowHeight(int h0, int h1) {
    if (h0 < 0 || h1 < 0)
        return std::nullopt;
    int t = h0 + h1;
    if (t < kMinContentRow)
        t = kMinContentRow;
    // The division first, as the frame has always done it.
    int h = (t / 5) * 4;
    if (t - kMinContentRow < h)
        h = t - kMinContentRow;
    return h;
}

} // namespace viewer

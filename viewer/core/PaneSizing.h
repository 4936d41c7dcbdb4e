// The main frame's proportional pane sizes, as plain arithmetic on the
// current sizes that the splitters report.
#pragma once

#include <optional>

namespace viewer {

// Ideal width of the friend list column from the current widths of the outer
// splitter's two columns: a seventh of their sum, at least 190. Nothing when
// a width is negative (the splitter has not been laid out).
std::optional<int> FriendColumnWidth(int w0, int w1);

// Ideal height of the message list row from the current heights of the right
// splitter's two rows: four fifths of their sum (taken as at least 120), but
// leaving at least 120 for the content row. Nothing when a height is negative.
std::optional<int> MessageRowHeight(int h0, int h1);

} // namespace viewer

// Track arithmetic of a static splitter, free of window code: where each
// column (or row) goes when the ideal sizes are laid along the available length.
#pragma once

#include <vector>

struct SplitterTrack {
    int ideal = 0; // size asked for
    int min = 0;   // below this the track is not shown at all
};

// Current sizes of the tracks laid one after the other along `total` pixels
// with `bar` pixels between neighbours. Every track but the last gets its
// ideal size while room lasts, leaving room for its bar (0 when the ideal is
// below its minimum); the last takes whatever is left. No size is negative;
// where the bars fit, sizes and bars add up to `total`.
std::vector<int> LayoutSplitterTracks(const std::vector<SplitterTrack>& tracks, int total, int bar);

// Start of each track given the current sizes (the first starts at 0).
std::vector<int> SplitterTrackStarts(const std::vector<int>& sizes, int bar);

// Index of the bar (the one after track i) under `position`, or -1.
int SplitterBarAt(const std::vector<int>& sizes, int bar, int position);

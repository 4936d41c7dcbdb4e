#include "SplitterLayout.h"

#include <algorithm>

std::vector<int> LayoutSplitterTracks(const std::vector<SplitterTrack>& tracks, int total,
                                      int bar) {
    std::vector<int> sizes(tracks.size(), 0);
    int remaining = std::max(total, 0);
    for (size_t i = 0; i < tracks.size(); ++i) {
        if (i + 1 == tracks.size()) {
            sizes[i] = remaining;
            break;
        }
        const SplitterTrack& track = tracks[i];
        // A track never takes the room of the bar after it: the bar stays
        // inside the window (where it can be dragged back), and the current
        // sizes plus the bars always add up to the length laid out, which is
        // what the frame's proportional sizing reads back.
        const int room = std::max(remaining - bar, 0);
        int size = track.ideal < track.min ? 0 : std::min(std::max(track.ideal, 0), room);
        sizes[i] = size;
        remaining = std::max(remaining - size - bar, 0);
    }
    return sizes;
}

std::vector<int> SplitterTrackStarts(const std::vector<int>& sizes, int bar) {
    std::vector<int> starts(sizes.size(), 0);
    int position = 0;
    for (size_t i = 0; i < sizes.size(); ++i) {
        starts[i] = position;
        position += sizes[i] + bar;
    }
    return starts;
}

int SplitterBarAt(const std::vector<int>& sizes, int bar, int position) {
    std::vector<int> starts = SplitterTrackStarts(sizes, bar);
    for (size_t i = 0; i + 1 < sizes.size(); ++i) {
        int barStart = starts[i] + sizes[i];
        if (position >= barStart && position < barStart + bar)
            return static_cast<int>(i);
    }
    return -1;
}

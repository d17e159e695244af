// What the benchmark found, and how it is written out: a Markdown table with
// the targets judged, and a data file for the plot of cost against tab count.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "harness.h"

namespace Bench {

struct Point {
    int size = 0;                 // tabs open, or contacts waiting
    std::optional<Figures> host;  // the stand-in host alone doing the same work (or the system's floor)
    Figures plugin;               // the host with the plug-in loaded
};

enum class Limit {
    None,
    OverHost25,       // at most 25% more than the host alone
    FrameWhenSeen,    // p95 under one frame wherever the conversation was seen
    HalfFrameMedian,  // median under half a frame, p95 under one frame
    FrameNoMoreAsked, // p95 under one frame, and no more asked of the host at the last sample than at the first
    OverHost25Share,  // at most 25% more than the host alone, and the plug-in's own share growing at most ×60 from 10 to 500
    EndFloor,         // under 600 ms at 500 tabs; the system's own give-back is in system.md
    NoMoreThanHost,   // at or below the host alone from 100 on
    FloorP95,         // p95 at most 20% over the system's own floor, measured in the host's place
    Under500Ms,       // median under 500 ms
    OverSettingOff25, // at most 25% more than the same with the setting off (in the host's column)
};

struct Series {
    std::string name;
    std::string unit;  // what `size` counts
    bool oneFrame = true;  // held to the one-frame limit: it runs while the user waits
    Limit limit = Limit::None;
    std::vector<Point> points;
};

// Writes results.md and results.tsv into the folder; returns whether every
// target was met.
bool WriteReport(const std::vector<Series>& series, const std::string& folder, const std::string& machine);

}  // namespace Bench

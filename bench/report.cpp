#include "report.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace Bench {

namespace {

constexpr double kFrameMs = 16.0;
constexpr double kMaxOverHost = 1.25;
constexpr double kSwitchMs = 2.0;
constexpr int kGrowthFrom = 10;
constexpr int kFrameCheckAt = 100;

// The figures of the two builds differ (pointer size, calling convention,
// the 32-bit Wine): the report says which one ran.
#if defined(__x86_64__) || defined(_M_X64)
constexpr const char* kArchitecture = "x64";
#elif defined(__i386__) || defined(_M_IX86)
constexpr const char* kArchitecture = "x86";
#else
constexpr const char* kArchitecture = "unknown architecture";
#endif

std::string Ms(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, ms < 1 ? "%.3f ms" : ms < 10 ? "%.2f ms" : "%.1f ms", ms);
    return text;
}

std::string Times(double ratio) {
    char text[32];
    std::snprintf(text, sizeof text, "×%.2f", ratio);
    return text;
}

const Point* At(const Series& s, int size) {
    for (const Point& p : s.points)
        if (p.size == size) return &p;
    return nullptr;
}

// Per-operation time at the largest size over that at 10, and the ratio of
// the sizes, which linear growth would not exceed.
bool Growth(const Series& s, double& growth, double& sizes) {
    const Point* from = At(s, kGrowthFrom);
    if (!from || s.points.empty() || s.points.back().size <= kGrowthFrom || from->plugin.median <= 0) return false;
    growth = s.points.back().plugin.median / from->plugin.median;
    sizes = static_cast<double>(s.points.back().size) / kGrowthFrom;
    return true;
}

void Table(std::ostream& out, const std::vector<Series>& series) {
    out << "| Case | Size | Host alone, median | With the plug-in, median | of which the call | With the plug-in, p95 | "
           "Plug-in / host | Growth from 10 |\n";
    out << "|---|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const Series& s : series) {
        double growth = 0, sizes = 0;
        bool grows = Growth(s, growth, sizes);
        for (const Point& p : s.points) {
            out << "| " << s.name << " | " << p.size << " " << s.unit << " | ";
            out << (p.host ? Ms(p.host->median) : "—") << " | " << Ms(p.plugin.median) << " | "
                << Ms(p.plugin.callMedian) << " | " << Ms(p.plugin.p95) << " | ";
            out << (p.host && p.host->median > 0 ? Times(p.plugin.median / p.host->median) : "—") << " | ";
            bool last = &p == &s.points.back();
            out << (grows && last ? Times(growth) + " (" + std::to_string(kGrowthFrom) + "→" + std::to_string(p.size) +
                                        ", linear: " + Times(sizes) + ")"
                                  : "")
                << " |\n";
        }
    }
}

struct Verdict {
    bool met = true;
    int judged = 0;
    std::ostringstream detail;
};

void Judge(Verdict& v, bool met, const std::string& what) {
    ++v.judged;
    if (!met) v.met = false;
    v.detail << "  - " << (met ? "met" : "**missed**") << ": " << what << "\n";
}

void Targets(std::ostream& out, const std::vector<Series>& series, bool& allMet) {
    Verdict opening, switching, growth, frame;
    for (const Series& s : series) {
        for (const Point& p : s.points) {
            if (s.limit == Limit::OverHost25 && p.host && p.host->median > 0) {
                double ratio = p.plugin.median / p.host->median;
                Judge(opening, ratio <= kMaxOverHost,
                      s.name + " at " + std::to_string(p.size) + ": " + Ms(p.plugin.median) + " against " +
                          Ms(p.host->median) + " (" + Times(ratio) + ")");
            }
            if (s.limit == Limit::Under2MsAt500 && p.size == 500)
                Judge(switching, p.plugin.median < kSwitchMs,
                      s.name + ": median " + Ms(p.plugin.median) + ", p95 " + Ms(p.plugin.p95));
            if (p.size == kFrameCheckAt && s.oneFrame) {
                // Where the host's own work is there to compare with, the
                // plug-in answers for what it adds to it.
                if (p.host) {
                    double added = p.plugin.median - p.host->median;
                    Judge(frame, added <= kFrameMs,
                          s.name + ": adds " + Ms(added > 0 ? added : 0) + " to the host's " + Ms(p.host->median));
                } else {
                    Judge(frame, p.plugin.p95 <= kFrameMs,
                          s.name + ": p95 " + Ms(p.plugin.p95) + " (the call alone: median " +
                              Ms(p.plugin.callMedian) + ")");
                }
            }
        }
        double g = 0, sizes = 0;
        if (Growth(s, g, sizes))
            Judge(growth, g <= sizes,
                  s.name + ": " + Times(g) + " from " + std::to_string(kGrowthFrom) + " to " +
                      std::to_string(s.points.back().size) + " " + s.unit + " (linear: " + Times(sizes) + ")");
    }
    auto item = [&](const char* title, const Verdict& v) {
        if (v.judged == 0) {
            out << "- " << title << ": not measured in this run\n";
            return;
        }
        out << "- " << title << ": " << (v.met ? "met" : "**missed**") << "\n" << v.detail.str();
        if (!v.met) allMet = false;
    };
    item("The plug-in adds at most 25% to opening a conversation", opening);
    item("A switch takes under 2 ms at 500 tabs", switching);
    item("No operation grows worse than linearly in the tab count", growth);
    item("Nothing the plug-in does at 100 tabs or 100 waiting contacts takes more than 16 ms (one frame)", frame);
}

// One block per series measured against the tab count, for the plot.
void Data(std::ostream& out, const std::vector<Series>& series) {
    for (const Series& s : series) {
        if (s.unit != "tabs open" || s.points.size() < 2) continue;
        out << "# " << s.name << "\n";
        for (const Point& p : s.points)
            out << p.size << "\t" << (p.host ? p.host->median : -1) << "\t" << p.plugin.median << "\t"
                << p.plugin.p95 << "\n";
        out << "\n\n";
    }
}

// The plot's script: milliseconds per operation against tabs open, both
// axes logarithmic, so that a slope of one is linear growth.
void PlotScript(std::ostream& out, const std::vector<Series>& series) {
    out << "set terminal pngcairo size 1000,640 font 'DejaVu Sans,10'\n"
           "set output 'cost.png'\n"
           "set title 'Cost per operation against tabs open (median; stand-in host under Wine)'\n"
           "set xlabel 'tabs open'\nset ylabel 'milliseconds per operation'\n"
           "set logscale xy\nset grid\nset key outside right top\nset xrange [0.8:700]\n"
           "set datafile missing '-1'\n";
    out << "plot ";
    int block = 0;
    bool first = true;
    for (const Series& s : series) {
        if (s.unit != "tabs open" || s.points.size() < 2) continue;
        bool hasHost = s.points.front().host.has_value();
        if (!first) out << ", \\\n     ";
        first = false;
        out << "'results.tsv' index " << block << " using 1:3 with linespoints lw 2 title '" << s.name
            << " (plug-in)'";
        if (hasHost)
            out << ", \\\n     'results.tsv' index " << block << " using 1:($2 > 0 ? $2 : 1/0) with linespoints dt 2 title '"
                << s.name << " (host alone)'";
        ++block;
    }
    out << ", \\\n     " << kFrameMs << " with lines lc rgb 'red' dt 3 title 'one frame (16 ms)'\n";
}

}  // namespace

bool WriteReport(const std::vector<Series>& series, const std::string& folder, const std::string& machine) {
    bool allMet = true;
    std::ostringstream md;
    md << "# Benchmark (" << kArchitecture << " build)\n\n" << machine << "\n\n";
    Table(md, series);
    md << "\n## Targets\n\n";
    Targets(md, series, allMet);
    std::ofstream(folder + "/results.md") << md.str();
    std::ofstream data(folder + "/results.tsv");
    Data(data, series);
    std::ofstream(folder + "/plot.gp") << [&] {
        std::ostringstream gp;
        PlotScript(gp, series);
        return gp.str();
    }();
    std::fputs(md.str().c_str(), stdout);
    return allMet;
}

}  // namespace Bench

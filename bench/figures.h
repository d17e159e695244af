// The clock and the figures every benchmark program reports, shared by the
// benchmark and the bare system program (which links nothing of ours).
#pragma once

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace BenchFigures {

// Milliseconds from the performance counter.
inline double NowMs() {
    static const double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / perMs;
}

inline double Median(std::vector<double> ms) {
    if (ms.empty()) return 0;
    std::sort(ms.begin(), ms.end());
    size_t n = ms.size();
    return n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
}

// Nearest rank.
inline double Percentile95(std::vector<double> ms) {
    if (ms.empty()) return 0;
    std::sort(ms.begin(), ms.end());
    size_t n = ms.size();
    size_t rank = static_cast<size_t>(std::ceil(0.95 * static_cast<double>(n)));
    return ms[std::min(n, std::max<size_t>(rank, 1)) - 1];
}

// Three significant figures or so, as the reports print times.
inline std::string Ms(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, ms < 1 ? "%.3f ms" : ms < 10 ? "%.2f ms" : "%.1f ms", ms);
    return text;
}

}  // namespace BenchFigures

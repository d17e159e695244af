// The measured cases. Each runs the stand-in host alone (where the host has
// work of its own to compare with) and the host with the plug-in, in turn.
#pragma once

#include <string>
#include <vector>

#include "report.h"

namespace Bench {

struct Plan {
    int samples = 25;       // per point; the costliest points take fewer
    bool quick = false;     // a short run: fewer samples, smaller sizes
    std::string only;       // run only the cases whose name holds this text
    bool trace = false;     // print every message of the counted runs
};

std::vector<Series> RunAll(const Plan& plan);

}  // namespace Bench

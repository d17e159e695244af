// The benchmark: what the plug-in costs the host on its user-interface
// thread, side by side with the stand-in host alone, in one process run.
//
//   zavernok_bench.exe [FOLDER] [--quick] [--only TEXT] [--trace]
//
// --trace prints every window message of the counted runs, with the time
// since the one before: where a count is higher than it should be, this says
// which messages make it up.
//
// Writes results.md, results.tsv and plot.gp into FOLDER (default "bench").
// Exits 0 when every target was met, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "cases.h"

namespace {

std::string Machine() {
    using Version = const char*(CDECL*)();
    auto wine = reinterpret_cast<Version>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")));
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    std::string text = "Run on ";
    text += wine ? std::string("Wine ") + wine() : std::string("Windows");
    text += ", " + std::to_string(info.dwNumberOfProcessors) + " processors. Times are per operation, ";
    text += "including the window messages it leaves queued (painting among them).";
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = "bench";
    Bench::Plan plan;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            plan.quick = true;
        else if (std::strcmp(argv[i], "--trace") == 0)
            plan.trace = true;
        else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc)
            plan.only = argv[++i];
        else
            folder = argv[i];
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    std::printf("Measuring%s:\n", plan.quick ? " (quick)" : "");
    std::vector<Bench::Series> series = Bench::RunAll(plan);
    return Bench::WriteReport(series, folder, Machine()) ? 0 : 1;
}

// The stand-in host as a program: loads the plug-in, runs its life cycle and
// prints what the plug-in declared, registered and logged.
#include <cstdio>
#include <string>

#include "dev_host.h"
#include "host/requests.h"

using namespace DevHostLib;

namespace {

void PrintDeclarations(const DevHost& host) {
    std::printf("Kolumny zadeklarowane przez wtyczkę: %u\n", static_cast<unsigned>(host.config.Declarations().size()));
    for (const ColumnInfo& c : host.config.Declarations()) {
        if (c.IsText())
            std::printf("  %d [%s] = \"%s\"\n", c.column, c.key.c_str(), c.textDefault.c_str());
        else
            std::printf("  %d [%s] = %d\n", c.column, c.key.c_str(), c.intDefault);
    }
}

void PrintLog(const DevHost& host) {
    std::printf("Dziennik wtyczki: %u linii\n", static_cast<unsigned>(host.log.size()));
    for (const LogLine& line : host.log) std::printf("  [%d] %s\n", line.level, line.text.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "zavernok.dll";
    DevHost host;
    if (!host.Load(path)) {
        std::printf("Nie udało się wczytać %s\n", path);
        return 1;
    }
    host.contacts.Add("ala@velmora", "Ala");
    host.contacts.Add("jan@velmora", "Jan");
    std::printf("Wtyczka: %s (%s), numer %d\n", reinterpret_cast<const char*>(host.Call(Host::kMsgName)),
                reinterpret_cast<const char*>(host.Call(Host::kMsgSignature)), host.Call(Host::kMsgNumber));
    host.Start();
    PrintDeclarations(host);
    std::printf("Zapytania wysłane do hosta: %u\n", static_cast<unsigned>(host.sent.size()));
    host.Stop();
    PrintLog(host);
    host.Unload();
    return 0;
}

// The stand-in host as a program: loads the plug-in, runs its life cycle and
// prints what the plug-in declared, registered and logged.
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "dev_host.h"
#include "host/requests.h"

using namespace DevHostLib;

namespace {

// Texts are code page 1250 (the host's and the plug-in's); the terminal gets
// UTF-8.
void Print(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    int wide = MultiByteToWideChar(1250, 0, line, -1, nullptr, 0);
    std::vector<wchar_t> w(wide);
    MultiByteToWideChar(1250, 0, line, -1, w.data(), wide);
    int narrow = WideCharToMultiByte(CP_UTF8, 0, w.data(), -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> utf8(narrow);
    WideCharToMultiByte(CP_UTF8, 0, w.data(), -1, utf8.data(), narrow, nullptr, nullptr);
    std::fputs(utf8.data(), stdout);
}

void PrintDeclarations(const DevHost& host) {
    Print("Kolumny zadeklarowane przez wtyczkę: %u\n", static_cast<unsigned>(host.config.Declarations().size()));
    for (const ColumnInfo& c : host.config.Declarations()) {
        if (c.IsText())
            Print("  %d [%s] = \"%s\"\n", c.column, c.key.c_str(), c.textDefault.c_str());
        else
            Print("  %d [%s] = %d\n", c.column, c.key.c_str(), c.intDefault);
    }
}

void PrintLog(const DevHost& host) {
    Print("Dziennik wtyczki: %u linii\n", static_cast<unsigned>(host.log.size()));
    for (const LogLine& line : host.log) Print("  [%d] %s\n", line.level, line.text.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    SetConsoleOutputCP(CP_UTF8);
    const char* path = argc > 1 ? argv[1] : "zavernok.dll";
    DevHost host;
    if (!host.Load(path)) {
        Print("Nie udało się wczytać %s\n", path);
        return 1;
    }
    host.contacts.Add("ala@velmora", "Ala");
    host.contacts.Add("jan@velmora", "Jan");
    Print("Wtyczka: %s (%s), numer %d\n", reinterpret_cast<const char*>(host.Call(Host::kMsgName)),
                reinterpret_cast<const char*>(host.Call(Host::kMsgSignature)), host.Call(Host::kMsgNumber));
    host.Start();
    PrintDeclarations(host);
    Print("Zapytania wysłane do hosta: %u\n", static_cast<unsigned>(host.sent.size()));
    host.Stop();
    PrintLog(host);
    host.Unload();
    return 0;
}

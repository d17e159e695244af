// The stand-in messenger as a program, with the plug-in loaded:
//
//   devhost-demo [--config FILE] [PLUGIN.dll]   the messenger's window, to use by hand
//   devhost-demo --tour FOLDER [PLUGIN.dll]     the scripted tour; pictures go to FOLDER
//   devhost-demo --identify [PLUGIN.dll]        one line: what the messenger learns of
//                                               the plug-in when it loads it
//
// The messenger keeps its configuration store in FILE (default
// demo-config.txt) between runs. The tour ends with 0 when every step showed
// what it should.
#include <cstdio>
#include <cstring>
#include <string>

#include "dev_host.h"
#include "host/requests.h"
#include "messenger.h"
#include "tour.h"

using namespace DevHostLib;

namespace {

constexpr char kDefaultPlugin[] = "zavernok.dll";
constexpr char kDefaultConfig[] = "demo-config.txt";

struct Options {
    std::string plugin = kDefaultPlugin;
    std::string config = kDefaultConfig;
    std::string tourFolder;
    bool identify = false;
    bool valid = true;
};

Options Parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--tour") == 0 && hasValue)
            options.tourFolder = argv[++i];
        else if (std::strcmp(argv[i], "--config") == 0 && hasValue)
            options.config = argv[++i];
        else if (std::strcmp(argv[i], "--identify") == 0)
            options.identify = true;
        else if (argv[i][0] != '-')
            options.plugin = argv[i];
        else
            options.valid = false;
    }
    return options;
}

int RunMessenger(const Options& options) {
    DevHost host;
    if (!host.Load(options.plugin.c_str())) {
        std::fprintf(stderr, "demo: cannot load %s\n", options.plugin.c_str());
        return 1;
    }
    host.state.config.Load(options.config);
    host.controls.onSaveSettings = [&host, &options] { host.state.config.Save(options.config); };
    Messenger::AddSampleContacts(host.state.contacts);
    Messenger messenger(host);
    host.Start();
    messenger.Show(40, 40, 340, 480);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    host.state.config.Save(options.config);
    std::printf("demo: the configuration is kept in %s\n", options.config.c_str());
    return 0;
}

// The plug-in's number, signature and name (asked before it has the host
// control object, as the messenger asks them), the version the messenger
// reads from its file, then a start and an end. Answers 1 when it does not
// load.
int Identify(const Options& options) {
    DevHost host;
    if (!host.Load(options.plugin.c_str())) {
        std::fprintf(stderr, "demo: cannot load %s\n", options.plugin.c_str());
        return 1;
    }
    auto text = [](intptr_t answer) {
        const char* t = reinterpret_cast<const char*>(answer);
        return std::string(t ? t : "");
    };
    int number = static_cast<int>(host.Call(Host::kMsgNumber));
    std::string signature = text(host.Call(Host::kMsgSignature));
    std::string name = text(host.Call(Host::kMsgName));
    std::string version = DevHost::VersionText(host.PluginVersion(number));
    host.Start();
    host.Stop();
    host.Unload();
    std::printf("%s: number %d, signature \"%s\", name \"%s\", version %s; started and ended\n",
                options.plugin.c_str(), number, signature.c_str(), name.c_str(), version.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options = Parse(argc, argv);
    if (!options.valid) {
        std::fprintf(stderr, "usage: devhost-demo [--config FILE | --tour FOLDER | --identify] [PLUGIN.dll]\n");
        return 2;
    }
    if (options.identify) return Identify(options);
    if (!options.tourFolder.empty()) return RunTour(options.plugin, options.tourFolder);
    return RunMessenger(options);
}

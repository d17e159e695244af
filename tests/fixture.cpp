#include "fixture.h"

#ifndef ZAVERNOK_DLL
#define ZAVERNOK_DLL "zavernok.dll"
#endif

void PluginTest::SetUp() {
    host = std::make_unique<DevHostLib::DevHost>();
    ASSERT_TRUE(host->Load(ZAVERNOK_DLL)) << "cannot load " ZAVERNOK_DLL;
}

void PluginTest::TearDown() {
    host.reset();
    // The plug-in never unregisters its classes; the next test loads the DLL
    // afresh, so the classes must not point into the module that is gone.
    UnregisterClassA("Tabs", GetModuleHandleA(nullptr));
    UnregisterClassA("TabsCont", GetModuleHandleA(nullptr));
}

void PluginTest::Boot() { host->Start(); }

int PluginTest::AddContact(const std::string& display, int network, int status) {
    std::string user = display + "@velmora";
    for (char& ch : user)
        if (ch == ' ') ch = '.';
    return host->state.contacts.Add(user, display, network, status);
}

#include "harness.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "host/requests.h"

namespace Bench {

namespace {

constexpr int kBarViewId = 11;  // the container's child the tab bar lies in
constexpr int kBarId = 10;
constexpr int kFirstTab = 2;  // after the close and detach buttons
constexpr int kCloseOthers = 306005;

void HoldKeys(std::initializer_list<int> keys) {
    BYTE state[256] = {};
    for (int k : keys) state[k] = 0x80;
    SetKeyboardState(state);
}

using BenchFigures::Median;
using BenchFigures::Percentile95;

}  // namespace

Figures Summarise(std::vector<double> ms, std::vector<double> callMs) {
    Figures f;
    f.samples = static_cast<int>(ms.size());
    f.median = Median(ms);
    f.p95 = Percentile95(ms);
    f.callMedian = Median(callMs);
    return f;
}

Figures Measure(int samples, const std::function<void(int)>& work, const std::function<void(int)>& prepare,
                const std::function<void(int)>& restore) {
    std::vector<double> ms, callMs;
    for (int i = 0; i < samples; ++i) {
        if (prepare) prepare(i);
        DevHostLib::DevHost::Pump();
        double start = NowMs();
        work(i);
        double called = NowMs();
        DevHostLib::DevHost::Pump();
        ms.push_back(NowMs() - start);
        callMs.push_back(called - start);
        if (restore) restore(i);
    }
    return Summarise(ms, callMs);
}

World::World(bool withPlugin, int contactCount, bool start) : withPlugin(withPlugin) {
    host = std::make_unique<DevHostLib::DevHost>();
    for (int i = 0; i < contactCount; ++i) {
        std::string name = "Kontakt " + std::to_string(i + 1);
        contacts.push_back(host->state.contacts.Add("kontakt" + std::to_string(i + 1) + "@velmora", name));
    }
    if (withPlugin && host->Load("zavernok.dll") && start) host->Start();
    DevHostLib::DevHost::Pump();
}

World::~World() {
    host.reset();
    // The plug-in leaves its classes registered; the next world loads the
    // DLL afresh.
    UnregisterClassA("Tabs", GetModuleHandleA(nullptr));
    UnregisterClassA("TabsCont", GetModuleHandleA(nullptr));
}

void World::Open(int from, int to) {
    for (int i = from; i < to; ++i) {
        host->state.conversations.Open(Contact(i));
        if (i % 50 == 49) {
            DevHostLib::DevHost::Pump();
            host->ForgetRecords();
        }
    }
    DevHostLib::DevHost::Pump();
    host->ForgetRecords();
}

HWND World::Container() { return reinterpret_cast<HWND>(host->Call(Host::kAskContainer)); }

HWND World::Bar() { return GetDlgItem(GetDlgItem(Container(), kBarViewId), kBarId); }

int World::Current() { return host->Call(Host::kAskCurrentContact); }

POINT World::TabCentre(int contact) {
    HWND bar = Bar();
    int index = static_cast<int>(SendMessageA(bar, TB_COMMANDTOINDEX, contact & 0xBFFFFFFF, 0));
    RECT r{};
    SendMessageA(bar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void World::ClickBar(POINT at) {
    HWND bar = Bar();
    LPARAM where = MAKELPARAM(at.x, at.y);
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageA(bar, WM_LBUTTONUP, 0, where);
}

std::vector<int> World::TabsInSight() {
    HWND bar = Bar();
    HWND holder = GetParent(bar);
    RECT seen{};
    GetClientRect(holder, &seen);
    std::vector<int> tabs;
    int count = static_cast<int>(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
    for (int index = kFirstTab; index < count; ++index) {
        RECT r{}, inside{};
        if (!SendMessageA(bar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r))) continue;
        MapWindowPoints(bar, holder, reinterpret_cast<POINT*>(&r), 2);
        if (!IntersectRect(&inside, &r, &seen) || !EqualRect(&inside, &r)) continue;
        TBBUTTON button{};
        SendMessageA(bar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
        tabs.push_back(button.idCommand | 0x40000000);
    }
    return tabs;
}

int World::NextTab() {
    HWND bar = Bar();
    int count = static_cast<int>(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
    int index = static_cast<int>(SendMessageA(bar, TB_COMMANDTOINDEX, Current() & 0xBFFFFFFF, 0)) + 1;
    TBBUTTON button{};
    SendMessageA(bar, TB_GETBUTTON, index < count ? index : kFirstTab, reinterpret_cast<LPARAM>(&button));
    return button.idCommand | 0x40000000;
}

void World::CtrlTab(bool shift) {
    HWND edit = host->state.conversations.EditControl(Current());
    if (shift)
        HoldKeys({VK_CONTROL, VK_SHIFT});
    else
        HoldKeys({VK_CONTROL});
    SendMessageA(edit, WM_KEYDOWN, VK_TAB, 1);
    SendMessageA(edit, WM_KEYUP, VK_TAB, static_cast<LPARAM>(0xC0000001));
    HoldKeys({});
}

void World::CloseOthers(int contact) {
    host->Notify({kCloseOthers, Host::kGroupContactMenu, contact}, Host::kNoticeAction);
}

}  // namespace Bench

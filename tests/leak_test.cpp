// What hundreds of conversations opened, detached, attached again and closed
// leave behind in the host's process: windows, window properties on the
// host's windows, USER and GDI objects and heap, each back where it started.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "conversation_fixture.h"
#include "host/columns.h"
#include "ui/elements.h"

using namespace DevHostLib;

namespace {

// Under Wine a cycle takes about a fifth of a second (a window built with
// its toolbar, shown as a top-level window of its own, carried back and
// taken back): the thousand take about four minutes. ZAVERNOK_LEAK_CYCLES=<number> runs
// another count.
constexpr int kDefaultCycles = 1000;
constexpr int kWarmUpCycles = 20;
constexpr int kContainerWidth = 160;
constexpr int kContainerHeight = 120;
// A cycle builds and frees a conversation window with its controls, records,
// texts and the tab's strings; a leak of the smallest of them (one string,
// one list node: 48 bytes and more) in every cycle would grow the heap by
// 48 kB over the thousand cycles, and still by 4.8 kB over a hundred. A run
// of any length ends a few hundred bytes above where it started (caches of
// the system's that grow now and then; a thousand cycles end at the same few
// hundred bytes as a hundred).
constexpr long long kHeapTolerance = 4 * 1024;
// The plug-in looks at the cursor of a carried window every 30 ms.
constexpr DWORD kFollowWaitMs = 40;

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, CountChild, count);
    return TRUE;
}

int ThreadWindowCount() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

BOOL CALLBACK CollectName(HWND, LPSTR name, HANDLE, ULONG_PTR names) {
    if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) && std::string(name).rfind("__wine", 0) != 0)
        reinterpret_cast<std::vector<std::string>*>(names)->push_back(name);
    return TRUE;
}

std::vector<std::string> Properties(HWND window) {
    std::vector<std::string> names;
    if (window) EnumPropsExA(window, CollectName, reinterpret_cast<LPARAM>(&names));
    std::sort(names.begin(), names.end());
    return names;
}

// Bytes in use in every heap of the process.
long long HeapInUse() {
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    long long used = 0;
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap)) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heap, &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) used += entry.cbData;
        HeapUnlock(heap);
    }
    return used;
}

struct Footprint {
    int windows;
    DWORD userObjects;
    DWORD gdiObjects;
    std::vector<std::string> keptWindowProperties;
    std::vector<std::string> keptEditProperties;
    std::vector<std::string> keptViewProperties;
    long long heap;
};

}  // namespace

class ProcessLeaks : public ConversationTest {
protected:
    Footprint Measure(int kept) {
        DevHost::Pump();
        host->ForgetRecords();
        return {ThreadWindowCount(),
                GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS),
                GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                Properties(WindowOf(kept)),
                Properties(Edit(kept)),
                Properties(host->state.conversations.MessageView(kept)),
                HeapInUse()};
    }
    void ToggleAttach(int contact) {
        host->Notify({Tabs::Element::AttachDetach, Host::kGroupContactMenu, contact}, Host::kNoticeAction);
    }
    // Carried back onto the bar with the move loop's steps done here (a
    // thousand real loops would take minutes), in the loop's order: the start
    // event with the cursor on the caption, the window and the cursor moved
    // onto the bar, the plug-in's look at the cursor, the end event.
    void CarryBack(int contact) {
        HWND window = WindowOf(contact);
        POINT grab = CaptionOf(window);
        SetCursorPos(grab.x, grab.y);
        NotifyWinEvent(EVENT_SYSTEM_MOVESIZESTART, window, OBJID_WINDOW, CHILDID_SELF);
        DevHost::Pump();
        RECT bar{}, r{};
        GetWindowRect(Bar(), &bar);
        GetWindowRect(window, &r);
        POINT onBar{bar.right - 4, bar.top + 4};
        SetWindowPos(window, nullptr, r.left + onBar.x - grab.x, r.top + onBar.y - grab.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetCursorPos(onBar.x, onBar.y);
        Sleep(kFollowWaitMs);
        DevHost::Pump();
        NotifyWinEvent(EVENT_SYSTEM_MOVESIZEEND, window, OBJID_WINDOW, CHILDID_SELF);
        DevHost::Pump();
    }
    // Opened (a tab), detached, carried back onto the bar, closed; the kept
    // conversation is detached and attached again beside it, and the quick
    // switcher opened from it, typed in and closed.
    void Cycle(int kept, int passing) {
        Open(passing);
        ToggleAttach(passing);
        CarryBack(passing);
        ASSERT_TRUE(Tabbed(WindowOf(passing))) << "carried back in";
        ToggleAttach(kept);
        ToggleAttach(kept);
        host->Notify({Tabs::Element::Close, Host::kGroupContactMenu, passing}, Host::kNoticeAction);
        Press(Edit(kept), 'K', {VK_CONTROL});
        HWND field = GetFocus();
        SendMessageA(field, WM_CHAR, 'j', 1);
        Press(field, VK_ESCAPE);
    }
};

TEST_F(ProcessLeaks, ConversationsOpenedDetachedAttachedAndClosedOverAndOverLeaveTheProcessAsItWas) {
    // A small container makes small tabs, and small windows are quick to
    // show, move and paint: a thousand cycles stay within seconds.
    host->state.config.SetInt(0, 0, Tabs::Column::PosW, kContainerWidth);
    host->state.config.SetInt(0, 0, Tabs::Column::PosH, kContainerHeight);
    Boot();
    int kept = AddContact("Ala");
    int passing = AddContact("Jan");
    Open(kept);
    for (int i = 0; i < kWarmUpCycles; ++i) Cycle(kept, passing);
    Footprint before = Measure(kept);

    const char* asked = std::getenv("ZAVERNOK_LEAK_CYCLES");
    const int cycles = asked && *asked ? std::atoi(asked) : kDefaultCycles;
    for (int i = 0; i < cycles; ++i) {
        Cycle(kept, passing);
        if (i % 100 == 99) {
            DevHost::Pump();
            host->ForgetRecords();
        }
    }
    Footprint after = Measure(kept);

    ASSERT_EQ(Tabs(), std::vector<int>{kept}) << "every cycle ran to its end";
    EXPECT_TRUE(host->state.conversations.leftovers.empty()) << host->state.conversations.leftovers.front();
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.userObjects, before.userObjects);
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    EXPECT_EQ(after.keptWindowProperties, before.keptWindowProperties);
    EXPECT_EQ(after.keptEditProperties, before.keptEditProperties);
    EXPECT_EQ(after.keptViewProperties, before.keptViewProperties);
    EXPECT_LE(after.heap - before.heap, kHeapTolerance)
        << "heap in use: " << before.heap << " bytes before, " << after.heap << " after";
    std::printf("leaks after %d cycles: %d windows, %lu USER and %lu GDI objects, heap %lld -> %lld bytes\n", cycles, after.windows,
                after.userObjects, after.gdiObjects, before.heap, after.heap);
}

// Attaching, switching and detaching conversation windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "host/ids.h"
#include "host/records.h"

namespace Tabs {

// Many conversations at once, as a restored session brings them: while
// `work` runs, each conversation the host builds is taken into the container
// and hooked, but neither shown, laid out nor given a button on its own, and
// a switch asked for meanwhile only names the tab to show. Afterwards their
// buttons come in one go, in the order the windows came, the bar is laid out
// once and the tab last asked for is shown, as if each had come alone.
struct AttachBatch {
    std::vector<int32_t> joined;  // in the order the host built them
    int32_t shown = 0;            // the tab last asked for
    int barCount = 0;             // the bar's buttons when it began
};
void AttachMany(const std::function<void()>& work);

int ChangeWindow(int32_t contact);
void MoveToWnd(int32_t contact);
void Activate();
// True while ChangeWindow is bringing a tab up; it activates the tab itself
// once the tab is shown.
bool ShowingTab();
void SelectNeighbour();
void ToggleAttach(ContactRef ref);
// A tab dragged out of the container: whether it can leave it, and leaving
// it as the detach button does, with the window's caption under the cursor.
bool CanTearOff(int32_t contact);
void TearOff(int32_t contact, POINT cursor);
// A window carried onto the tab bar: the contact of a host's conversation
// window that floats on its own and may go back into a tab (0 for any
// other window), and its going back as the attach action takes it, with
// its tab at a position of the bar (as PlaceTab takes it).
int32_t DetachedConversation(HWND window);
void DropIn(int32_t contact, HWND window, int position);
intptr_t ControlTrigger(const ActionNotice* notice);
void UpdateWindowButtons(ContactRef ref);

// Forwards a notice to a previous owner of a taken-over element as message
// 22200; a forward that would come back to this plug-in is dropped.
intptr_t ForwardNotice(int owner, const ActionNotice* notice);

// At the end of a run, or at the module's unload without one: every
// borrowed window goes back to the host with its own procedures, frame and
// no parent (hidden when it was a tab), so that no window outlives the
// plug-in with one of its procedures or properties. It never calls the host.
void ReleaseWindows();

}  // namespace Tabs

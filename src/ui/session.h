#pragma once

namespace Tabs {

int IStart();
int IEnd();
// The module is freed: whatever the plug-in still borrows or made goes back,
// without a single call into the host. After an end message only the window
// classes are left; without one, the whole run.
void ReleaseAtUnload();

}  // namespace Tabs

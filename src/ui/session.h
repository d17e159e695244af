#pragma once

#include <cstdint>

namespace Tabs {

int IStart();
int IEnd();
// The module is freed: whatever the plug-in still borrows or made goes back,
// without a single call into the host. After an end message only the window
// classes are left; without one, the whole run.
void ReleaseAtUnload();

// Whether the viewer plug-in is there to load a restored conversation's
// previous chat, and the user wants it.
bool AutoLoadWanted();
// The host opens a restored conversation; with autoLoad the viewer then
// loads its previous chat into the window.
void OpenRestored(int32_t contact, bool autoLoad);

}  // namespace Tabs

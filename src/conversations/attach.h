// Attaching, switching and detaching conversation windows.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/records.h"

namespace Tabs {

int ChangeWindow(int32_t contact);
void MoveToWnd(int32_t contact);
void Activate();
void SelectNeighbour();
void ToggleAttach(int32_t contactRef);
int ControlTrigger(const ActionNotice* notice);
void UpdateWindowButtons(int32_t contactRef);

// Forwards a notice to a previous owner of a taken-over element as message
// 22200; a forward that would come back to this plug-in is dropped.
int ForwardNotice(int owner, const ActionNotice* notice);

}  // namespace Tabs

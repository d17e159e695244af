// Closing one tab or all but one.
#pragma once

#include <cstdint>

namespace Tabs {

void CloseTab(int32_t contact);
void CloseTabs(int32_t leave);

}  // namespace Tabs

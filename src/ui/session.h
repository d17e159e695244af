#pragma once

namespace Tabs {

int IStart();
int IEnd();

}  // namespace Tabs

// The scripted tour: the stand-in messenger with the plug-in, used as a
// person would use it, one step at a time. Each step checks what the person
// would see (windows, tabs, titles, menus, stored settings) and some take a
// picture of the screen. The tour stops at the first step that does not
// show what it should.
#pragma once

#include <string>

namespace DevHostLib {

// Runs the tour with the plug-in at `plugin`; pictures and the host's
// configuration file go to `folder`. Answers 0 when every step passed.
int RunTour(const std::string& plugin, const std::string& folder);

}  // namespace DevHostLib

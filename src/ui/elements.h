// Ids of the plug-in's user-interface elements and icons, and the status
// words it registers elements with.
#pragma once

#include <cstdint>

#include "host/requests.h"

namespace Tabs::Element {
constexpr int Toolbar = 306001;
constexpr int AttachDetach = 306002;
constexpr int Close = 306003;
constexpr int Separator = 306004;
constexpr int CloseOthers = 306005;
constexpr int ClosedContactMenu = 306006;
constexpr int ClosedMainMenu = 306007;
constexpr int ClearList = 306008;
constexpr int ClosedSeparator = 306009;
constexpr int SettingsPage = 306100;
constexpr int ContactPage = 306201;
}  // namespace Tabs::Element

namespace Tabs::Icon {
constexpr int TabsIcon = 306201;
constexpr int CloseIcon = 306202;
constexpr int TabsResource = 101;
constexpr int CloseResource = 102;
}  // namespace Tabs::Icon

namespace Tabs::Cursor {
// An arrow carrying a small window: the cursor of a tab dragged where
// letting go tears it off.
constexpr int TearOffResource = 103;
}  // namespace Tabs::Cursor

// Bits 16 to 23 of an element's status select its kind; the rest are flags.
namespace Tabs::Status {
constexpr uint32_t InMenu = 0x01000000;
constexpr uint32_t Separator = 0x00010000;
constexpr uint32_t CheckBox = 0x00060000;
constexpr uint32_t GroupStart = 0x000F0000;
constexpr uint32_t GroupEnd = 0x00100000;
// The contact-menu entries start hidden: each showing of the menu shows them
// for a contact with a tab.
constexpr uint32_t HiddenInMenu = InMenu | Host::kStatusHidden;
static_assert(HiddenInMenu == 0x01000001);
}  // namespace Tabs::Status

// Ids of the plug-in's user-interface elements and icons.
#pragma once

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

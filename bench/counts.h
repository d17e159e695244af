// What an operation makes the system do, counted by message hooks on the
// thread (outside the plug-in): the window messages the plug-in's and the
// host's windows receive, the paints, the caption and tab button changes and
// the focus changes. Unlike times, these do not vary from machine to machine.
#pragma once

#include <windows.h>

#include <functional>

namespace Bench {

struct Counts {
    int pluginMessages = 0;   // to the container, its content child, the tab bar and its tooltips
    int hostMessages = 0;     // to the host's windows: conversations with their controls, the main window
    int newPaints = 0;        // WM_PAINT to the conversation brought up and its controls
    int newWindows = 0;       // how many of its windows were painted
    int oldPaints = 0;        // the conversation shown before
    int otherPaints = 0;      // every other conversation
    int barPaints = 0;        // the tab bar
    int buttonsPainted = 0;   // tab bar buttons inside the bar's update region, summed over its paints
    int containerPaints = 0;  // the container (client and frame) and its content child (erasing included)
    int captionChanges = 0;   // WM_SETTEXT to the container
    int buttonStates = 0;     // checked and pressed states set on tab bar buttons
    int buttonLooks = 0;      // texts and images set on tab bar buttons
    int focusChanges = 0;     // WM_SETFOCUS to any window
    SIZE shown{-1, -1};       // client size of the conversation brought up, afterwards: 0 when it is not
                              // seen, -1 when the operation brings none up
};

// Which conversations an operation is about: the one it brings up and the
// one shown before it (contact ids; 0 for none).
struct Roles {
    int newContact = 0;
    int oldContact = 0;
};

// Runs `work` and the messages it left queued, with every message of the
// thread counted; then waits briefly for what the display sends back
// (exposures) and counts that too. `trace` prints every message counted.
Counts CountMessages(const std::function<void()>& work, Roles roles, HWND container, bool trace = false);

}  // namespace Bench

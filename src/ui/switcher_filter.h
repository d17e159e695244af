// What the quick switcher lists and which rows the typed text keeps: pure
// functions of texts and contact lists, in code page 1250 as every text of
// the plug-in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "conversations/registry.h"

namespace Tabs {

// A letter folded to what typing compares: capitals to small letters and
// the Polish letters to their base letters ("Ł" and "ł" to "l"); every other
// byte stays as it is.
char FoldLetter(char letter);
std::string Fold(const std::string& text);

// The typed text, folded and cut into words.
struct SwitcherQuery {
    std::vector<std::string> words;
};
SwitcherQuery ParseQuery(const std::string& typed);
// Where deleting a word back from the caret stops: over the blanks before
// the caret, then over the word before them.
size_t WordStartBefore(const std::string& typed, size_t caret);

// Whether a folded name holds every typed word at the start of one of its
// words; a single typed word of three letters or more may stand anywhere in
// it. Nothing typed keeps every name.
bool NameMatches(const std::string& foldedName, const SwitcherQuery& query);

// What the rows are made of, as the plug-in keeps it.
struct SwitcherSources {
    ContactList waiting;            // oldest first
    std::vector<int32_t> tabs;      // in bar order
    std::vector<int32_t> shown;     // tabs in the order last shown, most recent first
    int32_t current = 0;            // the tab shown now
    std::vector<int32_t> table;     // the host's contact table, in its order
};

// The rows before anything is typed: the conversations with waiting
// messages (newest first), then the other tabs in the order last shown
// (most recent first, those never shown in bar order, the shown tab last),
// then the contacts without a tab in the table's order. Each contact once;
// 0 never.
std::vector<int32_t> SwitcherOrder(const SwitcherSources& sources);

}  // namespace Tabs

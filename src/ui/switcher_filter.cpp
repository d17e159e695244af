#include "ui/switcher_filter.h"

#include <cstring>
#include <unordered_set>

namespace Tabs {

namespace {

// The capital letters of code page 1250 beyond ASCII and their small
// letters: names from the neighbouring languages are typed without regard to
// case as well.
constexpr char kCapitals[] = "ŠŚŤŽŹŁĄŞŻĽŔÁÂĂÄĹĆÇČÉĘËĚÍÎĎĐŃŇÓÔŐÖŘŮÚŰÜÝŢ";
constexpr char kSmallLetters[] = "šśťžźłąşżľŕáâăäĺćçčéęëěíîďđńňóôőöřůúűüýţ";
static_assert(sizeof kCapitals == 41 && sizeof kSmallLetters == sizeof kCapitals,
              "one byte for each capital in code page 1250, and a small letter for each");
// The small Polish letters of code page 1250 and the base letter each folds to.
constexpr char kPolishLetters[] = "ąćęłńóśźż";
constexpr char kBaseLetters[] = "acelnoszz";
static_assert(sizeof kPolishLetters == 10 && sizeof kBaseLetters == sizeof kPolishLetters,
              "one byte for each Polish letter in code page 1250, and a base letter for each");

struct FoldTable {
    char to[256];
};

constexpr FoldTable MakeFoldTable() {
    FoldTable table{};
    for (int byte = 0; byte < 256; ++byte)
        table.to[byte] = static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte);
    for (int i = 0; kCapitals[i]; ++i) table.to[static_cast<unsigned char>(kCapitals[i])] = kSmallLetters[i];
    for (int i = 0; kPolishLetters[i]; ++i) {
        for (char& to : table.to)
            if (to == kPolishLetters[i]) to = kBaseLetters[i];
    }
    return table;
}

constexpr FoldTable kFold = MakeFoldTable();

// Typed words need at least this many letters to be found inside a word.
constexpr size_t kAnywhereFrom = 3;

// Besides ASCII punctuation and blanks, names part their words with the
// no-break space, quotes, dashes and the ellipsis of code page 1250.
constexpr char kOtherSeparators[] = "\x84\x85\x91\x92\x93\x94\x96\x97\xA0\xAB\xBB";

bool IsSeparator(char byte) {
    auto b = static_cast<unsigned char>(byte);
    if (b < 0x80) return !((b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z'));
    return std::strchr(kOtherSeparators, byte) != nullptr;
}

bool IsBlank(char byte) { return byte == ' ' || byte == '\t' || byte == '\xA0'; }

bool AtWordStart(const std::string& name, const std::string& word) {
    for (size_t at = 0; at + word.size() <= name.size(); ++at)
        if ((at == 0 || IsSeparator(name[at - 1])) && name.compare(at, word.size(), word) == 0) return true;
    return false;
}

}  // namespace

char FoldLetter(char letter) { return kFold.to[static_cast<unsigned char>(letter)]; }

std::string Fold(const std::string& text) {
    std::string folded(text);
    for (char& byte : folded) byte = FoldLetter(byte);
    return folded;
}

SwitcherQuery ParseQuery(const std::string& typed) {
    SwitcherQuery query;
    std::string word;
    for (char byte : typed + ' ') {
        if (!IsBlank(byte)) {
            word += FoldLetter(byte);
        } else if (!word.empty()) {
            query.words.push_back(word);
            word.clear();
        }
    }
    return query;
}

size_t WordStartBefore(const std::string& typed, size_t caret) {
    size_t at = caret < typed.size() ? caret : typed.size();
    while (at > 0 && IsBlank(typed[at - 1])) --at;
    while (at > 0 && !IsBlank(typed[at - 1])) --at;
    return at;
}

bool NameMatches(const std::string& foldedName, const SwitcherQuery& query) {
    if (query.words.size() == 1 && query.words.front().size() >= kAnywhereFrom)
        return foldedName.find(query.words.front()) != std::string::npos;
    for (const std::string& word : query.words)
        if (!AtWordStart(foldedName, word)) return false;
    return true;
}

std::vector<int32_t> SwitcherOrder(const SwitcherSources& sources) {
    std::vector<int32_t> order;
    std::unordered_set<int32_t> listed;
    auto add = [&](int32_t contact) {
        if (contact != 0 && listed.insert(contact).second) order.push_back(contact);
    };
    for (auto it = sources.waiting.rbegin(); it != sources.waiting.rend(); ++it) add(*it);
    const std::unordered_set<int32_t> tabs(sources.tabs.begin(), sources.tabs.end());
    for (int32_t contact : sources.shown)
        if (contact != sources.current && tabs.count(contact)) add(contact);
    for (int32_t contact : sources.tabs)
        if (contact != sources.current) add(contact);
    if (tabs.count(sources.current)) add(sources.current);
    for (int32_t contact : sources.table)
        if (!tabs.count(contact)) add(contact);
    return order;
}

}  // namespace Tabs

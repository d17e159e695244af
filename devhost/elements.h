// The host's registry of user-interface elements: menus, entries, toolbars,
// buttons, settings pages and their controls. Elements are known by
// {id, parent}; a group keeps its children in order. Status and text can be
// changed for one contact (a menu built for that contact) or for all.
#pragma once

#include <windows.h>

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

namespace DevHostLib {

constexpr uint32_t kHoldsOthers = 0x100000;  // element type of a group

struct Element {
    int id = 0;
    int parent = 0;
    int owner = 0;  // plug-in number; 0 is the host itself
    uint32_t status = 0;
    uint32_t elementType = 0;
    std::string text;
    int param = 0;
    int extra1 = 0;
    int extra2 = 0;
    int position = -1;  // as registered
    uint16_t width = 0, height = 0, x = 0, y = 0;
    bool extended = false;
    HWND window = nullptr;  // the control's window while one exists
    std::map<int, uint32_t> contactStatus;
    std::map<int, std::string> contactText;

    uint32_t StatusFor(int contact) const;
    const std::string& TextFor(int contact) const;
    bool HiddenFor(int contact) const { return (StatusFor(contact) & 1) != 0; }
};

class ElementRegistry {
public:
    ElementRegistry() = default;
    ElementRegistry(const ElementRegistry&) = delete;
    ElementRegistry& operator=(const ElementRegistry&) = delete;

    // Inserts among the parent's children: -1 appends, n >= 0 inserts before
    // the n-th child (or appends when there are fewer). An element with an id
    // replaces the one registered with the same {id, parent}; elements with
    // id 0 (settings controls nobody addresses) are all kept.
    Element& Insert(const Element& element, int position);
    // Removes the element and everything it holds.
    bool Remove(int id, int parent);
    Element* Find(int id, int parent);
    const Element* Find(int id, int parent) const;
    // The first element with this id under any parent.
    Element* FindAnyParent(int id);
    std::vector<int> Children(int group) const;
    std::vector<const Element*> ChildElements(int group) const;
    std::vector<Element*> ChildElements(int group);
    int ChildCount(int group) const { return static_cast<int>(Children(group).size()); }
    void Clear();

private:
    std::list<Element> elements;
    std::map<int, std::vector<Element*>> order;  // group -> children in order
};

}  // namespace DevHostLib

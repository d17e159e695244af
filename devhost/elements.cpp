#include "elements.h"

#include <algorithm>

namespace DevHostLib {

uint32_t Element::StatusFor(int contact) const {
    auto it = contactStatus.find(contact);
    return it == contactStatus.end() ? status : it->second;
}

const std::string& Element::TextFor(int contact) const {
    auto it = contactText.find(contact);
    return it == contactText.end() ? text : it->second;
}

Element& ElementRegistry::Insert(const Element& element, int position) {
    Remove(element.id, element.parent);
    std::vector<int>& children = order[element.parent];
    if (position < 0 || position >= static_cast<int>(children.size()))
        children.push_back(element.id);
    else
        children.insert(children.begin() + position, element.id);
    Element& stored = elements[Key{element.id, element.parent}];
    stored = element;
    return stored;
}

bool ElementRegistry::Remove(int id, int parent) {
    auto it = elements.find(Key{id, parent});
    if (it == elements.end()) return false;
    elements.erase(it);
    std::vector<int>& siblings = order[parent];
    siblings.erase(std::find(siblings.begin(), siblings.end(), id));
    // A group goes with everything it holds, unless the same id is still
    // registered under another parent. Id 0 names no group: the elements
    // under "group 0" are the host's top level, not children of an unnamed
    // control.
    if (id == 0) return true;
    bool stillThere = false;
    for (const auto& [key, e] : elements)
        if (key.id == id) stillThere = true;
    if (!stillThere) {
        std::vector<int> children = order[id];
        for (int child : children) Remove(child, id);
        order.erase(id);
    }
    return true;
}

Element* ElementRegistry::Find(int id, int parent) {
    auto it = elements.find(Key{id, parent});
    return it == elements.end() ? nullptr : &it->second;
}

const Element* ElementRegistry::Find(int id, int parent) const {
    auto it = elements.find(Key{id, parent});
    return it == elements.end() ? nullptr : &it->second;
}

Element* ElementRegistry::FindAnyParent(int id) {
    for (auto& [key, e] : elements)
        if (key.id == id) return &e;
    return nullptr;
}

std::vector<int> ElementRegistry::Children(int group) const {
    auto it = order.find(group);
    return it == order.end() ? std::vector<int>() : it->second;
}

void ElementRegistry::Clear() {
    elements.clear();
    order.clear();
}

}  // namespace DevHostLib

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
    if (element.id != 0) Remove(element.id, element.parent);
    elements.push_back(element);
    Element* stored = &elements.back();
    std::vector<Element*>& children = order[element.parent];
    if (position < 0 || position >= static_cast<int>(children.size()))
        children.push_back(stored);
    else
        children.insert(children.begin() + position, stored);
    return *stored;
}

bool ElementRegistry::Remove(int id, int parent) {
    Element* e = Find(id, parent);
    if (!e) return false;
    std::vector<Element*>& siblings = order[parent];
    siblings.erase(std::find(siblings.begin(), siblings.end(), e));
    elements.remove_if([e](const Element& x) { return &x == e; });
    // A group goes with everything it holds, unless the same id is still
    // registered under another parent.
    if (id != 0 && !FindAnyParent(id)) {
        std::vector<int> children = Children(id);
        for (int child : children) Remove(child, id);
        order.erase(id);
    }
    return true;
}

Element* ElementRegistry::Find(int id, int parent) {
    auto it = order.find(parent);
    if (it == order.end()) return nullptr;
    for (Element* e : it->second)
        if (e->id == id) return e;
    return nullptr;
}

const Element* ElementRegistry::Find(int id, int parent) const {
    return const_cast<ElementRegistry*>(this)->Find(id, parent);
}

Element* ElementRegistry::FindAnyParent(int id) {
    for (Element& e : elements)
        if (e.id == id) return &e;
    return nullptr;
}

std::vector<int> ElementRegistry::Children(int group) const {
    std::vector<int> ids;
    for (const Element* e : ChildElements(group)) ids.push_back(e->id);
    return ids;
}

std::vector<const Element*> ElementRegistry::ChildElements(int group) const {
    auto it = order.find(group);
    if (it == order.end()) return {};
    return std::vector<const Element*>(it->second.begin(), it->second.end());
}

std::vector<Element*> ElementRegistry::ChildElements(int group) {
    auto it = order.find(group);
    return it == order.end() ? std::vector<Element*>() : it->second;
}

void ElementRegistry::Clear() {
    elements.clear();
    order.clear();
}

}  // namespace DevHostLib

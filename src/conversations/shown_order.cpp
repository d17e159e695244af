#include "conversations/shown_order.h"

#include <algorithm>
#include <memory>
#include <unordered_set>

#include "container/container.h"

namespace Tabs {

namespace {

ContactList* OrderOf(HWND container) {
    return container ? static_cast<ContactList*>(GetPropA(container, kPropShownOrder)) : nullptr;
}

ContactList* MadeOrderOf(HWND container) {
    if (ContactList* order = OrderOf(container)) return order;
    auto made = std::make_unique<ContactList>();
    if (!container || !SetPropA(container, kPropShownOrder, made.get())) return nullptr;
    return made.release();
}

}  // namespace

void NoteShown(int32_t contact) {
    ContactList* order = MadeOrderOf(containerWnd);
    if (!order) return;
    ListRemove(*order, contact);
    order->push_front(contact);
}

ContactList ShownTabs(const std::vector<int32_t>& tabs) {
    ContactList* order = OrderOf(containerWnd);
    if (!order) return {};
    const std::unordered_set<int32_t> open(tabs.begin(), tabs.end());
    auto gone = [&](int32_t contact) { return open.count(contact) == 0; };
    order->erase(std::remove_if(order->begin(), order->end(), gone), order->end());
    return *order;
}

void DropShownOrder(HWND container) { delete static_cast<ContactList*>(RemovePropA(container, kPropShownOrder)); }

}  // namespace Tabs

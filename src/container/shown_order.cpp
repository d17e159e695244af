#include "container/shown_order.h"

#include <algorithm>
#include <unordered_set>

namespace Tabs {

void ShownOrder::Note(int32_t contact) {
    order.erase(std::remove(order.begin(), order.end(), contact), order.end());
    order.push_front(contact);
}

std::vector<int32_t> ShownOrder::Of(const std::vector<int32_t>& tabs) {
    const std::unordered_set<int32_t> open(tabs.begin(), tabs.end());
    auto gone = [&](int32_t contact) { return open.count(contact) == 0; };
    order.erase(std::remove_if(order.begin(), order.end(), gone), order.end());
    return {order.begin(), order.end()};
}

}  // namespace Tabs

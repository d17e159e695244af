// The order in which the container's tabs were last shown, most recent
// first, which the quick switcher lists them by. The container keeps it for
// as long as it lives, switcher open or not.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

namespace Tabs {

class ShownOrder {
public:
    // A tab was brought up.
    void Note(int32_t contact);
    // The tabs given (contacts) in the order last shown; contacts without a
    // tab any longer leave the order.
    std::vector<int32_t> Of(const std::vector<int32_t>& tabs);

private:
    std::deque<int32_t> order;
};

}  // namespace Tabs

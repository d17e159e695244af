// Copies of the records the host is handed or hands out, kept for the tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace DevHostLib {

// No record the host keeps a copy of is longer; a larger size is garbage.
constexpr size_t kMaxRecord = 4096;

inline std::vector<uint8_t> Bytes(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    return std::vector<uint8_t>(b, b + n);
}

}  // namespace DevHostLib

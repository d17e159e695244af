// The one fixture every suite shares: a stand-in host with the real plug-in
// DLL loaded through LoadLibrary, talked to only through its entry point.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dev_host.h"
#include "host/requests.h"

// A value of the 32-bit messenger's record layout, or of its x64 twin, for
// the architecture the tests were built for.
template <typename T>
constexpr T X86OrX64([[maybe_unused]] T x86, [[maybe_unused]] T x64) {
#if defined(_WIN64)
    return x64;
#else
    return x86;
#endif
}

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // 20001, 21001, 20022, 22000, 22100.
    void Boot();
    // A contact of the host with a display name; returns its id (bit 30 set).
    int AddContact(const std::string& display, int network = 1, int status = 1);
    // The bytes of a record as the host received it.
    static std::string Bytes(const std::vector<uint8_t>& record) { return std::string(record.begin(), record.end()); }

    std::unique_ptr<DevHostLib::DevHost> host;
};

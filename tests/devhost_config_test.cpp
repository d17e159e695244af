// The stand-in host's configuration store kept in a file between runs of the
// demo: every value comes back as it was.
#include <gtest/gtest.h>

#include <cstdio>

#include "config_store.h"

using namespace DevHostLib;

namespace {

constexpr char kFile[] = "devhost-config-test.txt";

}  // namespace

TEST(HostConfigFile, EveryValueComesBackFromTheFile) {
    ConfigStore store;
    const std::string session = "1073741829\x01" "1073741830\x01";
    store.SetText(0, 0, 306145, session);
    store.SetText(0, 0, 306131, "30:306003");
    store.SetText(0, 0, 999001, "dwie\nlinie i spacja na końcu ");
    store.SetText(0, 0, 999002, "");
    store.SetInt(0, 0, 306111, -32000);
    store.SetInt(1, 0x40000003, 306202, 1);
    ASSERT_TRUE(store.Save(kFile));

    ConfigStore loaded;
    ASSERT_TRUE(loaded.Load(kFile));
    std::remove(kFile);
    EXPECT_EQ(loaded.Text(0, 0, 306145), session);
    EXPECT_EQ(loaded.Text(0, 0, 306131), "30:306003");
    EXPECT_EQ(loaded.Text(0, 0, 999001), "dwie\nlinie i spacja na końcu ");
    EXPECT_TRUE(loaded.HasValue(0, 0, 999002));
    EXPECT_EQ(loaded.Text(0, 0, 999002), "");
    EXPECT_EQ(loaded.Int(0, 0, 306111), -32000);
    EXPECT_EQ(loaded.Int(1, 0x40000003, 306202), 1);
    EXPECT_EQ(loaded.Serialize(), store.Serialize());
}

TEST(HostConfigFile, AMissingFileLeavesTheStoreAsItWas) {
    ConfigStore store;
    store.SetInt(0, 0, 306101, 1);
    std::remove(kFile);
    EXPECT_FALSE(store.Load(kFile));
    EXPECT_EQ(store.Int(0, 0, 306101), 1);
}

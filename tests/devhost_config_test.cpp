// The stand-in host's configuration store: kept in a file between runs of the
// demo, every value comes back as it was; read through the host, a text is
// the host's for a moment only.
#include <gtest/gtest.h>

#include <cstdio>

#include "config_store.h"
#include "dev_host.h"
#include "host/requests.h"

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

// A text the host hands out as its own copy holds only until the next call
// into the host: a plug-in that keeps the pointer longer reads garbage.
TEST(HostTextCopy, TheNextCallIntoTheHostSpendsIt) {
    DevHost host;
    host.state.config.Declare({0, 306145, 1, "Tabs/LastSession", 0, ""});
    host.state.config.SetText("Tabs/LastSession", "1073741825\x01");
    auto copy = [&host] {
        ColumnValue v{1, 0, -1};
        return reinterpret_cast<const char*>(host.getColumn(0, 0, 306145, &v));
    };
    EXPECT_STREQ(copy(), "1073741825\x01");

    const char* kept = copy();
    HostMessage log{};
    log.size = sizeof log;
    log.code = Host::kLog;
    log.p1 = reinterpret_cast<intptr_t>("Tabs::IStart");
    log.p2 = 256;
    host.send(&log);
    EXPECT_NE(std::string(kept), "1073741825\x01") << "after a request";

    kept = copy();
    ColumnValue number{0, 7, 0};
    host.setColumn(0, 0, 306101, &number);
    EXPECT_NE(std::string(kept), "1073741825\x01") << "after a write";

    kept = copy();
    EXPECT_STREQ(copy(), "1073741825\x01") << "a fresh read has the text";
    EXPECT_NE(std::string(kept), "1073741825\x01") << "after another read";
}

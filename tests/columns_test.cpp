// The configuration columns and the setting helpers against the host's store.
#include "fixture.h"

using Columns = PluginTest;
using namespace DevHostLib;

TEST_F(Columns, ThirtySevenColumnsAreDeclaredInOrderWithTheirTypesAndDefaults) {
    host->Call(20001, static_cast<HostControl*>(host.get()));
    EXPECT_EQ(host->Call(21001), 1);
    const auto& d = host->state.config.Declarations();
    ASSERT_EQ(d.size(), 37u);
    const int order[] = {306101, 306102, 306103, 306104, 306105, 306106, 306138, 306107, 306108, 306109,
                         306110, 306139, 306149, 306137, 306141, 306142, 306143, 306144, 306145, 306146,
                         306147, 306148, 306150, 306131, 306132, 306133, 306134, 306135, 306136, 306111,
                         306112, 306113, 306114, 306115, 306116, 306117, 306202};
    for (size_t i = 0; i < d.size(); ++i) EXPECT_EQ(d[i].column, order[i]) << i;
    EXPECT_EQ(d[3].key, "Tabs/ShortenDesc ");
    EXPECT_EQ(d[3].intDefault, 20);
    EXPECT_EQ(d[14].type, 1024);
    EXPECT_EQ(d[15].type, 1025);
    EXPECT_EQ(d[15].textDefault, "");
    EXPECT_EQ(d[23].key, "Tabs/Clicks/ShiftClick");
    EXPECT_EQ(d[23].textDefault, "30:306003");
    EXPECT_EQ(d[25].textDefault, "30:132");
    EXPECT_EQ(d[28].intDefault, 500);
    EXPECT_EQ(d[35].key, "Tabs/LazyRevertSession");
    EXPECT_EQ(d[35].intDefault, 0);
    EXPECT_EQ(d[36].table, 1);
    EXPECT_EQ(d[36].key, "Tabs/DontTab");
    EXPECT_EQ(host->state.config.Find(0, 306202), nullptr) << "the contact column lives only in the contact table";
}

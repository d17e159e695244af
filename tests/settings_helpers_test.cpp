// The setting helpers, run in this process against the stand-in store: the
// same code the DLL is built from, with the host control set directly.
#include "fixture.h"
#include "host/columns.h"
#include "host/host.h"

using namespace DevHostLib;

class SettingHelpers : public ::testing::Test {
protected:
    void SetUp() override {
        Tabs::hostControl = &host;
        Tabs::DeclareColumns();
    }
    void TearDown() override { Tabs::hostControl = nullptr; }
    DevHost host;
};

TEST_F(SettingHelpers, IntegerReadsGiveStoredValuesOrDefaults) {
    EXPECT_EQ(Tabs::GetInt(Tabs::Column::MsgIconFlash), 500);
    host.state.config.SetInt("Tabs/MsgIconFlash", 300);
    EXPECT_EQ(Tabs::GetInt(Tabs::Column::MsgIconFlash), 300);
    EXPECT_EQ(Tabs::GetInt(Tabs::Column::ShortenDesc), 20) << "the key with the trailing blank";
    host.state.config.SetInt("Tabs/ShortenDesc ", 7);
    EXPECT_EQ(Tabs::GetInt(Tabs::Column::ShortenDesc), 7);
    EXPECT_EQ(host.state.config.FindKey("Tabs/ShortenDesc"), nullptr) << "the store must not trim the key";
}

TEST_F(SettingHelpers, MaskedWriteKeepsBitsOutsideTheMaskAndOrsTheValueUnmasked) {
    host.state.config.SetInt("Tabs/Align", 0xF0F);
    Tabs::SetInt(Tabs::Column::Align, 0x30, 0x0F);
    EXPECT_EQ(host.state.config.Int("Tabs/Align"), 0xF30);
    Tabs::SetInt(Tabs::Column::Align, 5);
    EXPECT_EQ(host.state.config.Int("Tabs/Align"), 5);
}

TEST_F(SettingHelpers, StringsRoundTripAndANullAnswerReadsAsEmpty) {
    EXPECT_STREQ(Tabs::GetString(Tabs::Column::AltClick), "30:132");
    Tabs::SetString(Tabs::Column::LastSession, "1073741829\x01");
    EXPECT_EQ(host.state.config.Text("Tabs/LastSession"), "1073741829\x01");
    EXPECT_STREQ(Tabs::GetString(Tabs::Column::LastSession), "1073741829\x01");
    Tabs::SetString(Tabs::Column::LastSession, nullptr);
    EXPECT_STREQ(Tabs::GetString(Tabs::Column::LastSession), "");
}

TEST_F(SettingHelpers, ContactColumnsAreReadFromTheContactTableByContactId) {
    int ala = host.state.contacts.Add("ala@velmora", "Ala");
    host.state.config.SetInt(1, ala, Tabs::Column::DontTab, 1);
    EXPECT_EQ(Tabs::GetContactInt(ala, Tabs::Column::DontTab), 1);
    EXPECT_STREQ(Tabs::GetContactString(ala, 8), "Ala");
    EXPECT_STREQ(Tabs::GetContactString(ala & ~0x40000000, 0), "ala@velmora") << "bit 30 is set before the read";
    char buffer[4];
    EXPECT_STREQ(Tabs::GetContactString(ala, 0, buffer, sizeof buffer), "ala");
}

// A host that answers null to every string read.
class NullStringHost : public DevHost {
public:
    intptr_t getColumn(int table, int row, int column, ColumnValue* v) override {
        if (v && v->type == 1) return 0;
        return DevHost::getColumn(table, row, column, v);
    }
};

TEST(SettingHelpersNullHost, EveryStringReadOfANullAnswerIsEmpty) {
    NullStringHost host;
    Tabs::hostControl = &host;
    EXPECT_STREQ(Tabs::GetString(Tabs::Column::LastSession), "");
    EXPECT_STREQ(Tabs::GetContactString(0x40000001, 8), "");
    Tabs::hostControl = nullptr;
    EXPECT_STREQ(Tabs::GetString(Tabs::Column::LastSession), "");
    EXPECT_EQ(Tabs::GetInt(Tabs::Column::Align), 0);
}

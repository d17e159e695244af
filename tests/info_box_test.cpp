// The information box's option texts and its variants, run in this process
// against the stand-in host.
#include <regex>

#include "fixture.h"
#include "host/host.h"
#include "ui/info_box.h"

using namespace DevHostLib;

namespace {

std::vector<std::string> InsertedTexts(const DevHost& host) {
    std::vector<std::string> texts;
    for (const Sent& s : host.recorded.SentWithCode(Host::kElementInsert)) texts.push_back(s.text);
    return texts;
}

}  // namespace

TEST(InfoBox, AnExplicitNameSkipsTheLookupsAndNoImageLeavesOnlyTheTipOptions) {
    DevHost host;
    Tabs::hostControl = &host;
    Tabs::AddInfoBox(7, "opis", "o nas", nullptr, -4, "Nazwa", false);
    Tabs::hostControl = nullptr;
    EXPECT_EQ(InsertedTexts(host), (std::vector<std::string>{"\x1A" "tipRich=<b>Nazwa</b><br/>o nas\x1A" "tipWidth=300",
                                                             "opis"}));
    EXPECT_EQ(host.recorded.CountSent(Host::kPluginVersion) + host.recorded.CountSent(Host::kVersionText), 0);
}

TEST(InfoBox, AnEmptyNameStartsTheTipWithTheAboutTextAndAGivenIconSizeStays) {
    DevHost host;
    Tabs::hostControl = &host;
    Tabs::AddInfoBox(7, "opis", "o nas", "res://x.ico\x1A" "iconsize=16", 0, "", true);
    Tabs::hostControl = nullptr;
    auto texts = InsertedTexts(host);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[1], "\x1A" "imgurl=res://x.ico\x1A" "iconsize=16\x1A" "tipRich=o nas\x1A" "tipWidth=300");
}

TEST(InfoBox, SettingAnOptionPutsItBeforeTheExistingOneAndSearchesAfterByte4) {
    EXPECT_EQ(Tabs::SetOption("a\x1A" "k=1", "\x1A" "k=", "2"), "a\x1A" "k=2\x1A" "k=1");
    EXPECT_EQ(Tabs::SetOption("\x1A" "k=1\x04" "b", "\x1A" "k=", "2"), "\x1A" "k=1\x04" "b\x1A" "k=2");
    EXPECT_TRUE(Tabs::HasOption("x\x1A" "k=1", "\x1A" "k="));
    EXPECT_FALSE(Tabs::HasOption("x", "\x1A" "k="));
    EXPECT_TRUE(Tabs::HasOption("", ""));
    EXPECT_TRUE(Tabs::HasOption("tekst", ""));
    EXPECT_FALSE(Tabs::HasOption("\x1A" "k=1", ""));
    EXPECT_FALSE(Tabs::HasOption("\x05", ""));
}

TEST(InfoBox, TheAboutTextCarriesThePageAndTheCompilersStamp) {
    EXPECT_EQ(Tabs::BuildStamp("Dec  8 2026", "14:03:07"), "14:03:07 @ Dec 8 2026");
    EXPECT_EQ(Tabs::BuildStamp("Nov 18 2025", "09:00:00"), "09:00:00 @ Nov 18 2025");
    std::string about = Tabs::AboutText();
    std::regex shape(
        "Wi\xEA" "cej informacji i \x9F" "r\xF3" "d\xB3" "a na stronie projektu - https://zavernok\\.example\\.org"
        "<br/><span class=\"note\">Skompilowano: <b>\\d\\d:\\d\\d:\\d\\d @ [A-Z][a-z]{2} \\d{1,2} \\d{4}</b></span>"
        "<br/><br/>\xA9 [^<]+<br/>\xA9 [^<]+");
    EXPECT_TRUE(std::regex_match(about, shape)) << about;
}

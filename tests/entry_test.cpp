// The entry point: identity answers, the version the host reads from the
// DLL's file, dispatch, the size-checked view of the parameters, and the
// exports an MSVC-built host looks up.
#include <cstring>
#include <vector>

#include "fixture.h"
#include "host/columns.h"
#include "zavernok_version.h"

using Entry = PluginTest;
using namespace DevHostLib;

namespace {

HostMessage Message(uint16_t size, int code, intptr_t p1 = 0, intptr_t p2 = 0) {
    HostMessage m{};
    m.size = size;
    m.code = code;
    m.p1 = p1;
    m.p2 = p2;
    return m;
}

}  // namespace

TEST_F(Entry, IdentityIsAnsweredBeforeTheHostControlArrives) {
    EXPECT_EQ(host->Call(30010), 306);
    EXPECT_STREQ(reinterpret_cast<const char*>(host->Call(30016)), "Zavernok");
    EXPECT_STREQ(reinterpret_cast<const char*>(host->Call(30013)), "ZAVERNOK");
    EXPECT_EQ(host->Call(20020), 2);
    EXPECT_EQ(host->Call(20021), 64);
    EXPECT_EQ(host->Call(30011), 536);
    EXPECT_EQ(host->Call(30012), 0);
    EXPECT_EQ(host->Call(30017), 0);
    EXPECT_EQ(host->Call(40001), 0);
    EXPECT_EQ(host->Call(40002), 0);
    EXPECT_EQ(host->Call(40003), 0);
    EXPECT_TRUE(host->recorded.sent.empty());
    EXPECT_EQ(host->recorded.noResultCalls, 0);
}

TEST_F(Entry, TheDllsVersionResourceCarriesTheProjectsVersion) {
    constexpr int version = ZAVERNOK_VERSION_MAJOR << 24 | ZAVERNOK_VERSION_MINOR << 16 | ZAVERNOK_VERSION_PATCH << 8;
    EXPECT_EQ(host->PluginVersion(306), version);
    EXPECT_EQ(DevHost::VersionText(version), ZAVERNOK_VERSION_TEXT);
    EXPECT_EQ(DevHost::VersionText(0x01020304), "1.2.3.4");
    EXPECT_EQ(host->PluginVersion(307), 0) << "another plug-in's file is not the host's to read here";

    char path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(host->Module(), path, sizeof path), 0u);
    DWORD unused = 0;
    std::vector<char> data(GetFileVersionInfoSizeA(path, &unused));
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, static_cast<DWORD>(data.size()), data.data()));
    for (const char* key : {"FileVersion", "ProductVersion"}) {
        char* text = nullptr;
        UINT length = 0;
        std::string query = std::string("\\StringFileInfo\\041504E2\\") + key;
        ASSERT_TRUE(VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void**>(&text), &length)) << key;
        EXPECT_STREQ(text, ZAVERNOK_VERSION_TEXT) << key;
    }
}

TEST_F(Entry, OnlyTheCodeIsReadFromAShortRecord) {
    HostMessage full = Message(30, 20020);
    HostMessage shortOne = Message(6, 20020);
    EXPECT_EQ(host->CallRecord(&full), host->CallRecord(&shortOne));
    EXPECT_EQ(host->CallRecord(&shortOne), 2);
}

TEST_F(Entry, UnknownCodesCallNoResultOnlyWhileTheControlIsSet) {
    EXPECT_EQ(host->Call(20003), 0);
    EXPECT_EQ(host->recorded.noResultCalls, 0);
    EXPECT_EQ(host->Call(20001, static_cast<HostControl*>(host.get())), 1);
    EXPECT_EQ(host->Call(20003), 0);
    EXPECT_EQ(host->recorded.noResultCalls, 1);
    EXPECT_EQ(host->Call(20002), 1);
    EXPECT_EQ(host->Call(20003), 0);
    EXPECT_EQ(host->recorded.noResultCalls, 1);
    EXPECT_TRUE(host->recorded.sent.empty());
}

TEST_F(Entry, ParameterCodesIgnoreShortRecordsAndNullParameters) {
    HostMessage shortControl = Message(29, 20001, reinterpret_cast<intptr_t>(static_cast<HostControl*>(host.get())));
    EXPECT_EQ(host->CallRecord(&shortControl), 0);
    EXPECT_EQ(host->Call(20001, nullptr), 0);
    host->Call(20003);
    EXPECT_EQ(host->recorded.noResultCalls, 0) << "the control must not have been taken from a short or null record";

    host->Call(20001, static_cast<HostControl*>(host.get()));
    for (int code : {20100, 22200, 40004}) {
        HostMessage shortOne = Message(12, code, 0x1234);
        EXPECT_EQ(host->CallRecord(&shortOne), 0) << code;
        EXPECT_EQ(host->Call(code, nullptr), 0) << code;
    }
    HostMessage shortRelease = Message(8, 20002);
    EXPECT_EQ(host->CallRecord(&shortRelease), 0);
    host->Call(20003);
    EXPECT_EQ(host->recorded.noResultCalls, 1) << "a short 20002 must not release the control";
    EXPECT_TRUE(host->recorded.SentWithCode(Host::kElementWindow).empty());
}

TEST_F(Entry, AStatusChangeShorterThan34BytesIsRefusedAndLogged) {
    host->Call(20001, static_cast<HostControl*>(host.get()));
    StatusChangeMessage record{};
    record.code = 24011;
    record.size = 33;
    EXPECT_EQ(host->CallRecord(&record), 0);
    ASSERT_FALSE(host->recorded.log.empty());
    EXPECT_EQ(host->recorded.log.back().level, 32);

    struct {
        StatusChangeMessage head;
        uint8_t more[6];
    } longer{};
    longer.head.size = 40;
    longer.head.code = 24011;
    longer.head.contact = 0;
    EXPECT_EQ(host->CallRecord(&longer), 1);
}

TEST_F(Entry, LockProbeAsksForTheLockPluginAndEndsWithNoResult) {
    host->Call(20001, static_cast<HostControl*>(host.get()));
    EXPECT_EQ(host->Call(20022), 0);
    auto probes = host->recorded.SentWithCode(Host::kPluginLoaded);
    ASSERT_EQ(probes.size(), 1u);
    EXPECT_EQ(probes[0].text, "ZORPA");
    EXPECT_EQ(host->recorded.noResultCalls, 1);
}

TEST_F(Entry, ExportsTheEntryAndBothNamesOfTheInstanceAccessor) {
    HMODULE module = host->Module();
    EXPECT_NE(GetProcAddress(module, kEntryExport), nullptr);
    using Accessor = void* (*)();
    auto gnu = reinterpret_cast<Accessor>(reinterpret_cast<void*>(GetProcAddress(module, kAccessorGnuExport)));
    auto msvc = reinterpret_cast<Accessor>(reinterpret_cast<void*>(GetProcAddress(module, kAccessorMsvcExport)));
    ASSERT_NE(gnu, nullptr);
    ASSERT_NE(msvc, nullptr);
    void* instance = gnu();
    EXPECT_NE(instance, nullptr);
    EXPECT_EQ(instance, msvc());
}

TEST_F(Entry, LogLinesAreCutTo254CharactersAndErrorsFollowTheHostsLevels) {
    // The start logs the saved session whole: here far longer than a line.
    std::string session;
    for (int contact = 0x40000001; session.size() < 400; ++contact) session += std::to_string(contact) + '\x01';
    host->state.config.SetText(0, 0, Tabs::Column::LastSession, session);
    Boot();
    const std::string prefix = "Tabs::IStart - SavedSession: ";
    std::vector<std::string> lines;
    for (const LogLine& line : host->recorded.log)
        if (line.text.compare(0, prefix.size(), prefix) == 0) lines.push_back(line.text);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], (prefix + session).substr(0, 254));

    host->recorded.log.clear();
    host->controls.enabledLogLevels = {256};
    StatusChangeMessage record{};
    record.code = 24011;
    record.size = 31;
    host->CallRecord(&record);
    EXPECT_TRUE(host->recorded.log.empty()) << "level 32 is not enabled";
    host->controls.enabledLogLevels = {32, 256};
    host->CallRecord(&record);
    ASSERT_EQ(host->recorded.log.size(), 1u);
    EXPECT_EQ(host->recorded.log[0].level, 32);
}

TEST_F(Entry, AFaultOnAGarbagePointerEndsTheCallWithZeroAndThePluginGoesOn) {
    host->Call(20001, static_cast<HostControl*>(host.get()));
    EXPECT_EQ(host->Call(22200, 0x10), 0);
    EXPECT_EQ(host->Call(20100, 0x20), 0);
    EXPECT_EQ(host->Call(22200, 0x7FFF0000), 0);
    EXPECT_EQ(host->Call(30010), 306);
    host->Call(20003);
    EXPECT_EQ(host->recorded.noResultCalls, 1);

    host->Call(20001, 0x30);  // a control pointer that points nowhere
    EXPECT_EQ(host->Call(20003), 0);
    host->Call(20001, static_cast<HostControl*>(host.get()));
    host->Call(20003);
    EXPECT_EQ(host->recorded.noResultCalls, 2);
}

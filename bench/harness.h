// The benchmark's small harness: a clock, the figures of a series of
// samples, and the stand-in host set up with or without the plug-in, so that
// both sides of a comparison run the same work in the same process.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "counts.h"
#include "figures.h"
#include "dev_host.h"

namespace Bench {

using BenchFigures::NowMs;

struct Figures {
    double median = 0;
    double p95 = 0;
    double callMedian = 0;  // the call alone, without the messages it left queued
    int samples = 0;
    std::optional<Counts> counts;  // one more run, untimed, with the messages counted
    std::vector<long> hostRequests;  // what each sample asked of the host, where counted
};
Figures Summarise(std::vector<double> ms, std::vector<double> callMs);

// Times `work` once per sample; `prepare` runs before each sample and
// `restore` after it, both untimed. Window messages that the work left in
// the queue are processed inside the timed part: painting included.
Figures Measure(int samples, const std::function<void(int)>& work,
                const std::function<void(int)>& prepare = nullptr,
                const std::function<void(int)>& restore = nullptr);

// The stand-in host, counting every call the plug-in makes through its
// control object.
class CountingHost : public DevHostLib::DevHost {
public:
    long requests = 0;

    int ownId() override { ++requests; return DevHost::ownId(); }
    HINSTANCE appInstance() override { ++requests; return DevHost::appInstance(); }
    HINSTANCE moduleInstance() override { ++requests; return DevHost::moduleInstance(); }
    int infoFlag() override { ++requests; return DevHost::infoFlag(); }
    int noResult(int value) override { ++requests; return DevHost::noResult(value); }
    intptr_t send(HostMessage* message) override { ++requests; return DevHost::send(message); }
    intptr_t sendTo(int plugin, HostMessage* message) override { ++requests; return DevHost::sendTo(plugin, message); }
    int rowTest(int table, int row) override { ++requests; return DevHost::rowTest(table, row); }
    int rowId(int table, int row) override { ++requests; return DevHost::rowId(table, row); }
    char* tempBuffer(int bytes) override { ++requests; return DevHost::tempBuffer(bytes); }
    intptr_t getColumn(int table, int row, int column, ColumnValue* v) override {
        ++requests;
        return DevHost::getColumn(table, row, column, v);
    }
    int setColumn(int table, int row, int column, ColumnValue* v) override {
        ++requests;
        return DevHost::setColumn(table, row, column, v);
    }
    int logEnabled(int level) override { ++requests; return DevHost::logEnabled(level); }
};

// The stand-in host with a number of contacts, with the plug-in loaded and
// started or without it.
class World {
public:
    World(bool withPlugin, int contactCount, bool start = true);
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    DevHostLib::DevHost& Host() { return *host; }
    // Every call the plug-in made of the host so far.
    long Requests() const { return host->requests; }
    bool WithPlugin() const { return withPlugin; }
    int Contact(int i) const { return contacts.at(static_cast<size_t>(i)); }
    const std::vector<int>& Contacts() const { return contacts; }

    // Opens the conversations of contacts [from, to).
    void Open(int from, int to);
    HWND Container();
    HWND Bar();
    int Current();
    // A left click on a contact's tab, as the mouse gives it to the bar;
    // the tab's place found first, or given.
    void ClickTab(int contact) { ClickBar(TabCentre(contact)); }
    POINT TabCentre(int contact);
    void ClickBar(POINT at);
    // The contact of the tab after the shown one (the first after the last).
    int NextTab();
    // The contacts whose tabs the bar shows whole: those a user can click.
    std::vector<int> TabsInSight();
    // Ctrl+Tab (or Ctrl+Shift+Tab) in the shown conversation's edit control.
    void CtrlTab(bool shift = false);
    // "Zamknij pozostałe" chosen in the contact's menu.
    void CloseOthers(int contact);
    // Ctrl+K in the shown conversation's edit control.
    void CtrlK();

private:
    bool withPlugin;
    std::unique_ptr<CountingHost> host;
    std::vector<int> contacts;
};

}  // namespace Bench

// The container and its tab bar run in this process against a stand-in host:
// the same code the DLL is built from, with the host control set directly
// (the start routine that creates the container through the entry point is
// another piece). Every test reads the truth from the real windows.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "container/bar_view.h"
#include "container/container.h"
#include "container/container_window.h"
#include "container/tab_bar.h"
#include "conversations/closed_list.h"
#include "conversations/registry.h"
#include "dev_host.h"
#include "host/columns.h"
#include "host/host.h"
#include "ui/elements.h"
#include "ui/registration.h"

class InProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        Tabs::hostControl = &host;
        Tabs::DeclareColumns();
        // The plug-in's own icons, as preparation registers them.
        host.state.icons.Register(Tabs::Icon::TabsIcon, 1, DevHostLib::Icons::Make(RGB(0, 120, 220), false));
        host.state.icons.Register(Tabs::Icon::CloseIcon, 1, DevHostLib::Icons::Make(RGB(220, 0, 0), false));
    }

    void TearDown() override {
        if (Tabs::containerWnd) DestroyWindow(Tabs::containerWnd);
        // The classes point into this program; the next test registers them anew.
        UnregisterClassA("Tabs", GetModuleHandleA(nullptr));
        UnregisterClassA("TabsCont", GetModuleHandleA(nullptr));
        UnregisterClassA("TabsSwitcher", GetModuleHandleA(nullptr));
        Tabs::currentWnd = nullptr;
        Tabs::currentCnt = 0;
        Tabs::waitingList.clear();
        Tabs::closedList.clear();
        Tabs::setLayeredWindowAttributes = nullptr;
        Tabs::hostControl = nullptr;
    }

    // The container as the start routine makes it: classes, then creation.
    void MakeContainer() {
        Tabs::RegisterClasses();
        ASSERT_EQ(Tabs::CreateContainer(), 1);
        ASSERT_NE(Tabs::tabBar.Window(), nullptr);
    }

    int AddContact(const std::string& display, int network = 1, int status = 1) {
        return host.state.contacts.Add(display + "@velmora", display, network, status);
    }

    // A tab for a contact, made as attaching makes it.
    void AddTab(int contact) {
        ASSERT_TRUE(Tabs::tabBar.AddButton(Tabs::ButtonOf(contact), Tabs::GetTabName(contact, true).c_str(),
                                           Tabs::StatusIcon(contact, -1), Tabs::kTabStyle));
    }

    // A window standing in for the shown conversation, inside the content child.
    HWND MakeCurrentWindow(const char* title) {
        HWND window = CreateWindowExA(0, "STATIC", title, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, Tabs::contWnd, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        Tabs::currentWnd = window;
        return window;
    }

    LRESULT Bar(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(Tabs::tabBar.Window(), message, wParam, lParam);
    }

    TBBUTTON ButtonAt(int index) {
        TBBUTTON button{};
        EXPECT_TRUE(Bar(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button))) << "index " << index;
        return button;
    }

    std::string ButtonText(int command) {
        char text[512] = {};
        LRESULT n = Bar(TB_GETBUTTONTEXTA, command, reinterpret_cast<LPARAM>(text));
        return n > 0 ? std::string(text, static_cast<size_t>(n)) : std::string();
    }

    RECT ItemRect(int index) {
        RECT r{};
        Bar(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        return r;
    }

    // A window's rectangle in the container's client coordinates.
    static RECT InClient(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        MapWindowPoints(nullptr, Tabs::containerWnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    static std::string Text(HWND window) { return Tabs::WindowText(window); }

    // The container's own object, which holds the bar's view.
    static Tabs::Container& ContainerObject() { return *Tabs::Container::Of(Tabs::containerWnd); }

    DevHostLib::DevHost host;
};

// The stand-in host as a person meets it: the messenger's main window (the
// host's element {1, 0}) with the contact list, a menu bar whose "Velmora"
// menu is the main-menu group, the contact menu on a right click, double
// click to talk, and the stand-in network's own controls: a message from a
// contact, a contact's status.
#pragma once

#include <windows.h>

#include <string>

#include "dev_host.h"
#include "menu_bar.h"

namespace DevHostLib {

constexpr int kStatusOffline = 0;
constexpr int kStatusOnline = 1;
constexpr int kStatusAway = 2;
constexpr int kStatusBusy = 3;

// The name of a status of the stand-in network.
const char* StatusName(int status);

class Messenger {
public:
    explicit Messenger(DevHost& host);
    ~Messenger();
    Messenger(const Messenger&) = delete;
    Messenger& operator=(const Messenger&) = delete;

    // A dozen contacts on three networks, for the host's contact table
    // before the plug-in starts.
    static void AddSampleContacts(ContactTable& contacts);
    // Fills the list from the contact table and shows the window.
    void Show(int x, int y, int width, int height);

    HWND Window() const { return host.state.mainWindow; }
    // The middle of the contact's row on the screen.
    POINT RowPoint(int contact) const;
    int Selected() const;
    void Select(int contact);

    // What the user does in the window.
    void OpenConversation(int contact);
    void ShowContactMenu(int contact, POINT at);
    void OpenMainMenu();
    void MessageFrom(int contact);
    void ChangeStatus(int contact, int status);

private:
    LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void AddProperties();
    void CreateChildren();
    HMENU CreateMenuBar();
    void LayOut();
    int RowOf(int contact) const;
    int ContactAt(int row) const;
    void UpdateRow(int contact);
    void ShowInformation(int contact);
    LRESULT OnNotify(const NMHDR* header);
    void OnInitMenuPopup(HMENU popup);
    void OnCommand(UINT command);
    void OnClose();

    DevHost& host;
    HWND list = nullptr;
    HWND statusBar = nullptr;
    HMENU mainMenuPopup = nullptr;
    HMENU simulationPopup = nullptr;
    MenuBarGroup mainMenu;
    size_t nextSample = 0;
};

}  // namespace DevHostLib

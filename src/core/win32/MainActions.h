// The configuration window's actions and the views it shows them in: its menu
// bar, its tool bar and its short-cut keys. An action's caption, image and
// enabled state appear in every view at once.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/UniqueHandle.h"

using UniqueImageList = UniqueHandle<HIMAGELIST, ImageList_Destroy, static_cast<intptr_t>(0)>;
using UniqueAccelerators = UniqueHandle<HACCEL, DestroyAcceleratorTable, static_cast<intptr_t>(0)>;

struct TAction {
    int Command;
    std::string Caption;
    std::string Hint;
    int Image;              // index into the menu images, -1 none
    std::string ShortCut;   // as menus show it
    bool Enabled;
};

// One item of a menu of actions.
struct TMenuRow {
    int Command;           // 0: a separator
    const char* Caption;   // nullptr: the action's own, which the item then follows
};

class TMainActions {
public:
    // The actions, the menu bar and the short-cut keys.
    void Create();
    HMENU MenuBar() const { return MenuBar_; }
    // The window the bar was given to destroys it with itself.
    void MenuBarTaken() { OwnedMenuBar.Release(); }
    HACCEL ShortCuts() const { return ShortCuts_.Get(); }
    void CreateToolBar(HWND form, HFONT font, const ControlRect& rect);
    // The tool bar or one of its buttons.
    bool IsToolBar(HWND control) const;

    const TAction* Find(int command) const;
    bool Enabled(int command) const;
    void SetEnabled(int command, bool enabled);
    void SetCaption(int command, const std::string& caption);
    void SetImage(int command, int image);

    // A pop-up menu whose items are as their actions are now.
    UniqueMenu BuildPopup(const TMenuRow* rows, size_t count) const;
    static std::string ItemText(const TAction& action, const char* caption);

    // A tool button's hint for its tool tip, which keeps the pointer until it asks again.
    void GiveToolTip(NMTTDISPINFOA& info);

    // Told of every change, for the views outside the window: the tray icon's menu.
    std::function<void(const TAction&)> Changed;

private:
    TAction* FindAction(int command);
    void UpdateViews(const TAction& action);

    std::vector<TAction> Actions;
    UniqueImageList MenuImages;
    UniqueMenu OwnedMenuBar;
    HMENU MenuBar_ = nullptr;
    UniqueAccelerators ShortCuts_;
    HWND Form = nullptr;
    HWND ToolBar = nullptr;   // a child: the window destroys it
    std::string ToolTipText;
};

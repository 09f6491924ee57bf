// The configuration window's actions, and the menus and tool buttons that show
// them: one action's caption, image and enabled state appear everywhere at once.
#include <windows.h>
#include <commctrl.h>

#include "core/win32/MainForm.h"
#include "core/win32/MainFormIds.h"
#include "platform/Application.h"

namespace {

std::vector<TAction> ActionList()
{
    // Command, caption, hint, image, short-cut, enabled.
    return {
        {CmdHideShow, "", "Configure", 12, "", true},
        {CmdSetHalvex, "Halvex", "Halvex", 10, "", true},
        {CmdSetHalvexStandBy, "Halvex+StandBy", "Halvex+StandBy", 11, "", true},
        {CmdReLoadSettings, "&Cancel Settings", "Cancel Settings", 0, "F3", true},
        {CmdSaveSettings, "&Apply Settings", "Save Settings", 1, "F2", true},
        {CmdHlpContents, "&Contents", "Contents", 7, "Ctrl+F1", true},
        {CmdHlpHelp, "&Help", "Help", 8, "F1", true},
        {CmdAbout, "&About", "About", 9, "", true},
        {CmdExit, "Exit", "Exit", 2, "", true},
        {CmdWebHome, "&Home Page", "Home Page", 3, "", true},
        {CmdWebProducts, "&Other Products", "Other Products", 4, "", true},
        {CmdWebEMail, "&EMail to Author", "EMail to Author", 6, "", true},
        {CmdLockWorkStation, "Lock WorkStation", "Lock WorkStation", 11, "", false},
    };
}

// Menu items that show another caption than their action's.
struct TMenuRow {
    int Command;   // 0: a separator
    const char* Caption;
};

constexpr TMenuRow FileMnu[] = {{CmdReLoadSettings, nullptr}, {CmdSaveSettings, "&Save Settings"}, {0, nullptr},
                                {CmdExit, nullptr}};
constexpr TMenuRow WebMnu[] = {{CmdWebHome, nullptr}, {CmdWebProducts, nullptr}, {0, nullptr},
                               {CmdWebEMail, nullptr}};
constexpr TMenuRow HlpMnu[] = {{CmdHlpContents, nullptr}, {CmdHlpHelp, nullptr}, {0, nullptr}, {CmdAbout, nullptr}};
constexpr TMenuRow TrayMnu[] = {{CmdSetHalvex, nullptr}, {CmdSetHalvexStandBy, nullptr},
                                {CmdLockWorkStation, nullptr}, {0, nullptr}, {CmdHideShow, "Configure"}};

std::string MenuText(const TAction& action, const char* caption)
{
    std::string text = caption ? caption : action.Caption;
    if (!action.ShortCut.empty()) text += "\t" + action.ShortCut;
    return text;
}

template <size_t N>
HMENU BuildMenu(HMENU menu, const TMenuRow (&rows)[N], std::vector<TAction>& actions)
{
    for (const TMenuRow& row : rows) {
        if (row.Command == 0) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        for (const TAction& action : actions)
            if (action.Command == row.Command)
                AppendMenuA(menu, MF_STRING | (action.Enabled ? 0 : MF_GRAYED), static_cast<UINT_PTR>(row.Command),
                            MenuText(action, row.Caption).c_str());
    }
    return menu;
}

}  // namespace

void TMainForm::CreateMenus()
{
    Actions = ActionList();
    MainMenu = CreateMenu();
    AppendMenuA(MainMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildMenu(CreatePopupMenu(), FileMnu, Actions)),
                "&File");
    AppendMenuA(MainMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildMenu(CreatePopupMenu(), WebMnu, Actions)),
                "&Web");
    AppendMenuA(MainMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildMenu(CreatePopupMenu(), HlpMnu, Actions)),
                "&Help");
    TrayPopup.Reset(BuildMenu(CreatePopupMenu(), TrayMnu, Actions));

    ACCEL keys[] = {
        {FVIRTKEY, VK_F3, CmdReLoadSettings},
        {FVIRTKEY, VK_F2, CmdSaveSettings},
        {FVIRTKEY | FCONTROL, VK_F1, CmdHlpContents},
        {FVIRTKEY, VK_F1, CmdHlpHelp},
    };
    ShortCuts.Reset(CreateAcceleratorTableA(keys, static_cast<int>(sizeof keys / sizeof keys[0])));
}

TAction* TMainForm::FindAction(int command)
{
    for (TAction& action : Actions)
        if (action.Command == command) return &action;
    return nullptr;
}

bool TMainForm::ActionEnabled(int command)
{
    const TAction* action = FindAction(command);
    return action && action->Enabled;
}

void TMainForm::SetActionEnabled(int command, bool enabled)
{
    TAction* action = FindAction(command);
    if (!action || action->Enabled == enabled) return;
    action->Enabled = enabled;
    UpdateActionViews(*action);
}

void TMainForm::SetActionCaption(int command, const std::string& caption)
{
    TAction* action = FindAction(command);
    if (!action) return;
    action->Caption = caption;
    UpdateActionViews(*action);
}

void TMainForm::SetActionImage(int command, int image)
{
    TAction* action = FindAction(command);
    if (!action) return;
    action->Image = image;
    UpdateActionViews(*action);
}

void TMainForm::SetMenuCaption(HMENU menu, int command, const std::string& caption)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    item.dwTypeData = const_cast<char*>(caption.c_str());
    SetMenuItemInfoA(menu, static_cast<UINT>(command), FALSE, &item);
}

void TMainForm::UpdateActionViews(const TAction& action)
{
    UINT state = MF_BYCOMMAND | (action.Enabled ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(MainMenu, static_cast<UINT>(action.Command), state);
    EnableMenuItem(TrayPopup.Get(), static_cast<UINT>(action.Command), state);
    if (ToolBar) {
        SendMessageA(ToolBar, TB_ENABLEBUTTON, static_cast<WPARAM>(action.Command), MAKELONG(action.Enabled, 0));
        SendMessageA(ToolBar, TB_CHANGEBITMAP, static_cast<WPARAM>(action.Command), MAKELPARAM(action.Image, 0));
    }
    // Only the lock action's caption changes, and its items show the action's own caption.
    if (action.Command == CmdSetHalvex) SetMenuCaption(TrayPopup.Get(), action.Command, action.Caption);
    if (Handle()) DrawMenuBar(Handle());
}

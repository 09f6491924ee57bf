// The configuration window's actions, and the menus, tool buttons and
// short-cut keys that run them.
#include "core/win32/MainActions.h"

#include <iterator>

#include "ResourceIds.h"
#include "core/win32/MainFormIds.h"

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

constexpr TMenuRow FileMnu[] = {{CmdReLoadSettings, nullptr}, {CmdSaveSettings, "&Save Settings"}, {0, nullptr},
                                {CmdExit, nullptr}};
constexpr TMenuRow WebMnu[] = {{CmdWebHome, nullptr}, {CmdWebProducts, nullptr}, {0, nullptr},
                               {CmdWebEMail, nullptr}};
constexpr TMenuRow HlpMnu[] = {{CmdHlpContents, nullptr}, {CmdHlpHelp, nullptr}, {0, nullptr}, {CmdAbout, nullptr}};

constexpr int ToolBarDivider = 0;
constexpr int ToolButtonRows[] = {
    CmdReLoadSettings, CmdSaveSettings, CmdExit, ToolBarDivider, CmdWebHome, CmdWebProducts, CmdWebEMail,
    ToolBarDivider, CmdHlpContents, CmdHlpHelp, CmdAbout, ToolBarDivider,
};
constexpr int ToolButtonWidth = 23;
constexpr int ToolButtonHeight = 22;
constexpr int MenuImageSize = 16;
constexpr COLORREF MenuImagesTransparent = RGB(255, 0, 255);

}  // namespace

void TMainActions::Create()
{
    Actions = ActionList();
    OwnedMenuBar.Reset(CreateMenu());
    MenuBar_ = OwnedMenuBar.Get();
    // The bar destroys its pop-ups with itself.
    AppendMenuA(MenuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildPopup(FileMnu, std::size(FileMnu)).Release()),
                "&File");
    AppendMenuA(MenuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildPopup(WebMnu, std::size(WebMnu)).Release()),
                "&Web");
    AppendMenuA(MenuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildPopup(HlpMnu, std::size(HlpMnu)).Release()),
                "&Help");

    ACCEL keys[] = {
        {FVIRTKEY, VK_F3, CmdReLoadSettings},
        {FVIRTKEY, VK_F2, CmdSaveSettings},
        {FVIRTKEY | FCONTROL, VK_F1, CmdHlpContents},
        {FVIRTKEY, VK_F1, CmdHlpHelp},
    };
    ShortCuts_.Reset(CreateAcceleratorTableA(keys, static_cast<int>(std::size(keys))));
}

void TMainActions::CreateToolBar(HWND form, HFONT font, const ControlRect& rect)
{
    Form = form;
    MenuImages.Reset(ImageList_LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(HALVEX_MENU_IMAGES_ID),
                                          MenuImageSize, 0, MenuImagesTransparent, IMAGE_BITMAP, LR_CREATEDIBSECTION));
    ToolBar = CreateControl(form, IdToolBar, TOOLBARCLASSNAMEA, "",
                            TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN, 0,
                            rect, font);
    SendMessageA(ToolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(ToolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(MenuImages.Get()));
    for (int command : ToolButtonRows) {
        TBBUTTON button = {};
        if (command == ToolBarDivider) {
            button.fsStyle = BTNS_SEP;
            button.iBitmap = 8;   // the divider's width
        } else {
            const TAction* action = Find(command);
            button.idCommand = command;
            button.iBitmap = action->Image;
            button.fsState = action->Enabled ? TBSTATE_ENABLED : 0;
            button.fsStyle = BTNS_BUTTON;
        }
        SendMessageA(ToolBar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
    }
    SendMessageA(ToolBar, TB_SETBUTTONSIZE, 0, MAKELPARAM(ToolButtonWidth, ToolButtonHeight));
}

bool TMainActions::IsToolBar(HWND control) const
{
    return ToolBar && (control == ToolBar || GetParent(control) == ToolBar);
}

std::string TMainActions::ItemText(const TAction& action, const char* caption)
{
    std::string text = caption ? caption : action.Caption;
    if (!action.ShortCut.empty()) text += "\t" + action.ShortCut;
    return text;
}

UniqueMenu TMainActions::BuildPopup(const TMenuRow* rows, size_t count) const
{
    UniqueMenu menu(CreatePopupMenu());
    for (const TMenuRow* row = rows; row != rows + count; ++row) {
        if (row->Command == 0) {
            AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        if (const TAction* action = Find(row->Command))
            AppendMenuA(menu.Get(), MF_STRING | (action->Enabled ? 0 : MF_GRAYED),
                        static_cast<UINT_PTR>(row->Command), ItemText(*action, row->Caption).c_str());
    }
    return menu;
}

const TAction* TMainActions::Find(int command) const
{
    for (const TAction& action : Actions)
        if (action.Command == command) return &action;
    return nullptr;
}

TAction* TMainActions::FindAction(int command)
{
    return const_cast<TAction*>(static_cast<const TMainActions&>(*this).Find(command));
}

bool TMainActions::Enabled(int command) const
{
    const TAction* action = Find(command);
    return action && action->Enabled;
}

void TMainActions::SetEnabled(int command, bool enabled)
{
    TAction* action = FindAction(command);
    if (!action || action->Enabled == enabled) return;
    action->Enabled = enabled;
    UpdateViews(*action);
}

void TMainActions::SetCaption(int command, const std::string& caption)
{
    TAction* action = FindAction(command);
    if (!action) return;
    action->Caption = caption;
    UpdateViews(*action);
}

void TMainActions::SetImage(int command, int image)
{
    TAction* action = FindAction(command);
    if (!action) return;
    action->Image = image;
    UpdateViews(*action);
}

void TMainActions::GiveToolTip(NMTTDISPINFOA& info)
{
    const TAction* action = Find(static_cast<int>(info.hdr.idFrom));
    if (!action) return;
    ToolTipText = action->Hint;
    info.lpszText = ToolTipText.data();
}

void TMainActions::UpdateViews(const TAction& action)
{
    UINT state = MF_BYCOMMAND | (action.Enabled ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(MenuBar_, static_cast<UINT>(action.Command), state);
    if (ToolBar) {
        SendMessageA(ToolBar, TB_ENABLEBUTTON, static_cast<WPARAM>(action.Command), MAKELONG(action.Enabled, 0));
        SendMessageA(ToolBar, TB_CHANGEBITMAP, static_cast<WPARAM>(action.Command), MAKELPARAM(action.Image, 0));
    }
    if (Changed) Changed(action);
    if (Form) DrawMenuBar(Form);
}

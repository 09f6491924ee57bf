// The tray icon of the configuration window and its pop-up menu.
#include "core/win32/MainTray.h"

#include <iterator>

#include "core/UsageTime.h"
#include "core/win32/MainFormIds.h"
#include "platform/Application.h"

namespace {

constexpr char TaskBarClass[] = "Shell_TrayWnd";
constexpr char CaptionConfigure[] = "Configure";
constexpr char CaptionHide[] = "Hide";

constexpr TMenuRow TrayMnu[] = {{CmdSetHalvex, nullptr}, {CmdSetHalvexStandBy, nullptr},
                                {CmdLockWorkStation, nullptr}, {0, nullptr}, {CmdHideShow, CaptionConfigure}};

}  // namespace

void TMainTray::Create(HWND owner, HICON icon, const TMainActions& actions)
{
    Owner = owner;
    Icon = std::make_unique<TTrayIcon>(owner, TrayIconMessage, icon, Application.Title());
    Popup = actions.BuildPopup(TrayMnu, std::size(TrayMnu));
}

void TMainTray::Update(std::optional<int32_t> secondsLeft)
{
    if (!Icon) return;
    if (!Icon->Active() && FindWindowA(TaskBarClass, nullptr)) Icon->SetActive(true);
    Icon->SetHint(TrayHint(Application.Title(), secondsLeft));
}

void TMainTray::ShowBalloon(const std::string& text)
{
    if (Icon) Icon->ShowBalloon(Application.Title(), text);
}

void TMainTray::ShowAction(const TAction& action)
{
    if (!Popup) return;
    EnableMenuItem(Popup.Get(), static_cast<UINT>(action.Command),
                   MF_BYCOMMAND | (action.Enabled ? MF_ENABLED : MF_GRAYED));
    for (const TMenuRow& row : TrayMnu)
        if (row.Command == action.Command && !row.Caption)
            SetItemCaption(row.Command, TMainActions::ItemText(action, nullptr));
}

void TMainTray::ShowFormState(bool formShown)
{
    SetItemCaption(CmdHideShow, formShown ? CaptionHide : CaptionConfigure);
}

void TMainTray::SetItemCaption(int command, const std::string& caption)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    item.dwTypeData = const_cast<char*>(caption.c_str());
    SetMenuItemInfoA(Popup.Get(), static_cast<UINT>(command), FALSE, &item);
}

bool TMainTray::HandleTaskbarCreated(UINT message)
{
    return Icon && Icon->HandleTaskbarCreated(message);
}

void TMainTray::HandleNotification(LPARAM mouseMessage)
{
    switch (static_cast<UINT>(mouseMessage)) {
    case WM_LBUTTONDBLCLK: Clicks.TrayIconDoubleClick(); break;
    case WM_RBUTTONUP: ShowPopup(); break;
    default: break;
    }
}

void TMainTray::ShowPopup()
{
    POINT cursor;
    GetCursorPos(&cursor);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(Owner);
    int command = TrackPopupMenu(Popup.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, cursor.x, cursor.y, 0,
                                 Owner, nullptr);
    PostMessageA(Owner, WM_NULL, 0, 0);
    if (command) Clicks.TrayMenuCommand(command);
}

// Shell_NotifyIconA behind TTrayIcon.
#include "platform/TrayIcon.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr UINT TrayIconId = 1;
}

TTrayIcon::TTrayIcon(HWND owner, UINT callbackMessage, HICON icon, const std::string& hint)
    : Owner(owner), CallbackMessage(callbackMessage), Icon(icon), Hint(hint),
      TaskbarCreatedMessage(RegisterWindowMessageA("TaskbarCreated"))
{
}

TTrayIcon::~TTrayIcon()
{
    SetActive(false);
}

NOTIFYICONDATAA TTrayIcon::Data() const
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = Owner;
    data.uID = TrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = CallbackMessage;
    data.hIcon = Icon;
    size_t length = std::min(Hint.size(), sizeof data.szTip - 1);
    std::memcpy(data.szTip, Hint.data(), length);
    return data;
}

void TTrayIcon::SetActive(bool active)
{
    if (active == Active_) return;
    NOTIFYICONDATAA data = Data();
    Shell_NotifyIconA(active ? NIM_ADD : NIM_DELETE, &data);
    Active_ = active;
}

void TTrayIcon::SetHint(const std::string& hint)
{
    Hint = hint;
    if (!Active_) return;
    NOTIFYICONDATAA data = Data();
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

bool TTrayIcon::HandleTaskbarCreated(UINT message)
{
    if (message != TaskbarCreatedMessage || !TaskbarCreatedMessage) return false;
    if (Active_) {
        NOTIFYICONDATAA data = Data();
        Shell_NotifyIconA(NIM_ADD, &data);
    }
    return true;
}

// Shell_NotifyIconA behind TTrayIcon.
#include "platform/TrayIcon.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr UINT TrayIconId = 1;
constexpr UINT BalloonTimeoutMs = 10000;

template <size_t N>
void CopyTruncated(char (&field)[N], const std::string& text)
{
    size_t length = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

}  // namespace

TTrayIcon::TTrayIcon(HWND owner, UINT callbackMessage, HICON icon, const std::string& hint)
    : Owner(owner), CallbackMessage(callbackMessage), Icon(icon), Hint_(hint),
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
    CopyTruncated(data.szTip, Hint_);
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
    if (hint == Hint_) return;
    Hint_ = hint;
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

void TTrayIcon::ShowBalloon(const std::string& title, const std::string& text)
{
    if (!Active_) return;
    NOTIFYICONDATAA data = Data();
    data.uFlags |= NIF_INFO;
    CopyTruncated(data.szInfoTitle, title);
    CopyTruncated(data.szInfo, text);
    data.uTimeout = BalloonTimeoutMs;
    data.dwInfoFlags = NIIF_WARNING;
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

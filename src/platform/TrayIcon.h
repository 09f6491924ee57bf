// The program's icon in the notification area. Inactive until activated; once
// active it is added again whenever the task bar is re-created.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

class TTrayIcon {
public:
    // Notifications arrive at owner as callbackMessage with the mouse message in lParam.
    TTrayIcon(HWND owner, UINT callbackMessage, HICON icon, const std::string& hint);
    ~TTrayIcon();
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;

    bool Active() const { return Active_; }
    void SetActive(bool active);
    void SetHint(const std::string& hint);
    const std::string& Hint() const { return Hint_; }
    // A balloon from the icon; nothing while the icon is inactive.
    void ShowBalloon(const std::string& title, const std::string& text);
    // Call for every message of the owner; true when it was the task bar's re-creation.
    bool HandleTaskbarCreated(UINT message);

private:
    NOTIFYICONDATAA Data() const;

    HWND Owner;
    UINT CallbackMessage;
    HICON Icon;
    std::string Hint_;
    UINT TaskbarCreatedMessage;
    bool Active_ = false;
};

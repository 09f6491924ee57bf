// The program's icon in the notification area: its hint with the time left,
// its balloon notices and its pop-up menu of the lock actions. What a click
// asks for goes back to the window it belongs to.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/win32/MainActions.h"
#include "platform/TrayIcon.h"
#include "platform/UniqueHandle.h"

// What the icon's clicks ask of its window.
class TTrayClicks {
public:
    virtual void TrayIconDoubleClick() = 0;
    virtual void TrayMenuCommand(int command) = 0;

protected:
    ~TTrayClicks() = default;
};

class TMainTray {
public:
    explicit TMainTray(TTrayClicks& clicks) : Clicks(clicks) {}

    // The icon stays inactive until an update finds the task bar; its menu shows the actions as they are now.
    void Create(HWND owner, HICON icon, const TMainActions& actions);
    // The icon leaves the notification area with the window.
    void RemoveIcon() { Icon.reset(); }

    // Activates the icon once the task bar is there; the hint shows the time left.
    void Update(std::optional<int32_t> secondsLeft);
    void ShowBalloon(const std::string& text);
    // The menu's items follow their actions.
    void ShowAction(const TAction& action);
    // The window's own item offers the opposite of its state.
    void ShowFormState(bool formShown);

    // For every message of the owner: true when it was the task bar's re-creation.
    bool HandleTaskbarCreated(UINT message);
    // A notification of the icon, with the mouse message as the shell sends it.
    void HandleNotification(LPARAM mouseMessage);

private:
    void ShowPopup();
    void SetItemCaption(int command, const std::string& caption);

    TTrayClicks& Clicks;
    HWND Owner = nullptr;
    std::unique_ptr<TTrayIcon> Icon;
    UniqueMenu Popup;
};

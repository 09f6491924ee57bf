// What the lock screen tests share: a hvxw.exe started with the lock settings of the
// logged-on user's profile and locked on request, the lock window's parts as a user sees
// them, a wait for whole passes of the lock loop, and the screen read back as pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "HalvexProgram.h"
#include "TestClock.h"
#include "platform/UniqueHandle.h"
#include "settings/DStorage.h"

namespace halvex_test {

constexpr char LockFormClass[] = "THalvexForm";
constexpr char LockPanelClass[] = "HalvexLockPanel";
constexpr char LockRunningMutex[] = "Hvxmu02";
constexpr char UserPrefix[] = "User: ";
constexpr char EnterPrompt[] = "Enter lock password:";
constexpr char IncorrectPrompt[] = "Incorrect password:";
constexpr char UnLockCaption[] = "UnLock";
constexpr char ShutDownCaption[] = "Shut Down";
constexpr char TaskBarClass[] = "Shell_TrayWnd";

constexpr COLORREF LockBlack = RGB(0, 0, 0);
constexpr COLORREF LockGray = RGB(128, 128, 128);
constexpr COLORREF NoticeRed = RGB(255, 0, 0);

// The usage-time timer beats every 3 s; the lock counts its heartbeats.
constexpr harness::Timeout Heartbeat{3000};
// Something that happens at the second heartbeat after a moment just after a heartbeat
// comes about 6 s later: not at the first one (3 s), nor at the third (9 s).
constexpr harness::Timeout SecondHeartbeatAfter{4500};
constexpr harness::Timeout SecondHeartbeatBy{7500};
// Something the lock does in one pass (every 10 ms at least) shows well within this,
// also on a loaded machine; a thing it does only at a heartbeat takes longer.
constexpr harness::Timeout WithinPasses{1000};

// The lock settings of the logged-on user's profile, as the configuration window stores them.
struct LockSettings {
    std::string LockPwd = "Secret";
    std::string APwd;              // the admin password; empty: none
    bool ShutDown = false;         // "Shut Down in Halvex Screen"
    int TimeOut = 0;               // seconds
    int PowerMode = 0;             // 0 None, 1 Blank Screen, 2 Suspend, 3 StandBy
    std::vector<std::string> Text; // the scrolling message
    std::string Picture;           // a file path; empty: none
    std::vector<Entry> More;       // further settings
    // The program's clock: with one, the test build of the program runs with its clock there.
    std::optional<TDateTime> Clock;
    std::string LockStyle;         // "1": "Screen Saver"; empty: not stored ("Halvex Screen")
    std::string HotKey;            // the stored code; empty: none
};

inline void WriteLockSettings(const harness::AppDir& dir, const LockSettings& settings)
{
    std::string user = LogonUser();
    std::vector<Entry> entries = {{user, "ProfileName", user},
                                  {user, "LockPwd", settings.LockPwd},
                                  {user, "TimeOut", std::to_string(settings.TimeOut)},
                                  {user, "PowerMode", std::to_string(settings.PowerMode)}};
    if (settings.ShutDown) entries.push_back({user, "ShutDown", "1"});
    if (!settings.APwd.empty()) entries.push_back({"", "APwd", settings.APwd});
    if (!settings.Picture.empty()) entries.push_back({user, "Picture", settings.Picture});
    entries.insert(entries.end(), settings.More.begin(), settings.More.end());
    if (!settings.LockStyle.empty()) entries.push_back({user, "LockStyle", settings.LockStyle});
    if (!settings.HotKey.empty()) entries.push_back({"", "HotKey", settings.HotKey});
    WriteSettings(dir, entries);
    if (settings.Clock) UseTestClock(dir, *settings.Clock);
    if (!settings.Text.empty()) TDStorage(dir.PathOf(SettingsName), true).WriteStrings(user, "Text", settings.Text);
}

// The lock window and the controls a user sees on it.
struct LockWindow {
    HWND Form = nullptr;
    HWND MainPanel = nullptr;   // the panel that holds everything; hidden while the screen is blank
    HWND UserLabel = nullptr;
    HWND PromptLabel = nullptr;
    HWND Edit = nullptr;
    HWND UnLockButton = nullptr;
    HWND ShutDownButton = nullptr;
};

inline LockWindow FindLockParts(HWND form)
{
    using harness::ControlQuery;
    LockWindow parts;
    parts.Form = form;
    parts.MainPanel = GetWindow(form, GW_CHILD);
    parts.UserLabel = harness::FindControl(form, ControlQuery::WithText(UserPrefix + LogonUser()));
    parts.PromptLabel = harness::FindControl(form, ControlQuery::OfClass("Static").AndText(EnterPrompt));
    parts.Edit = harness::FindControl(form, ControlQuery::OfClass("Edit"));
    parts.UnLockButton = harness::FindControl(form, ControlQuery::OfClass("Button").AndText(UnLockCaption));
    parts.ShutDownButton = harness::FindControl(form, ControlQuery::OfClass("Button").AndText(ShutDownCaption));
    return parts;
}

inline int EditTextLength(HWND edit)
{
    // The text of a password edit cannot be read from outside; its length can.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length)) return -1;
    return static_cast<int>(length);
}

// A window of the Task Manager's class in this process. The lock loop hides every such
// window at the start of each pass, so seeing it hidden twice tells that a whole pass ran.
class PassMarker {
public:
    PassMarker()
    {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = MarkerClass;
        RegisterClassExA(&windowClass);   // fails harmlessly once registered
        Window.Reset(CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, MarkerClass, "", WS_POPUP, 0, 0, 1, 1,
                                     nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    }

    // Returns once a whole pass of the lock loop has run after the call.
    bool WaitForPass(harness::CallSite at = harness::CallSite::Here()) const
    {
        // The first hiding may come from a pass that had begun before the call; the pass
        // that hides the marker the second time began after the first one ended.
        for (int i = 0; i < 2; ++i) {
            ShowWindow(Window.Get(), SW_SHOWNOACTIVATE);
            if (!harness::WaitUntil([&] { return !IsWindowVisible(Window.Get()); }, harness::DefaultTimeout,
                                    "a pass of the lock loop", at))
                return false;
        }
        return true;
    }

private:
    static constexpr char MarkerClass[] = "TaskManagerWindow";
    UniqueWindow Window;
};

// A hvxw.exe with the given lock settings, started in a folder of its own.
class LockScreenProgram {
public:
    explicit LockScreenProgram(const LockSettings& settings = {}, harness::CallSite at = harness::CallSite::Here())
        : Running(Prepared(Folder, settings), "", at)
    {
    }

    const harness::AppDir& Dir() const { return Folder; }
    RunningProgram& Program() { return Running; }
    const LockWindow& Window() const { return Parts; }
    bool IsStarted() const { return Running.Window() != nullptr; }

    // Posts the lock request and returns once the lock window is in front with its
    // first pass behind it, so that input counts from here on.
    bool Lock(harness::CallSite at = harness::CallSite::Here())
    {
        Running.PostRequest(LockRequest);
        return WaitForLock(harness::DefaultTimeout, at);
    }

    // The same for a lock that something else asked for, which may take longer to come.
    bool WaitForLock(harness::Timeout timeout = harness::DefaultTimeout, harness::CallSite at = harness::CallSite::Here())
    {
        HWND form = harness::WaitForTopWindow(
            harness::WindowQuery::OfClass(LockFormClass).InProcess(Running.Id()), timeout, at);
        if (!form || !harness::WaitForVisible(form, harness::DefaultTimeout, at)) return false;
        if (!harness::WaitUntil([&] { return GetForegroundWindow() == form; }, harness::DefaultTimeout,
                                "the lock window in the foreground", at))
            return false;
        if (!Marker.WaitForPass(at)) return false;
        Parts = FindLockParts(form);
        return Parts.Edit && Parts.PromptLabel && Parts.UnLockButton && Parts.ShutDownButton;
    }

    bool WaitForPass(harness::CallSite at = harness::CallSite::Here()) const { return Marker.WaitForPass(at); }

    // The heartbeats cannot be seen from outside, but with a monitor time-out of 0 and a
    // power mode that blanks, the lock blanks the screen at the first heartbeat after a
    // wake. Wakes the screen with a key and returns just after the next heartbeat, the
    // screen blank again.
    bool WaitForHeartbeat(harness::CallSite at = harness::CallSite::Here()) const
    {
        HWND panel = Parts.MainPanel;
        if (!IsWindowVisible(panel) && !WakeWithAKey(at)) return false;
        return harness::WaitUntil([&] { return !IsWindowVisible(panel); }, Heartbeat + WithinPasses,
                                  "the screen blanked at the next heartbeat", at);
    }

    bool WakeWithAKey(harness::CallSite at = harness::CallSite::Here()) const
    {
        HWND panel = Parts.MainPanel;
        return harness::PressKeys({VK_SHIFT}, at) &&
               harness::WaitUntil([&] { return IsWindowVisible(panel) != FALSE; }, WithinPasses, "the screen woken",
                                  at);
    }

    // The lock window goes once the lock has ended.
    bool WaitForUnlocked(harness::Timeout timeout = harness::DefaultTimeout,
                         harness::CallSite at = harness::CallSite::Here()) const
    {
        return harness::WaitForDestroyed(Parts.Form, timeout, at);
    }
    bool IsLocked() const { return IsWindow(Parts.Form) && IsWindowVisible(Parts.Form); }

    // The password put in and "UnLock" clicked, as a user would; true once the lock is gone.
    bool Unlock(const std::string& password, harness::CallSite at = harness::CallSite::Here()) const
    {
        return harness::SetText(Parts.Edit, password, at) && harness::Click(Parts.UnLockButton, at) &&
               WaitForUnlocked(harness::DefaultTimeout, at);
    }

    std::string Prompt() const { return harness::TextOf(Parts.PromptLabel); }

private:
    static const harness::AppDir& Prepared(const harness::AppDir& dir, const LockSettings& settings)
    {
        WriteLockSettings(dir, settings);
        return dir;
    }

    harness::AppDir Folder;   // before the program, so that the program ends first
    RunningProgram Running;
    PassMarker Marker;
    LockWindow Parts;
};

// --- The screen as it is drawn -----------------------------------------------------------

namespace screen_detail {
inline void DeleteDc(HDC dc) { DeleteDC(dc); }
inline void ReleaseScreenDc(HDC dc) { ReleaseDC(nullptr, dc); }
using UniqueMemoryDc = UniqueHandle<HDC, DeleteDc, static_cast<intptr_t>(0)>;
using UniqueScreenDc = UniqueHandle<HDC, ReleaseScreenDc, static_cast<intptr_t>(0)>;

// A 32-bit bitmap of top-down rows whose pixels can be read at *bits.
inline UniqueBitmap CreateTopDownBitmap(HDC dc, int width, int height, void** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return UniqueBitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0));
}

inline COLORREF ColorOf(uint32_t pixel)
{
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}
}  // namespace screen_detail

// A copy of an area of the screen as it is drawn at the moment it is taken: what the user
// sees, not what the window order says (under Wine the two can differ).
class ScreenArea {
public:
    explicit ScreenArea(const RECT& area) : Area(area)
    {
        using namespace screen_detail;
        int width = area.right - area.left, height = area.bottom - area.top;
        if (width <= 0 || height <= 0) return;
        UniqueScreenDc screen(GetDC(nullptr));
        UniqueMemoryDc memory(CreateCompatibleDC(screen.Get()));
        void* bits = nullptr;
        UniqueBitmap bitmap = CreateTopDownBitmap(memory.Get(), width, height, &bits);
        if (!screen || !memory || !bitmap || !bits) return;
        HGDIOBJ previous = SelectObject(memory.Get(), bitmap.Get());
        bool copied = BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), area.left, area.top, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(memory.Get(), previous);
        if (!copied) return;
        const auto* pixels = static_cast<const uint32_t*>(bits);
        Pixels.assign(pixels, pixels + static_cast<size_t>(width) * height);
    }

    bool Taken() const { return !Pixels.empty(); }
    // x and y in screen coordinates, inside the area.
    COLORREF At(int x, int y) const
    {
        return screen_detail::ColorOf(
            Pixels[static_cast<size_t>(y - Area.top) * (Area.right - Area.left) + (x - Area.left)]);
    }
    int Count(COLORREF color) const
    {
        int count = 0;
        for (int y = Area.top; y < Area.bottom; ++y)
            for (int x = Area.left; x < Area.right; ++x) count += At(x, y) == color;
        return count;
    }

private:
    RECT Area;
    std::vector<uint32_t> Pixels;
};

inline COLORREF ScreenColorAt(POINT point)
{
    ScreenArea area({point.x, point.y, point.x + 1, point.y + 1});
    return area.Taken() ? area.At(point.x, point.y) : CLR_INVALID;
}

inline RECT ScreenRectOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

inline std::string ColorText(COLORREF color)
{
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(color), GetGValue(color), GetBValue(color));
    return text;
}

}  // namespace halvex_test

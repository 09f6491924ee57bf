// The lock window's construction, painting and input.
#include "lockscreen/win32/LockForm.h"

#include <commctrl.h>
#include <mmsystem.h>

#include <algorithm>
#include <utility>

#include "platform/ForceForeground.h"
#include "lockscreen/win32/HoldWindow.h"
#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/GdiScopes.h"
#include "platform/Picture.h"
#include "platform/SystemFunction.h"
#include "platform/TextMeasure.h"

namespace {

constexpr char FormClass[] = "THalvexForm";
constexpr char PanelClass[] = "HalvexLockPanel";
constexpr char UserPrefix[] = "User: ";
constexpr char EnterPrompt[] = "Enter lock password:";
constexpr char IncorrectPrompt[] = "Incorrect password:";
// After it while "UnLock" refuses every entry: the seconds left.
constexpr char WaitPrefix[] = " wait ";
constexpr char WaitSuffix[] = " s";
constexpr char UnLockCaption[] = "UnLock";
constexpr char ShutDownCaption[] = "Shut Down";
const std::vector<std::string> TimeWarningLines = {
    "TIME RESTRICTION WARNING!", "Your work time period has expired.",
    "You have about 5 minutes to complete a work", "before turning off the system."};

constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Gray = RGB(128, 128, 128);
constexpr COLORREF Silver = RGB(192, 192, 192);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr int PicturePanelWidth = 150;
constexpr int PasswordLength = 255;
constexpr int IdEdit = 10, IdUnLock = 11, IdShutDown = 12;

SIZE TextSize(HFONT font, const std::string& text)
{
    WindowDcScope dc(nullptr);
    SelectionScope selected(dc.Get(), font);
    SIZE size = {};
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc.Get(), &metrics);
    GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    size.cy = metrics.tmHeight;
    return size;
}

RECT Bounds(int left, int top, int width, int height)
{
    return {left, top, left + width, top + height};
}

HWND CreateChild(HWND parent, int id, const char* className, const std::string& text, DWORD style, DWORD exStyle,
                 const RECT& rect, HFONT font)
{
    return CreateControl(parent, id, className, text, style, exStyle,
                         {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}, font);
}

std::string IncorrectText(uint32_t waitSeconds)
{
    if (waitSeconds == 0) return IncorrectPrompt;
    return IncorrectPrompt + (WaitPrefix + std::to_string(waitSeconds)) + WaitSuffix;
}

LRESULT CALLBACK EditProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_CONTEXTMENU) return 0;
    return DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

// --- TLockPanel --------------------------------------------------------------------------

bool TLockPanel::Create(HWND parent, const RECT& bounds, COLORREF color, HWND form, bool arrowCursor)
{
    Brush.Reset(CreateSolidBrush(color));
    Form = form;
    ArrowCursor = arrowCursor;
    return CreateHandle(PanelClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, bounds.left,
                        bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent, nullptr);
}

LRESULT TLockPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(Handle(), &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, Brush.Get());
        return 1;
    }
    case WM_PAINT: {
        PaintScope paint(Handle());
        RECT client;
        GetClientRect(Handle(), &client);
        if (Picture && !Picture->Empty()) Picture->Draw(paint.Get(), client);
        return 0;
    }
    case WM_SETCURSOR:
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
        return TRUE;
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
        return SendMessageA(Form, message, wParam, lParam);
    default:
        return DefaultProcessing(message, wParam, lParam);
    }
}

// --- THalvexForm -------------------------------------------------------------------------

THalvexForm::THalvexForm(const TLockRequest& request, TLockHost& host)
    : Logic_(*this, host.Throttle(), request.Password.Get(), request.AdminPassword.Get(), request.TimeOut,
             request.PowerMode),
      Host(host),
      DisplayName(request.DisplayName), AlarmFile(request.AlarmFile), PromptColor(Silver),
      ShutDownColor(GetSysColor(COLOR_WINDOWTEXT))
{
    Font.Reset(CreateProgramFontOfPoints(10, false));
    BoldFont.Reset(CreateProgramFontOfPoints(10, true));
    TitleFont.Reset(CreateProgramFontOfPoints(24, true));
    ScrollFont.Reset(CreateProgramFontOfPoints(14, true));
    {
        WindowDcScope dc(nullptr);
        SelectionScope selected(dc.Get(), Font.Get());
        CharSize size = AverageCharSize(dc.Get());
        CharWidth = size.Cx;
        CharHeight = size.Cy;
    }

    // Maximised on the monitor it is created on: the primary one.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& screen = monitor.rcMonitor;
    Area = screen;
    CreateHandle(FormClass, "", WS_POPUP | WS_MAXIMIZE | WS_CLIPCHILDREN,
                 WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOPARENTNOTIFY | WS_EX_CONTROLPARENT, screen.left, screen.top,
                 screen.right - screen.left, screen.bottom - screen.top, Application.Handle(), nullptr);
    BuildControls();
}

THalvexForm::~THalvexForm() = default;

void THalvexForm::BuildControls()
{
    auto dx = [&](int n) { return MulDiv(n, CharWidth, 4); };
    auto dy = [&](int n) { return MulDiv(n, CharHeight, 8); };
    RECT client;
    GetClientRect(Handle(), &client);
    int W = client.right, H = client.bottom;

    MainPanel.Create(Handle(), client, Black, Handle(), true);
    HWND main = MainPanel.Handle();

    int titleHeight = TextSize(TitleFont.Get(), "").cy;
    TitleBand = CreateChild(main, 0, WC_STATICA, "", SS_CENTER, 0, Bounds(dx(8), dy(8), W - dx(16), titleHeight),
                            TitleFont.Get());

    std::string userText = UserPrefix + DisplayName;
    SIZE userSize = TextSize(BoldFont.Get(), userText);
    int panelLeft = dx(8), panelTop = dy(36);
    int panelWidth = dx(116), panelHeight = dy(86) - panelTop;
    // A long name widens the panel to the name and one character more.
    if (userSize.cx + CharWidth > panelWidth) panelWidth = userSize.cx + CharWidth;
    // The prompt's label is wide enough for every prompt, the longest wait included, and
    // widens the panel when that needs it, so no text of it is ever cut off.
    int labelLeft = dx(2);
    SIZE promptSize = TextSize(BoldFont.Get(), EnterPrompt);
    uint32_t longestWait = TPasswordThrottle::LongestWaitMilliseconds / 1000;
    promptSize.cx = std::max(promptSize.cx, TextSize(BoldFont.Get(), IncorrectText(longestWait)).cx);
    panelWidth = std::max(panelWidth, static_cast<int>(promptSize.cx) + 2 * labelLeft);
    PasswordPanel.Create(main, Bounds(panelLeft, panelTop, panelWidth, panelHeight), Gray, Handle(), true);
    HWND panel = PasswordPanel.Handle();

    UserLabel = CreateChild(panel, 0, WC_STATICA, userText, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0,
                            Bounds(labelLeft, dy(2), userSize.cx, userSize.cy), BoldFont.Get());
    PromptLabel = CreateChild(panel, 0, WC_STATICA, EnterPrompt, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0,
                              Bounds(labelLeft, dy(10), promptSize.cx, promptSize.cy), BoldFont.Get());

    int editWidth = panelWidth - 2 * labelLeft;
    int editHeight = TextSize(Font.Get(), "").cy + 8;
    Edit = CreateChild(panel, IdEdit, WC_EDITA, "", ES_PASSWORD | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
                       Bounds(labelLeft, dy(20), editWidth, editHeight), Font.Get());
    SendMessageA(Edit, EM_LIMITTEXT, PasswordLength, 0);
    SendMessageA(Edit, EM_SETPASSWORDCHAR, '*', 0);
    // No context menu with paste and the like.
    SetWindowSubclass(Edit, EditProcedure, 1, 0);
    EditBrush.Reset(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    GrayBrush.Reset(CreateSolidBrush(Gray));

    int buttonWidth = MulDiv(editWidth - 8, 1, 2);
    int buttonHeight = MulDiv(editHeight / 2, CharHeight, 8);
    int buttonTop = panelHeight - buttonHeight - 4;
    UnLockButton = CreateChild(panel, IdUnLock, WC_BUTTONA, UnLockCaption, BS_OWNERDRAW | WS_TABSTOP, 0,
                               Bounds(labelLeft, buttonTop, buttonWidth, buttonHeight), Font.Get());
    ShutDownButton =
        CreateChild(panel, IdShutDown, WC_BUTTONA, ShutDownCaption, BS_OWNERDRAW | WS_TABSTOP, 0,
                    Bounds(labelLeft + MulDiv(editWidth + 8, 1, 2), buttonTop, buttonWidth, buttonHeight), Font.Get());

    PicturePanel.Create(main, Bounds(W - dx(8) - PicturePanelWidth, panelTop, PicturePanelWidth, panelHeight), Gray,
                        Handle(), true);

    int scrollTop = dy(96);
    ScrollPanel.Create(main, Bounds(dx(8), scrollTop, W - dx(16), H - scrollTop - dy(24)), ScrollFont.Get());
    LastFocus = nullptr;
}

void THalvexForm::SetPicture(const TPicture* picture)
{
    PicturePanel.ShowPicture(picture);
    InvalidateRect(PicturePanel.Handle(), nullptr, TRUE);
}

void THalvexForm::SetShutDownEnabled(bool enabled)
{
    EnableWindow(ShutDownButton, enabled);
}

void THalvexForm::SetScrollLines(const TStrings& lines)
{
    ScrollPanel.SetLines(lines);
}

void THalvexForm::StartScrolling(bool active)
{
    ScrollPanel.SetActive(active);
}

void THalvexForm::Show()
{
    Holding = true;
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    SetFocus(Edit);
}

void THalvexForm::Hide()
{
    Holding = false;
    ShowWindow(Handle(), SW_HIDE);
}

bool THalvexForm::TakeLostFront()
{
    return std::exchange(LostFront, false);
}

void THalvexForm::HoldInPlace()
{
    // Every change another program can make comes here as a message first; a full
    // look now and then covers one that might not.
    if (++PassesSinceHold < FullHoldCheckPasses && !MayHaveMoved) return;
    PassesSinceHold = 0;
    MayHaveMoved = false;
    if (Holding) HoldWindow(Handle(), Area);
}

bool THalvexForm::OwnsWindow(HWND window) const
{
    return window && (window == Handle() || IsChild(Handle(), window));
}

void THalvexForm::BringLockToFront()
{
    SendMessageA(Handle(), WM_CANCELMODE, 0, 0);
    BringWindowToTop(Handle());
    ForceForegroundWindow(Handle(), true);
}

// Another program may have cleared our top-most state or drawn its window over ours.
void THalvexForm::KeepOnTop()
{
    bool topMost = (GetWindowLongA(Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (!topMost || GetTopWindow(nullptr) != Handle())
        SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool THalvexForm::PreviewMessage(const MSG& message)
{
    if (!OwnsWindow(message.hwnd)) return false;
    switch (message.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        auto key = static_cast<unsigned>(message.wParam);
        bool clears = Logic_.ClearsEditOnKey(key);
        Logic_.KeyDown();
        if (clears) SetWindowTextA(Edit, "");
        if (key == VK_RETURN && (message.hwnd == Edit || message.hwnd == UnLockButton)) {
            UnLockClick();
            return true;
        }
        if (key == VK_TAB) {
            HWND order[] = {Edit, UnLockButton, ShutDownButton};
            HWND focus = GetFocus();
            int at = 0;
            for (int i = 0; i < 3; ++i)
                if (order[i] == focus) at = i;
            bool back = GetKeyState(VK_SHIFT) < 0;
            for (int step = 1; step <= 3; ++step) {
                HWND next = order[(at + (back ? 3 - step : step)) % 3];
                if (IsWindowEnabled(next)) {
                    SetFocus(next);
                    break;
                }
            }
            return true;
        }
        return false;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        Logic_.MouseDown();
        return false;
    case WM_MOUSEMOVE:
        Logic_.MouseMove();
        return false;
    default:
        return false;
    }
}

void THalvexForm::AfterMessages()
{
    Logic_.PollWait(GetTickCount());
    HWND focus = GetFocus();
    if (focus == LastFocus) return;
    LastFocus = focus;
    if (OwnsWindow(focus)) Logic_.FocusChanged();
}

void THalvexForm::DrawButton(const DRAWITEMSTRUCT& item) const
{
    RECT rect = item.rcItem;
    bool pressed = item.itemState & ODS_SELECTED;
    bool disabled = item.itemState & ODS_DISABLED;
    DrawFrameControl(item.hDC, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    bool unlock = item.hwndItem == UnLockButton;
    // A small glyph before the caption: a tick to open, a cross to shut down.
    int glyph = (rect.bottom - rect.top) / 2;
    int left = rect.left + glyph / 2 + (pressed ? 1 : 0);
    int top = rect.top + glyph / 2 + (pressed ? 1 : 0);
    UniquePen pen(CreatePen(PS_SOLID, 2, disabled ? GetSysColor(COLOR_GRAYTEXT) : unlock ? RGB(0, 128, 0) : Red));
    {
    SelectionScope selectedPen(item.hDC, pen.Get());
    if (unlock) {
        MoveToEx(item.hDC, left, top + glyph / 2, nullptr);
        LineTo(item.hDC, left + glyph / 3, top + glyph);
        LineTo(item.hDC, left + glyph, top);
    } else {
        MoveToEx(item.hDC, left, top, nullptr);
        LineTo(item.hDC, left + glyph, top + glyph);
        MoveToEx(item.hDC, left + glyph, top, nullptr);
        LineTo(item.hDC, left, top + glyph);
    }
    }
    RECT text = rect;
    text.left += glyph * 2;
    if (pressed) OffsetRect(&text, 1, 1);
    SetBkMode(item.hDC, TRANSPARENT);
    COLORREF color = disabled ? GetSysColor(COLOR_GRAYTEXT) : unlock ? GetSysColor(COLOR_BTNTEXT) : ShutDownColor;
    SetTextColor(item.hDC, color);
    {
        SelectionScope selectedFont(item.hDC, Font.Get());
        const char* caption = unlock ? UnLockCaption : ShutDownCaption;
        DrawTextA(item.hDC, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    if (item.itemState & ODS_FOCUS) {
        RECT focus = rect;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(item.hDC, &focus);
    }
}

LRESULT THalvexForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SYSCOMMAND:   // no close, move, size, minimise, restore, menu or power command
    case WM_CLOSE:        // the lock ends only when it is opened
        return 0;
    case WM_WINDOWPOSCHANGING:
        if (Holding) RefuseMoveOrHide(*reinterpret_cast<WINDOWPOS*>(lParam), Area);
        break;
    case WM_WINDOWPOSCHANGED:
    case WM_ENABLE:
    case WM_STYLECHANGED:
    case WM_SHOWWINDOW:
        MayHaveMoved = true;
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            // Another window took the foreground: the loop takes it back at once, not at its next pass.
            LostFront = true;
        } else if (!Bringing) {
            Bringing = true;
            BringLockToFront();
            Bringing = false;
        }
        return 0;
    case WM_ACTIVATEAPP:
        if (!wParam) LostFront = true;
        break;
    case WM_SETFOCUS:
        SetFocus(LastFocus && IsChild(Handle(), LastFocus) ? LastFocus : Edit);
        return 0;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == Handle()) {
            SetCursor(nullptr);
            return TRUE;
        }
        break;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(Handle(), &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return 1;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IdUnLock) UnLockClick();
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IdShutDown) Logic_.ShutDownClick();
        return 0;
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        HWND control = reinterpret_cast<HWND>(lParam);
        SetBkColor(dc, Gray);
        SetTextColor(dc, control == PromptLabel ? PromptColor : Silver);
        return reinterpret_cast<LRESULT>(GrayBrush.Get());
    }
    case WM_CTLCOLOREDIT: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(EditBrush.Get());
    }
    case WM_DRAWITEM:
        DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    default:
        break;
    }
    return DefaultProcessing(message, wParam, lParam);
}

// --- What the logic asks of the window ----------------------------------------------------

void THalvexForm::WakeMonitor()
{
    PostMessageA(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, -1);
    ShowWindow(MainPanel.Handle(), SW_SHOW);
    SetFocus(Edit);
}

void THalvexForm::BlankMonitor(int32_t mode)
{
    ShowWindow(MainPanel.Handle(), SW_HIDE);
    PostMessageA(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, mode);
}

void THalvexForm::RevertNotices()
{
    ShutDownColor = GetSysColor(COLOR_WINDOWTEXT);
    InvalidateRect(ShutDownButton, nullptr, TRUE);
    PromptColor = Silver;
    SetWindowTextA(PromptLabel, EnterPrompt);
    InvalidateRect(PromptLabel, nullptr, TRUE);
}

void THalvexForm::UnLockClick()
{
    TSecret entered;
    ReadWindowText(Edit, entered);
    Logic_.UnLockClick(entered.Get(), GetTickCount());
}

void THalvexForm::ShowIncorrectPassword(uint32_t waitSeconds)
{
    PromptColor = Red;
    SetWindowTextA(PromptLabel, IncorrectText(waitSeconds).c_str());
    InvalidateRect(PromptLabel, nullptr, TRUE);
}

void THalvexForm::ArmShutDown()
{
    ShutDownColor = Red;
    InvalidateRect(ShutDownButton, nullptr, TRUE);
}

void THalvexForm::ShowTimeWarning()
{
    ScrollPanel.SetActive(false);
    ScrollPanel.SetLines(TimeWarningLines);
    ScrollPanel.SetTextColor(Red);
    ScrollPanel.SetActive(true);
}

void THalvexForm::PlayAlarm(bool cutOffPlaying)
{
    // Without the file the system's default sound plays. The sound library is not among those
    // the system always takes from its own folder: loaded by name at start, a copy dropped
    // beside the program would run in it. Kept loaded: the sound plays on after the call.
    static const TSystemFunction<decltype(sndPlaySoundA)> play("winmm.dll", "sndPlaySoundA");
    if (play) play.Get()(AlarmFile.c_str(), cutOffPlaying ? SND_ASYNC : SND_ASYNC | SND_NOSTOP);
}

void THalvexForm::Log(const std::string& text)
{
    // A log that cannot be written must not keep the lock from opening.
    try {
        Host.Log(text);
    } catch (...) {
    }
}

void THalvexForm::RequestShutdown()
{
    Host.RequestShutdown();
}

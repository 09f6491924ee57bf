// The application window and the message loop.
#include "platform/Application.h"

TApplication Application;

namespace {
constexpr char ApplicationClass[] = "HalvexApplication";
}

bool TApplication::Initialize(HICON icon)
{
    // Never shown: it only owns the other windows, so they get no task-bar button.
    return CreateHandle(ApplicationClass, Title_.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0,
                        GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, nullptr,
                        icon);
}

void TApplication::SetTitle(const std::string& title)
{
    Title_ = title;
    if (Handle()) SetWindowTextA(Handle(), Title_.c_str());
}

void TApplication::SetShortCuts(HWND target, HACCEL table)
{
    ShortCutTarget = target;
    ShortCuts = table;
}

void TApplication::Terminate()
{
    QuitRequested = true;
    PostQuitMessage(0);
}

bool TApplication::ProcessMessage(MSG& message)
{
    if (message.message == WM_QUIT) {
        if (!QuitRequested) return true;
        Terminated_ = true;
        return false;
    }
    for (auto filter = Filters.rbegin(); filter != Filters.rend(); ++filter)
        if ((*filter)(message)) return true;
    if (Filter && Filter(message)) return true;
    if (ShortCuts && ShortCutTarget && IsWindowEnabled(ShortCutTarget) &&
        (message.hwnd == ShortCutTarget || IsChild(ShortCutTarget, message.hwnd)) &&
        TranslateAcceleratorA(ShortCutTarget, ShortCuts, &message))
        return true;
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

void TApplication::ProcessMessages()
{
    MSG message;
    while (!Terminated_ && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!ProcessMessage(message)) {
            // Leave the quit for the loop that owns it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
    }
}

bool TApplication::HandleNextMessage()
{
    MSG message;
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) return ProcessMessage(message);   // WM_QUIT
    if (got < 0) {
        Terminated_ = true;
        return false;
    }
    return ProcessMessage(message);
}

void TApplication::Run()
{
    while (!Terminated_ && HandleNextMessage()) {
    }
}

void TApplication::Restore()
{
    if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
}

int TApplication::ShowMessageBox(const std::string& text, const std::string& caption, UINT flags)
{
    HWND owner = GetActiveWindow();
    if (!owner) owner = Handle();
    return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

LRESULT TApplication::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // It owns every other window: closed, it would take them all with it.
    if (message == WM_CLOSE) return 0;
    return DefaultProcessing(message, wParam, lParam);
}

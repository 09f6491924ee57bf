// The thunk from the system's window procedure to TWindow::HandleMessage.
#include "platform/Window.h"

#include "platform/ReportFailure.h"

TWindow::~TWindow()
{
    if (Window) {
        SetWindowLongPtrA(Window, GWLP_USERDATA, 0);
        DestroyWindow(Window);
    }
}

bool TWindow::CreateHandle(const char* className, const char* title, DWORD style, DWORD exStyle, int x, int y,
                           int width, int height, HWND parent, HMENU menu, HICON icon)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExA(instance, className, &windowClass)) {
        windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = instance;
        windowClass.hIcon = icon;
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = className;
        if (!RegisterClassExA(&windowClass)) return false;
    }
    return CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu, instance, this) !=
           nullptr;
}

LRESULT TWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefaultProcessing(message, wParam, lParam);
}

LRESULT TWindow::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(Window, message, wParam, lParam);
}

LRESULT CALLBACK TWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->Window = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        LRESULT result = 0;
        try {
            result = self->HandleMessage(message, wParam, lParam);
        } catch (...) {
            ReportCurrentException(nullptr);
        }
        self->Window = nullptr;
        return result;
    }
    // Nothing thrown in a handler may unwind through the system.
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        ReportCurrentException(window);
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

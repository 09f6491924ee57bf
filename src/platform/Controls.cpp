// Creation and small accessors of standard controls.
#include "platform/Controls.h"

#include <vector>

HWND CreateControl(HWND parent, int id, const char* className, const std::string& text, DWORD style,
                   DWORD exStyle, const ControlRect& rect, HFONT font)
{
    HWND control = CreateWindowExA(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, rect.Left,
                                   rect.Top, rect.Width, rect.Height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                   nullptr);
    if (control && font) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

std::string WindowText(HWND window)
{
    int length = GetWindowTextLengthA(window);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(window, buffer.data(), length + 1);
    return std::string(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

void ReadWindowText(HWND window, TSecret& into)
{
    const int length = GetWindowTextLengthA(window);
    into.FillFrom(static_cast<size_t>(length > 0 ? length : 0) + 1, [&](char* text, size_t most) {
        int copied = GetWindowTextA(window, text, static_cast<int>(most));
        return static_cast<size_t>(copied > 0 ? copied : 0);
    });
}

bool IsChecked(HWND button)
{
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND button, bool checked)
{
    SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

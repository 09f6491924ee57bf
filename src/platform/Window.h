// Base of the program's own windows: binds the C++ object to its HWND on
// WM_NCCREATE and lets go on WM_NCDESTROY, so derived windows see one
// HandleMessage that reads as a table of messages.
#pragma once

#include <windows.h>

class TWindow {
public:
    TWindow() = default;
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;
    virtual ~TWindow();

    HWND Handle() const { return Window; }

protected:
    // Registers the class on first use; the object must outlive its window.
    bool CreateHandle(const char* className, const char* title, DWORD style, DWORD exStyle, int x, int y, int width,
                      int height, HWND parent, HMENU menu, HICON icon = nullptr);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND Window = nullptr;
};

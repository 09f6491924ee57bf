// Child controls made from a small description, and the little each kind needs
// to be read or set, so forms read like tables of their controls.
#pragma once

#include <windows.h>

#include <string>

struct ControlRect {
    int Left, Top, Width, Height;
};

HWND CreateControl(HWND parent, int id, const char* className, const std::string& text, DWORD style,
                   DWORD exStyle, const ControlRect& rect, HFONT font);

std::string WindowText(HWND window);
bool IsChecked(HWND button);
void SetChecked(HWND button, bool checked);

// Child controls made from a small description, and the little each kind needs
// to be read or set, so forms read like tables of their controls.
#pragma once

#include <windows.h>

#include <string>

#include "common/Secret.h"

struct ControlRect {
    int Left, Top, Width, Height;
};

HWND CreateControl(HWND parent, int id, const char* className, const std::string& text, DWORD style,
                   DWORD exStyle, const ControlRect& rect, HFONT font);

std::string WindowText(HWND window);
// For a password: read straight into memory that is wiped afterwards.
void ReadWindowText(HWND window, TSecret& into);
bool IsChecked(HWND button);
void SetChecked(HWND button, bool checked);

// The about box: the program's name, version and what it does.
#pragma once

#include <windows.h>

#include <functional>

// Modal; onOpen is told the box's handle when it opens and nullptr when it has closed.
void RunAboutBox(HWND owner, const std::function<void(HWND)>& onOpen);

// The notification area as another program sees it under Wine: the shell's
// balloons are tool tips of the task bar whose text reads as a window text, and
// the icons' hints are the tools of the task bar's tip window.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <string>
#include <vector>

#include "HalvexProgram.h"
#include "platform/UniqueHandle.h"

namespace halvex_test {

constexpr char ShellTrayClass[] = "Shell_TrayWnd";
constexpr char ToolTipClass[] = "tooltips_class32";

inline std::vector<HWND> TrayToolTips()
{
    std::vector<HWND> tips;
    HWND tray = FindWindowA(ShellTrayClass, nullptr);
    if (!tray) return tips;
    for (HWND window : harness::FindTopWindows(harness::WindowQuery::OfClass(ToolTipClass)))
        if (GetWindow(window, GW_OWNER) == tray) tips.push_back(window);
    return tips;
}

// The texts of the balloons shown now.
inline std::vector<std::string> BalloonTexts()
{
    std::vector<std::string> texts;
    for (HWND tip : TrayToolTips())
        if (IsWindowVisible(tip) && (GetWindowLongA(tip, GWL_STYLE) & TTS_BALLOON)) texts.push_back(harness::TextOf(tip));
    return texts;
}

// The hints of the icons shown now: the text of each tool with an area in the task bar's tip window.
inline std::vector<std::string> TrayHints()
{
    std::vector<std::string> hints;
    for (HWND tip : TrayToolTips()) {
        if (GetWindowLongA(tip, GWL_STYLE) & TTS_BALLOON) continue;
        UniqueKernelHandle shell(
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, harness::ProcessOf(tip)));
        if (!shell) continue;
        constexpr size_t TextSize = 1024;
        struct Block {
            TTTOOLINFOA Tool;
            char Text[TextSize];
        } block = {};
        RemoteMemory memory(shell.Get(), sizeof block);
        if (!memory) continue;
        const LRESULT count = Ask(tip, TTM_GETTOOLCOUNT, 0, 0).value_or(0);
        for (LRESULT i = 0; i < count; ++i) {
            block = {};
            block.Tool.cbSize = sizeof block.Tool;
            block.Tool.lpszText = reinterpret_cast<char*>(memory.Pointer() + offsetof(Block, Text));
            if (!memory.Write(&block) || !Ask(tip, TTM_ENUMTOOLSA, i, memory.Pointer()).value_or(0) ||
                !Ask(tip, TTM_GETTEXTA, TextSize, memory.Pointer()) || !memory.Read(&block))
                continue;
            const RECT& area = block.Tool.rect;
            block.Text[TextSize - 1] = '\0';
            if (area.right > area.left) hints.push_back(block.Text);
        }
    }
    return hints;
}

}  // namespace halvex_test

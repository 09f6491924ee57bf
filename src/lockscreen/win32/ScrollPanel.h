// A black panel on which lines of text move upwards, centred, one step every
// 30 ms, starting again from the beginning once the last line has passed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/UniqueHandle.h"
#include "platform/Window.h"

class TScrollPanel : public TWindow {
public:
    bool Create(HWND parent, const RECT& bounds, HFONT font);
    void SetLines(std::vector<std::string> lines);   // while stopped
    void SetTextColor(COLORREF color);
    void SetActive(bool active);
    bool Active() const { return Active_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void UpdateTimer();
    void Step();
    void Paint(HDC dc, const RECT& area) const;
    int MeasureLineHeight() const;

    std::vector<std::string> Lines;
    HFONT Font = nullptr;
    COLORREF TextColor = RGB(192, 192, 192);
    int LineHeight = 0;
    int Offset = 0;   // top of the first line, relative to the panel
    bool Active_ = false;
    bool TimerRunning = false;
};

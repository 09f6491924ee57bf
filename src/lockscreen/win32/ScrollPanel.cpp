// Drawing and stepping of the scrolling text.
#include "lockscreen/win32/ScrollPanel.h"

#include "platform/GdiScopes.h"

namespace {
constexpr char ScrollPanelClass[] = "HalvexScrollPanel";
constexpr UINT_PTR StepTimer = 1;
constexpr UINT StepMs = 30;
constexpr int StepPixels = 1;
}  // namespace

bool TScrollPanel::Create(HWND parent, const RECT& bounds, HFONT font)
{
    Font = font;
    if (!CreateHandle(ScrollPanelClass, "", WS_CHILD | WS_VISIBLE, 0, bounds.left, bounds.top,
                      bounds.right - bounds.left, bounds.bottom - bounds.top, parent, nullptr))
        return false;
    LineHeight = MeasureLineHeight();
    return true;
}

void TScrollPanel::SetLines(std::vector<std::string> lines)
{
    Lines = std::move(lines);
    UpdateTimer();
    RECT client;
    GetClientRect(Handle(), &client);
    Offset = client.bottom;
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TScrollPanel::SetTextColor(COLORREF color)
{
    TextColor = color;
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TScrollPanel::SetActive(bool active)
{
    Active_ = active;
    UpdateTimer();
}

// Nothing to scroll, no timer: an idle lock without a message wakes for nothing.
void TScrollPanel::UpdateTimer()
{
    bool wanted = Active_ && !Lines.empty();
    if (wanted == TimerRunning) return;
    TimerRunning = wanted;
    if (wanted)
        SetTimer(Handle(), StepTimer, StepMs, nullptr);
    else
        KillTimer(Handle(), StepTimer);
}

int TScrollPanel::MeasureLineHeight() const
{
    WindowDcScope dc(Handle());
    SelectionScope font(dc.Get(), Font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc.Get(), &metrics);
    return metrics.tmHeight;
}

// Every 30 ms for as long as the lock is up: the picture on screen moves up a step and only
// the strip it uncovers is drawn, so a lock with a message stays near idle.
void TScrollPanel::Step()
{
    if (Lines.empty()) return;
    Offset -= StepPixels;
    // Cyclic: once the last line has left at the top, the first enters again at the bottom.
    if (Offset + LineHeight * static_cast<int>(Lines.size()) < 0) {
        RECT client;
        GetClientRect(Handle(), &client);
        Offset = client.bottom;
        InvalidateRect(Handle(), nullptr, FALSE);
        return;
    }
    ScrollWindowEx(Handle(), 0, -StepPixels, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
}

void TScrollPanel::Paint(HDC dc, const RECT& area) const
{
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SelectionScope font(dc, Font);
    ::SetTextColor(dc, TextColor);
    SetBkMode(dc, TRANSPARENT);
    RECT client;
    GetClientRect(Handle(), &client);
    int top = Offset;
    for (const std::string& line : Lines) {
        RECT row = {client.left, top, client.right, top + LineHeight};
        if (row.bottom > area.top && row.top < area.bottom)
            DrawTextA(dc, line.c_str(), static_cast<int>(line.size()), &row, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
        top += LineHeight;
    }
}

LRESULT TScrollPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == StepTimer) Step();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PaintScope paint(Handle());
        // The text moves every 30 ms: drawn off screen, it never flickers.
        if (IsRectEmpty(&paint.Area())) return 0;
        BufferedPaint buffer(paint.Get(), paint.Area());
        Paint(buffer.Get(), paint.Area());
        return 0;
    }
    case WM_DESTROY:
        SetActive(false);
        break;
    default:
        break;
    }
    return DefaultProcessing(message, wParam, lParam);
}

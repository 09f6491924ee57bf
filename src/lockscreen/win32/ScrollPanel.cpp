// Drawing and stepping of the scrolling text.
#include "lockscreen/win32/ScrollPanel.h"

namespace {
constexpr char ScrollPanelClass[] = "HalvexScrollPanel";
constexpr UINT_PTR StepTimer = 1;
constexpr UINT StepMs = 30;
constexpr int StepPixels = 1;
}  // namespace

bool TScrollPanel::Create(HWND parent, const RECT& bounds, HFONT font)
{
    Font = font;
    return CreateHandle(ScrollPanelClass, "", WS_CHILD | WS_VISIBLE, 0, bounds.left, bounds.top,
                        bounds.right - bounds.left, bounds.bottom - bounds.top, parent, nullptr);
}

void TScrollPanel::SetLines(std::vector<std::string> lines)
{
    Lines = std::move(lines);
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
    if (active == Active_) return;
    Active_ = active;
    if (active)
        SetTimer(Handle(), StepTimer, StepMs, nullptr);
    else
        KillTimer(Handle(), StepTimer);
}

int TScrollPanel::LineHeight() const
{
    HDC dc = GetDC(Handle());
    HGDIOBJ old = SelectObject(dc, Font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
    return metrics.tmHeight;
}

void TScrollPanel::Step()
{
    if (Lines.empty()) return;
    RECT client;
    GetClientRect(Handle(), &client);
    Offset -= StepPixels;
    // Cyclic: once the last line has left at the top, the first enters again at the bottom.
    if (Offset + LineHeight() * static_cast<int>(Lines.size()) < 0) Offset = client.bottom;
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TScrollPanel::Paint(HDC dc, const RECT& client) const
{
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HGDIOBJ old = SelectObject(dc, Font);
    ::SetTextColor(dc, TextColor);
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    int top = Offset;
    for (const std::string& line : Lines) {
        RECT row = {client.left, top, client.right, top + metrics.tmHeight};
        if (row.bottom > client.top && row.top < client.bottom)
            DrawTextA(dc, line.c_str(), static_cast<int>(line.size()), &row, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
        top += metrics.tmHeight;
    }
    SelectObject(dc, old);
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
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(Handle(), &paint);
        RECT client;
        GetClientRect(Handle(), &client);
        // Drawn off screen first: the text moves every 30 ms and must not flicker.
        HDC buffer = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
        HGDIOBJ oldBitmap = SelectObject(buffer, bitmap);
        Paint(buffer, client);
        BitBlt(dc, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
        SelectObject(buffer, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(buffer);
        EndPaint(Handle(), &paint);
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

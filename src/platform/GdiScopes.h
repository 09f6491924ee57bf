// Scopes for the paired GDI calls: an object selected into a device context,
// a window's paint, a window's or the screen's device context, and an
// off-screen buffer that is copied to its target at the end.
#pragma once

#include <windows.h>

class SelectionScope {
public:
    SelectionScope(HDC dc, HGDIOBJ object) : Dc(dc), Previous(SelectObject(dc, object)) {}
    ~SelectionScope()
    {
        if (Previous) SelectObject(Dc, Previous);
    }
    SelectionScope(const SelectionScope&) = delete;
    SelectionScope& operator=(const SelectionScope&) = delete;

private:
    HDC Dc;
    HGDIOBJ Previous;
};

// Whatever a drawing changes in a DC (mapping mode, clipping, origins) is put back.
class SavedDcScope {
public:
    explicit SavedDcScope(HDC dc) : Dc(dc), Saved(SaveDC(dc)) {}
    ~SavedDcScope()
    {
        if (Saved) RestoreDC(Dc, Saved);
    }
    SavedDcScope(const SavedDcScope&) = delete;
    SavedDcScope& operator=(const SavedDcScope&) = delete;

private:
    HDC Dc;
    int Saved;
};

// HALFTONE averages the pixels a shrink drops; it needs the brush origin reset after it is set.
class HalftoneScope {
public:
    explicit HalftoneScope(HDC dc) : Dc(dc), PreviousMode(SetStretchBltMode(dc, HALFTONE))
    {
        SetBrushOrgEx(dc, 0, 0, &PreviousOrigin);
    }
    ~HalftoneScope()
    {
        if (PreviousMode) SetStretchBltMode(Dc, PreviousMode);
        SetBrushOrgEx(Dc, PreviousOrigin.x, PreviousOrigin.y, nullptr);
    }
    HalftoneScope(const HalftoneScope&) = delete;
    HalftoneScope& operator=(const HalftoneScope&) = delete;

private:
    HDC Dc;
    int PreviousMode;
    POINT PreviousOrigin{0, 0};
};

class PaintScope {
public:
    explicit PaintScope(HWND window) : Window(window), Dc(BeginPaint(window, &Paint)) {}
    ~PaintScope() { EndPaint(Window, &Paint); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Get() const { return Dc; }
    const RECT& Area() const { return Paint.rcPaint; }

private:
    HWND Window;
    PAINTSTRUCT Paint{};
    HDC Dc;
};

// window nullptr: the screen.
class WindowDcScope {
public:
    explicit WindowDcScope(HWND window) : Window(window), Dc(GetDC(window)) {}
    ~WindowDcScope()
    {
        if (Dc) ReleaseDC(Window, Dc);
    }
    WindowDcScope(const WindowDcScope&) = delete;
    WindowDcScope& operator=(const WindowDcScope&) = delete;
    HDC Get() const { return Dc; }

private:
    HWND Window;
    HDC Dc;
};

// Drawn off screen, then copied whole: no flicker for what is redrawn often.
class BufferedPaint {
public:
    BufferedPaint(HDC target, const RECT& area)
        : Target(target), Area(area), Dc(CreateCompatibleDC(target)),
          Bitmap(CreateCompatibleBitmap(target, area.right - area.left, area.bottom - area.top)),
          Previous(SelectObject(Dc, Bitmap))
    {
        // Drawn in the target's coordinates, whatever part of it the area is.
        SetViewportOrgEx(Dc, -area.left, -area.top, nullptr);
    }
    ~BufferedPaint()
    {
        BitBlt(Target, Area.left, Area.top, Area.right - Area.left, Area.bottom - Area.top, Dc, Area.left, Area.top,
               SRCCOPY);
        SelectObject(Dc, Previous);
        DeleteObject(Bitmap);
        DeleteDC(Dc);
    }
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;
    HDC Get() const { return Dc; }

private:
    HDC Target;
    RECT Area;
    HDC Dc;
    HBITMAP Bitmap;
    HGDIOBJ Previous;
};

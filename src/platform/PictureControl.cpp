// The picture control's window procedure. Its picture lives in the window's extra bytes from
// WM_NCCREATE to WM_NCDESTROY; painting goes through a memory bitmap, so a repaint never flickers.
#include "platform/PictureControl.h"

#include <new>
#include <utility>

#include "platform/GdiScopes.h"
#include "platform/UniqueHandle.h"

namespace {

constexpr int PictureSlot = 0;  // offset of the TPicture* in the window's extra bytes

LRESULT CALLBACK PictureControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// By the class's procedure rather than its name: a subclassed control still counts, and a
// foreign class of the same name does not.
bool IsPictureControl(HWND window)
{
    return window && IsWindow(window) &&
           GetClassLongPtrA(window, GCLP_WNDPROC) == reinterpret_cast<ULONG_PTR>(&PictureControlProc);
}

TPicture* PictureOf(HWND window) { return reinterpret_cast<TPicture*>(GetWindowLongPtrA(window, PictureSlot)); }

// A metafile or an icon need not cover every pixel: the button face goes under it.
void Compose(HWND window, HDC dc, const RECT& client)
{
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (const TPicture* picture = PictureOf(window)) picture->Draw(dc, client);
}

void Paint(HWND window, HDC dc)
{
    RECT client;
    if (!dc || !GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) return;
    UniqueDc buffer(CreateCompatibleDC(dc));
    UniqueBitmap pixels(buffer ? CreateCompatibleBitmap(dc, client.right, client.bottom) : nullptr);
    if (!pixels) {
        Compose(window, dc, client);  // too big to buffer: plain painting still shows it
        return;
    }
    SelectionScope selected(buffer.Get(), pixels.Get());
    Compose(window, buffer.Get(), client);
    BitBlt(dc, 0, 0, client.right, client.bottom, buffer.Get(), 0, 0, SRCCOPY);
}

void NotifyClick(HWND window)
{
    if (HWND parent = GetParent(window)) {
        const WORD id = static_cast<WORD>(GetDlgCtrlID(window));
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(window));
    }
}

LRESULT CALLBACK PictureControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        switch (message) {
        case WM_NCCREATE: {
            auto* picture = new (std::nothrow) TPicture();
            if (!picture) return FALSE;
            SetWindowLongPtrA(window, PictureSlot, reinterpret_cast<LONG_PTR>(picture));
            break;
        }
        case WM_NCDESTROY:
            delete PictureOf(window);
            SetWindowLongPtrA(window, PictureSlot, 0);
            break;
        case WM_ERASEBKGND:
            return 1;  // painting covers every pixel
        case WM_PAINT: {
            PaintScope paint(window);
            Paint(window, paint.Get());
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(window, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_LBUTTONDOWN:
            NotifyClick(window);
            return 0;
        default:
            break;
        }
    } catch (...) {
        // Nothing may cross the window procedure; the default handling below still runs.
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool RegisterPictureControlClass(HINSTANCE instance)
{
    WNDCLASSEXA known{};
    known.cbSize = sizeof known;
    if (GetClassInfoExA(instance, PictureControlClassName, &known)) return true;

    WNDCLASSEXA picture{};
    picture.cbSize = sizeof picture;
    picture.style = CS_HREDRAW | CS_VREDRAW;  // stretched: any resize changes every pixel
    picture.lpfnWndProc = PictureControlProc;
    picture.cbWndExtra = sizeof(TPicture*);
    picture.hInstance = instance;
    picture.hCursor = LoadCursorA(nullptr, IDC_HAND);
    picture.lpszClassName = PictureControlClassName;
    return RegisterClassExA(&picture) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void SetControlPicture(HWND control, TPicture picture)
{
    if (!IsPictureControl(control)) return;
    if (TPicture* held = PictureOf(control)) {
        *held = std::move(picture);
        InvalidateRect(control, nullptr, FALSE);
    }
}

const TPicture* ControlPicture(HWND control) { return IsPictureControl(control) ? PictureOf(control) : nullptr; }

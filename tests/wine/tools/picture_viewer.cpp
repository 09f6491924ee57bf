// Shows a picture file in picture controls, large and at the configuration window's preview size,
// so that a screenshot shows what a user would see. Runs until its window is closed.
// Subsystem: windows
//
// picture_viewer.exe <file> [--size WxH] [--no-preview]     (default size 512x384)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Picture.h"
#include "platform/PictureControl.h"
#include "platform/UniqueHandle.h"

namespace {

constexpr char WindowClass[] = "HalvexPictureViewer";
constexpr char TitlePrefix[] = "Picture viewer - ";
constexpr SIZE DefaultSize{512, 384};
constexpr SIZE PreviewSize{122, 101};  // the configuration window's preview
constexpr int Gap = 10;
constexpr int LargeId = 1;
constexpr int PreviewId = 2;

struct Options {
    std::string File;
    SIZE Size = DefaultSize;
    bool Preview = true;
};

bool Parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--size" && i + 1 < argc) {
            int width = 0, height = 0;
            if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) return false;
            options.Size = {width, height};
        } else if (option == "--no-preview") {
            options.Preview = false;
        } else if (options.File.empty() && option.rfind("--", 0) != 0) {
            options.File = option;
        } else {
            return false;
        }
    }
    return !options.File.empty();
}

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND AddPictureControl(HWND parent, int id, int x, int y, SIZE size, const std::string& file)
{
    HWND control = CreateWindowExA(WS_EX_CLIENTEDGE, PictureControlClassName, "", WS_CHILD | WS_VISIBLE, x, y,
                                   size.cx + 4, size.cy + 4, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleA(nullptr), nullptr);
    TPicture picture;
    if (control && picture.LoadFromFile(file)) SetControlPicture(control, std::move(picture));
    return control;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: picture_viewer.exe <file> [--size WxH] [--no-preview]\n");
        return 2;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA viewer{};
    viewer.cbSize = sizeof viewer;
    viewer.lpfnWndProc = ViewerProc;
    viewer.hInstance = instance;
    viewer.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    viewer.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    viewer.lpszClassName = WindowClass;
    if (!RegisterClassExA(&viewer) || !RegisterPictureControlClass(instance)) return 1;

    TPicture probe;
    const bool decodable = probe.LoadFromFile(options.File);
    std::string title = TitlePrefix + options.File;
    title += decodable ? " (" + std::to_string(probe.Width()) + " x " + std::to_string(probe.Height()) + ")"
                       : " (not decodable)";

    RECT client{0, 0, Gap + options.Size.cx + 4 + Gap, Gap + options.Size.cy + 4 + Gap};
    if (options.Preview) client.right += PreviewSize.cx + 4 + Gap;
    AdjustWindowRectEx(&client, WS_OVERLAPPEDWINDOW, FALSE, 0);
    UniqueWindow window(CreateWindowExA(0, WindowClass, title.c_str(), WS_OVERLAPPEDWINDOW, 20, 20,
                                        client.right - client.left, client.bottom - client.top, nullptr, nullptr,
                                        instance, nullptr));
    if (!window) return 1;
    AddPictureControl(window.Get(), LargeId, Gap, Gap, options.Size, options.File);
    if (options.Preview) {
        AddPictureControl(window.Get(), PreviewId, Gap + options.Size.cx + 4 + Gap, Gap, PreviewSize, options.File);
    }
    ShowWindow(window.Get(), SW_SHOW);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    window.Release();  // destroyed already: it ended the loop
    return 0;
}

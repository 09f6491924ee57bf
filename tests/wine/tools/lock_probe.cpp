// Temporary probe.
#include <windows.h>
#include <psapi.h>
#include <cstdio>
#include "../HalvexProgram.h"
using namespace harness;
using namespace halvex_test;
int main()
{
    HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    std::printf("tray %p visible %d pid %lu\n", (void*)tray, tray ? IsWindowVisible(tray) : -1, tray ? ProcessOf(tray) : 0);
    if (tray) { RECT r; GetWindowRect(tray, &r); std::printf("tray rect %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom); }
    std::printf("monitors %d screen %d x %d\n", GetSystemMetrics(SM_CMONITORS), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    AppDir dir;
    std::string user = LogonUser();
    WriteSettings(dir, {{user, "ProfileName", user}, {user, "LockPwd", "Secret"}});
    RunningProgram program(dir);
    HANDLE p = program.Program().Get();
    DWORD hc = 0; GetProcessHandleCount(p, &hc);
    std::printf("before: gdi %lu user %lu handles %lu\n", GetGuiResources(p, GR_GDIOBJECTS), GetGuiResources(p, GR_USEROBJECTS), hc);
    HDC screen = GetDC(nullptr);
    std::printf("pixel before %06lx\n", GetPixel(screen, 512, 300));
    LARGE_INTEGER f, a, b; QueryPerformanceFrequency(&f); QueryPerformanceCounter(&a);
    program.PostRequest(1);
    HWND lock = WaitForTopWindow(WindowQuery::OfClass("THalvexForm").InProcess(program.Id()));
    WaitForVisible(lock);
    PollUntil([&]{ return GetForegroundWindow() == lock; }, Timeout{5000});
    QueryPerformanceCounter(&b);
    std::printf("lock up in %.1f ms, fg %d\n", (b.QuadPart - a.QuadPart) * 1000.0 / f.QuadPart, GetForegroundWindow() == lock);
    PumpMessagesFor(Timeout{500});
    std::printf("pixel during %06lx  at 5,5 %06lx\n", GetPixel(screen, 512, 300), GetPixel(screen, 20, 20));
    tray = FindWindowA("Shell_TrayWnd", nullptr);
    std::printf("tray visible %d\n", tray ? IsWindowVisible(tray) : -1);
    HWND edit = FindControl(lock, ControlQuery::OfClass("Edit"));
    SetText(edit, "abc");
    DWORD_PTR len = 0;
    SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 2000, &len);
    std::printf("edit len %lu text '%s'\n", (unsigned long)len, TextOf(edit).c_str());
    GetProcessHandleCount(p, &hc);
    std::printf("during: gdi %lu user %lu handles %lu\n", GetGuiResources(p, GR_GDIOBJECTS), GetGuiResources(p, GR_USEROBJECTS), hc);
    for (HWND c = GetWindow(lock, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) std::printf("child %s\n", ClassOf(c).c_str());
    std::vector<HWND> all = FindTopWindows(WindowQuery().InProcess(program.Id()));
    for (HWND w : all) std::printf("top %s '%s' vis %d ex %lx\n", ClassOf(w).c_str(), TextOf(w).c_str(), IsWindowVisible(w), GetWindowLongA(w, GWL_EXSTYLE));
    SetText(edit, "Secret");
    Click(FindControl(lock, ControlQuery::WithText("UnLock")));
    WaitForHidden(lock);
    PumpMessagesFor(Timeout{500});
    tray = FindWindowA("Shell_TrayWnd", nullptr);
    std::printf("after tray visible %d\n", tray ? IsWindowVisible(tray) : -1);
    GetProcessHandleCount(p, &hc);
    std::printf("after: gdi %lu user %lu handles %lu\n", GetGuiResources(p, GR_GDIOBJECTS), GetGuiResources(p, GR_USEROBJECTS), hc);
    ReleaseDC(nullptr, screen);
    return 0;
}

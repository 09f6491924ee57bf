// Top-level windows of any process, found with EnumWindows.
#include "harness/TopWindows.h"

#include <cstdio>

namespace harness {

namespace {

// A window whose thread is stuck must not stall the test; it then reads as empty.
constexpr UINT TextTimeoutMilliseconds = 2000;

BOOL CALLBACK CollectMatching(HWND window, LPARAM context)
{
    auto* found = reinterpret_cast<std::pair<const WindowQuery*, std::vector<HWND>*>*>(context);
    if (found->first->Matches(window)) found->second->push_back(window);
    return TRUE;
}

std::string DescribeWindow(HWND window)
{
    char handle[32];
    std::snprintf(handle, sizeof handle, "%p", static_cast<void*>(window));
    return "window " + std::string(handle) + " (class \"" + ClassOf(window) + "\", \"" + TextOf(window) + "\")";
}

}  // namespace

WindowQuery WindowQuery::OfClass(std::string className)
{
    WindowQuery query;
    query.ClassName = std::move(className);
    return query;
}

WindowQuery WindowQuery::Titled(std::string title)
{
    WindowQuery query;
    query.Title = std::move(title);
    return query;
}

WindowQuery WindowQuery::WithTitle(std::string title) const
{
    WindowQuery query = *this;
    query.Title = std::move(title);
    return query;
}

WindowQuery WindowQuery::InProcess(DWORD processId) const
{
    WindowQuery query = *this;
    query.ProcessId = processId;
    return query;
}

bool WindowQuery::Matches(HWND window) const
{
    if (ProcessId != 0 && ProcessOf(window) != ProcessId) return false;
    if (!ClassName.empty() && lstrcmpiA(ClassOf(window).c_str(), ClassName.c_str()) != 0) return false;
    return Title.empty() || TextOf(window) == Title;
}

std::string WindowQuery::Describe() const
{
    std::string text = "top-level window";
    if (!ClassName.empty()) text += " of class \"" + ClassName + "\"";
    if (!Title.empty()) text += " titled \"" + Title + "\"";
    if (ProcessId != 0) text += " of process " + std::to_string(ProcessId);
    return text;
}

std::string ClassOf(HWND window)
{
    char name[256];
    int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? length : 0);
}

std::string TextOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, TextTimeoutMilliseconds, &length)) {
        return std::string();
    }
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             TextTimeoutMilliseconds, &copied)) {
        return std::string();
    }
    text.resize(copied < text.size() ? copied : text.size() - 1);
    return text;
}

DWORD ProcessOf(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

std::vector<HWND> FindTopWindows(const WindowQuery& query)
{
    std::vector<HWND> windows;
    std::pair<const WindowQuery*, std::vector<HWND>*> context(&query, &windows);
    EnumWindows(CollectMatching, reinterpret_cast<LPARAM>(&context));
    return windows;
}

HWND FindTopWindow(const WindowQuery& query)
{
    auto windows = FindTopWindows(query);
    return windows.empty() ? nullptr : windows.front();
}

HWND WaitForTopWindow(const WindowQuery& query, Timeout timeout, CallSite at)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(query)) != nullptr; }, timeout, query.Describe(), at);
    return found;
}

bool WaitForNoTopWindow(const WindowQuery& query, Timeout timeout, CallSite at)
{
    return WaitUntil([&] { return FindTopWindow(query) == nullptr; }, timeout, "no " + query.Describe() + " left",
                     at);
}

bool WaitForVisible(HWND window, Timeout timeout, CallSite at)
{
    std::string described = DescribeWindow(window);
    return WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, timeout, described + " to become visible", at);
}

bool WaitForHidden(HWND window, Timeout timeout, CallSite at)
{
    std::string described = DescribeWindow(window);
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeout,
                     described + " to hide or close", at);
}

bool WaitForDestroyed(HWND window, Timeout timeout, CallSite at)
{
    std::string described = DescribeWindow(window);
    return WaitUntil([&] { return !IsWindow(window); }, timeout, described + " to be destroyed", at);
}

}  // namespace harness

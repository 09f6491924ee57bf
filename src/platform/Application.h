// The application object: the hidden application window that owns every other
// top-level window of the program, its title, its exit action, and the message
// loop with the program's message filter and keyboard short-cuts.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/Window.h"

class TApplication : public TWindow {
public:
    // Returns true when the message was handled and must not be dispatched.
    using MessageFilter = std::function<bool(const MSG&)>;

    bool Initialize(HICON icon);

    void SetTitle(const std::string& title);
    const std::string& Title() const { return Title_; }

    // The exit action: what the entry does once the message loop has ended.
    enum : int { EndOnly = 0, ShutDownAfterwards = 1 };
    int Tag = EndOnly;

    void SetMessageFilter(MessageFilter filter) { Filter = std::move(filter); }
    // A window that runs its own loop sees the messages first while it lives.
    void PushMessageFilter(MessageFilter filter) { Filters.push_back(std::move(filter)); }
    void PopMessageFilter() { Filters.pop_back(); }
    // Short-cuts are translated for this window while it is enabled.
    void SetShortCuts(HWND target, HACCEL table);

    // Ends the message loop. A WM_QUIT that the program did not ask for here is dropped:
    // any program can post one to our thread.
    void Terminate();
    void Run();
    void ProcessMessages();
    // Takes one message from the queue, or waits for one; false once WM_QUIT arrived.
    bool HandleNextMessage();
    bool Terminated() const { return Terminated_; }
    void Restore();

    // As the framework's message box: owned by the active window of the program.
    int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool ProcessMessage(MSG& message);

    std::string Title_;
    MessageFilter Filter;
    std::vector<MessageFilter> Filters;
    HWND ShortCutTarget = nullptr;
    HACCEL ShortCuts = nullptr;
    bool Terminated_ = false;
    bool QuitRequested = false;
};

// The program has exactly one.
extern TApplication Application;

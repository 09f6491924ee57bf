// THalvexForm: the full-screen window that covers the desktop while the
// workstation is locked. Built in code and sized in average-character
// units; it carries out what the lock's logic decides.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "lockscreen/LockLogic.h"
#include "lockscreen/win32/LockSession.h"
#include "lockscreen/win32/ScrollPanel.h"
#include "platform/UniqueHandle.h"
#include "platform/Window.h"

class TPicture;

// A plain coloured panel; what its controls tell it goes to the lock window.
class TLockPanel : public TWindow {
public:
    bool Create(HWND parent, const RECT& bounds, COLORREF color, HWND form, bool arrowCursor);
    void ShowPicture(const TPicture* picture) { Picture = picture; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    UniqueBrush Brush;
    HWND Form = nullptr;
    const TPicture* Picture = nullptr;
    bool ArrowCursor = false;
};

class THalvexForm : public TWindow, private TLockActions {
public:
    THalvexForm(const TLockRequest& request, TLockHost& host);
    ~THalvexForm() override;

    void SetPicture(const TPicture* picture);
    void SetShutDownEnabled(bool enabled);
    void SetScrollLines(const TStrings& lines);
    void StartScrolling(bool active);
    void Show();
    void Hide();

    // One pass of the lock loop, after the messages were processed.
    void AfterMessages();
    // Everything the form does to the lock's messages before they are dispatched.
    bool PreviewMessage(const MSG& message);
    void BringLockToFront();
    void KeepOnTop();
    // Visible, enabled and covering its monitor again, whatever another program did to it.
    void HoldInPlace();
    // Whether another window took the foreground since the last call.
    bool TakeLostFront();

    TLockLogic& Logic() { return Logic_; }
    HWND PasswordEdit() const { return Edit; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void BuildControls();
    void DrawButton(const DRAWITEMSTRUCT& item) const;
    bool OwnsWindow(HWND window) const;
    void UnLockClick();

    // What the logic asks of the window.
    void WakeMonitor() override;
    void BlankMonitor(int32_t mode) override;
    void RevertNotices() override;
    void ShowIncorrectPassword(uint32_t waitSeconds) override;
    void ArmShutDown() override;
    void ShowTimeWarning() override;
    void PlayAlarm(bool cutOffPlaying) override;
    void Log(const std::string& text) override;
    void RequestShutdown() override;

    TLockLogic Logic_;
    TLockHost& Host;
    std::string DisplayName;
    std::string AlarmFile;
    int CharWidth = 0;
    int CharHeight = 0;
    UniqueFont Font;        // 10 points
    UniqueFont BoldFont;    // 10 points, bold
    UniqueFont TitleFont;   // 24 points, bold
    UniqueFont ScrollFont;  // 14 points, bold
    UniqueBrush EditBrush;
    UniqueBrush GrayBrush;
    TLockPanel MainPanel;
    TLockPanel PasswordPanel;
    TLockPanel PicturePanel;
    TScrollPanel ScrollPanel;
    HWND TitleBand = nullptr;
    HWND UserLabel = nullptr;
    HWND PromptLabel = nullptr;
    HWND Edit = nullptr;
    HWND UnLockButton = nullptr;
    HWND ShutDownButton = nullptr;
    HWND LastFocus = nullptr;
    bool Bringing = false;
    bool Holding = false;   // between Show and Hide: nothing may hide, move or resize it
    bool MayHaveMoved = true;
    bool LostFront = false;
    int PassesSinceHold = 0;
    static constexpr int FullHoldCheckPasses = 50;
    RECT Area = {};         // the monitor it covers
    COLORREF PromptColor;
    COLORREF ShutDownColor;
};

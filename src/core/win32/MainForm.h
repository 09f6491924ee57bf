// TMainForm: the configuration window and the hub of the control program. It
// receives the hot key, the program's registered message, the tray icon's
// clicks and the end of the session, and its controls hold the live settings.
// Its members are split by concern over the MainForm*.cpp files; its actions
// and its tray icon are parts of their own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/DateTime.h"
#include "core/UsageTime.h"
#include "core/win32/UsageTimeHost.h"
#include "core/win32/GuardLink.h"
#include "core/win32/MainActions.h"
#include "core/win32/MainTray.h"
#include "lockscreen/PasswordThrottle.h"
#include "settings/DStorage.h"
#include "settings/SettingsModel.h"
#include "platform/UniqueHandle.h"
#include "platform/Window.h"

enum class TWindowState { Normal, Minimized, Maximized };

// A toggle, or the hidden state the window is put into while it is created.
enum class TShowHide { Toggle, HideAtCreation };
// What follows the lock: nothing, or a request for stand-by.
enum class TAfterLock { StayOn, StandBy };
// A tick of the timer, or the direct one at start-up, which never posts a lock.
enum class TTick { Timer, StartUp };
// A key typed into the hot-key control counts as a change of the settings; one loaded from them does not.
enum class THotKeyFrom { Control, Settings };
// The user's choice of page passes the Admin page's gate; the event log only refreshes its page.
enum class TPageChange { ByUser, LogRefresh };

class TMainForm : public TWindow, private TTrayClicks {
public:
    // The guard link is taken up before the window exists; lockAtOnce: the guard brought the
    // program back to lock at once.
    TMainForm(TGuardLink& guard, bool lockAtOnce) : Guard(guard), LockAtOnce(lockAtOnce) {}
    bool Create();

    // Commands, named after their actions.
    void ActionHideShowExecute(TShowHide how);
    void ActionSetHalvexExecute(TAfterLock after);
    void ActionSetHalvexStandByExecute();
    void ActionLockWorkStationExecute();
    void ActionReLoadSettingsExecute();
    void ActionSaveSettingsExecute();
    void ActionModifySettingsExecute();
    void ActionSetStatusBarExecute();
    void ActionExitExecute();
    bool AdminCheckPassed();
    void ActionHlpContentsExecute();
    void ActionHlpHelpExecute();
    void ActionAboutExecute();
    void ActionWebHomeExecute();
    void ActionWebProductsExecute();
    void ActionWebEMailExecute();
    void SetHalvexHotKey(THotKeyFrom from);
    void MainTimerTimer(TTick tick);
    void PageControlChange(TPageChange change);
    void Close();

    // The live values the lock and the other parts read.
    const std::string& LockPassword() const;
    bool ShutDownAllowed() const;

    // One event-log line, when "Enable LogFile" is checked (MainFormLog.cpp).
    void WriteLogEvent(const std::string& text);
    // A notice from the tray icon.
    void ShowBalloon(const std::string& text);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Creation (MainFormLayout.cpp).
    void CreatePages();
    void CreateStatusBar();
    void FormCreate();
    void FormDestroy();
    HWND Control(int id) const { return GetDlgItem(PageOf(id), id); }
    HWND PageOf(int id) const;
    void SelectPage(int index);
    int ActivePage() const;

    // Messages (MainFormMessages.cpp).
    bool HandleHalvexMessage(WPARAM request);
    void ShowAboutBox();
    void HandleCommand(int id, int notification, HWND control);
    LRESULT HandleNotify(const NMHDR& header);
    void RunCommand(int command);
    void RunLockRequest();
    // The tray icon's clicks.
    void TrayIconDoubleClick() override;
    void TrayMenuCommand(int command) override;

    // Controls' notifications (MainFormEdits.cpp).
    void HandleControlCommand(int id, int notification);
    LRESULT HandleControlNotify(const NMHDR& header);
    void WatchHotKeyControl();

    // Settings (MainFormSettings.cpp).
    void LoadPicture(const std::string& fileName);
    void ShowLockSettings(const TLockSettings& settings);
    TLockSettings LockSettingsOfControls() const;
    void ShowProfileRestrictions(const TRestrictionSettings& restriction);
    void ShowSelectedProfile(const TDStorage& storage, const std::string& profile);
    TRestrictionSettings ProfileRestrictionsOfControls() const;
    void TakeRestrictionCopies(const TRestrictionSettings& restriction);
    static TUsageRestriction UsageRestrictionOf(const TRestrictionSettings& restriction);
    std::string SelectedProfile() const;
    void FillUsersComboBox();

    // Control values (MainFormControls.cpp).
    int SelectedItem(int firstItem, int count) const;
    void SelectItem(int firstItem, int count, int index);
    int SpinValue(int edit) const;
    void SetSpinValue(int edit, int value);

    // Editing (MainFormEdits.cpp, MainFormLog.cpp).
    void OnUserProfileChange();
    void OnTimeRestrictionChange();
    void PwdBitBtnClick(int button);
    void APwdBitBtnClick();
    void ImageClick();
    void BtnClearLogClick();
    void RefreshLogPage();

    // Timer and help (MainFormCreate.cpp, MainFormCommands.cpp).
    void SetTimerEnabled(bool enabled);
    void ShowHelp(UINT command, ULONG_PTR data);

    static constexpr int LogFilePageIndex = 2;
    static constexpr int AdminPageIndex = 3;
    static constexpr uint16_t DesignHotKey = 16576;   // Ctrl with the key left of 1

    // The passwords the three password buttons hold, and the picture's file.
    TSecret PwdBitBtnHint;
    TSecret PwdABitBtnHint;
    TSecret APwdBitBtnHint;
    std::string PictureFileName;

    // Hot key (MainFormHotKey.cpp).
    uint16_t HotKeyCodeOfControl() const;
    void SetHotKeyControl(uint16_t code);

    // Fields, in the order the program's parts know them.
    bool TimerEnabled = false;
    uint16_t CurrentHotKey = 0;
    bool SettingsLoaded = false;
    bool LockRunning = false;
    // Outlives each lock, so that a new lock does not give a guesser a fresh count.
    TPasswordThrottle PasswordThrottle;
    // What the guard service needs to bring the program back as it was.
    TGuardLink& Guard;
    const bool LockAtOnce;
    bool ClosingByProgram = false;   // set by Close: a WM_CLOSE from anyone else only hides
    TUsageTimeHost UsageHost{*this};
    TUsageTime Usage{UsageHost};
    bool TickFailureLogged = false;
    // The event log's separators, as the system had them at start, and why the last write failed.
    std::string DateSeparator = "/";
    std::string TimeSeparator = ":";
    std::string LogFailure;
    TWindowState SavedWindowState = TWindowState::Normal;

    HWND Pages[4] = {};
    HWND PageControl = nullptr;
    HWND StatusBar = nullptr;
    HWND AboutBox = nullptr;
    UniqueFont Font;
    UniqueFont MemoFont;
    TMainActions Actions;
    TMainTray Tray{*this};
    HICON ProgramIcon = nullptr;
    HICON SmallIcon = nullptr;
};

extern TMainForm* MainForm;
